// Control of the simulated bench for tests and scripted runs: virtual time,
// a bench of the test's own, inputs of the modules and injected faults.
// None of this is reachable through the carrier or VISA interfaces.
//
// Modules are named by the carrier's resource name (any accepted spelling)
// and the position 1..4. Functions that name a module return false when the
// bench has no SORVI module there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench_description.h"
#include "visatype.h"

namespace bench::testing {

// Virtual time: frozen until advanced; acquisitions then take exactly the
// samples due, and events up to the new time are delivered (from the bench
// thread) before advance returns.
void useVirtualClock();
void advanceSeconds(double seconds);
double nowSeconds();

// Runs the bench on `description` from now on (carrier models rebuilt).
void useBench(const BenchDescription& description);
// Back to the process's bench, on real time, with no injected failures.
void resetBench();

// Carrier operations by name, e.g. "tarvo_m_in16". failNext lets `skip`
// calls run first.
void failNext(const std::string& operation, ViStatus status, int count = 1, int skip = 0);
void failAlways(const std::string& operation, ViStatus status);
void clearFailures();
// Names of the carrier calls made from now on, in order, on every thread.
void startCallLog();
std::vector<std::string> callLog();
void stopCallLog();

bool setInput(const std::string& carrier, int position, int channel, const ChannelInput& input);
// A 16-bit binary counter on channels 1..16, repeated on 17..32: started now
// and sampled every periodS seconds, sample k reads k in each half (square
// waves of period 2^(j+1) * periodS on channel j+1, 5 V high, phased so the
// samples fall mid-level).
bool setCounterInputs(const std::string& carrier, int position, double periodS);
bool setStuckRegisterBits(const std::string& carrier, int position, std::uint32_t offset, std::uint16_t setMask,
                          std::uint16_t clearMask);
bool setStuckChannels(const std::string& carrier, int position, std::uint32_t high, std::uint32_t low);
bool setNoPollAck(const std::string& carrier, int position, bool missing);
bool setModuleId(const std::string& carrier, int position, std::uint8_t id);
// Caps what one tarvo_m_read_packet delivers (0: no cap). Works on any
// occupied position.
bool setShortPacketReads(const std::string& carrier, int position, std::uint32_t maxSamples);
// Raises a carrier event for the session that holds the position; false when
// no session does. The event is delivered from the bench thread.
bool raiseEvent(const std::string& carrier, int position, int event);
// Returns once every event raised so far has been delivered.
void waitForEvents();

// Takes a carrier (position 0) or the module at position 1..4 off the bus
// (removed true) or puts it back, as if unplugged: its runs end, its events
// stop, opening it fails with VI_ERROR_RSRC_NFOUND and its open sessions get
// VI_ERROR_IO from every call over the bus (their attributes and closing
// still work). False when the bench has no such carrier or the position is
// empty.
bool setRemoved(const std::string& carrier, int position, bool removed);

}  // namespace bench::testing

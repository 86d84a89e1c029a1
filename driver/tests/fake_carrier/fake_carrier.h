// A carrier library of our own for the driver's acceptance tests: the
// tarvo_ functions over a scriptable register file, with a log of every
// call, failure injection and carrier events raised from another thread.
// It shares no code with the simulated bench, so tests linked against it
// show the driver needs nothing but the carrier interface.
#ifndef FAKE_CARRIER_H
#define FAKE_CARRIER_H

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tarvo_32.h"
#include "visa.h"

namespace fake {

inline constexpr ViSession kCarrier = 0x100;
inline constexpr ViStatus kInvObject = VI_ERROR_INV_OBJECT;
inline constexpr ViStatus kInvSize = VI_ERROR_INV_SIZE;
inline constexpr ViStatus kParameter2 = VI_ERROR_PARAMETER2;
inline constexpr ViStatus kIoError = VI_ERROR_IO;

struct Call {
    std::string name;
    std::int64_t a = 0;  // first argument after the session (offset, unit, ...)
    std::int64_t b = 0;  // second (value, ...)
};

// The state of one mezzanine session and the module behind it.
struct Mezzanine {
    ViInt16 position = 0;
    std::array<ViUInt16, 0x20> registers{};
    std::array<ViUInt16, 0x20> stuckSet{};    // bits that always read 1
    std::array<ViUInt16, 0x20> stuckClear{};  // bits that always read 0
    std::map<ViAttr, ViAttrState> attributes;
    ViUInt32 allocatedBytes = 0;
    ViInt16 mode = 0;
    ViInt16 trigLength = 0;
    ViInt32 blockSize = 0;
    ViInt32 packetSize = 0;
    ViInt32 clock = 0;
    ViInt16 sampleWidth = 0;
    ViInt32 firstDelay = 0;
    ViInt32 triggerConfig = 0;
    bool eventsOn = false;
    tarvo_m_routine routine = nullptr;
    bool running = false;
    bool keepsRunning = false;        // RG_STATE bit 3 never clears
    bool pollAcknowledges = true;     // a single-sample start sets RG_STATE bit 1
    std::array<double, 32> inputs{};  // volts on each channel
    double testHighVolts = 5.0;       // level of the test source 011
    std::uint32_t stuckHigh = 0;
    std::uint32_t stuckLow = 0;
    std::vector<ViUInt32> memory;  // block memory
    std::deque<ViUInt32> fifo;     // cycle samples not yet read
    ViUInt32 lastSample = 0;
    int resets = 0;
};

class FakeCarrier {
public:
    static FakeCarrier& instance();

    // Forgets every session and injected failure; module type 9 at every
    // position, RG_ID 9, 16 MiB of carrier memory.
    void clear();

    // Failure injection: the matching calls from the (skip+1)-th on fail
    // with status, `times` times (-1: for ever). offset < 0 matches every
    // register; otherwise only in16/out16 at that offset.
    void failCall(const std::string& name, ViStatus status, int skip = 0, int times = 1, int offset = -1);

    // Runs fn on the session's state under the carrier lock.
    template <typename Fn>
    auto with(ViSession mvi, Fn fn)
    {
        std::lock_guard lock(mutex_);
        return fn(mezzanine(mvi));
    }
    ViUInt16 reg(ViSession mvi, ViUInt32 offset);
    void setReg(ViSession mvi, ViUInt32 offset, ViUInt16 value);

    // Call log: every tarvo_ call since the last clearLog.
    std::vector<Call> log();
    void clearLog();
    // Values written to one register, in order.
    std::vector<ViUInt16> writes(ViUInt32 offset);
    // Names of the calls, in order (register calls as "in16 0x04").
    std::vector<std::string> callNames();

    // Raises a carrier event the way a carrier does: on a thread of its own,
    // only while delivery is on and a routine is installed. Returns the
    // routine's result, or nothing when the event was not delivered.
    std::optional<ViInt16> raiseEvent(ViSession mvi, ViInt32 event);
    // The same for a whole series, raised on one background thread.
    std::thread raiseEventsInBackground(ViSession mvi, std::vector<ViInt32> events);

    // Called at the start of every tarvo_ call, on the caller's thread and
    // with no lock held, so a test can hold a call back at a chosen moment.
    void setCallHook(std::function<void(const std::string& name)> hook);

    void setErrorText(ViStatus status, const std::string& text);
    void setModuleType(ViInt16 position, ViInt16 type);
    void setIdRegister(ViUInt16 value) { idRegister_ = value; }
    void setMemoryBytes(ViUInt32 bytes) { memoryBytes_ = bytes; }

    // Used by the tarvo_ functions.
    ViStatus enter(const std::string& name, std::int64_t a = 0, std::int64_t b = 0, int offset = -1);
    Mezzanine* find(ViSession mvi);
    Mezzanine& mezzanine(ViSession mvi);
    ViSession open(ViInt16 position);
    void close(ViSession mvi);
    ViUInt32 sampleNow(const Mezzanine& m) const;
    ViUInt16 readRegister(const Mezzanine& m, ViUInt32 offset) const;
    std::optional<std::string> errorText(ViStatus status);
    ViUInt32 memoryBytes() const { return memoryBytes_; }
    ViInt16 moduleType(ViInt16 position) const { return moduleTypes_[position - 1]; }
    std::mutex& mutex() { return mutex_; }

private:
    struct Failure {
        std::string name;
        ViStatus status;
        int skip;
        int times;
        int offset;
    };

    std::mutex mutex_;
    std::map<ViSession, Mezzanine> sessions_;
    ViSession nextSession_ = 0x1001;
    std::vector<Failure> failures_;
    std::vector<Call> log_;
    std::function<void(const std::string&)> hook_;
    std::map<ViStatus, std::string> errorTexts_;
    std::array<ViInt16, 4> moduleTypes_{9, 9, 9, 9};
    ViUInt16 idRegister_ = 9;
    ViUInt32 memoryBytes_ = 16u << 20;
};

// The threshold in volts a 12-bit code stands for.
double codeVolts(ViUInt16 field);

}  // namespace fake

#endif

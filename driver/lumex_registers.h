// The module's registers and the register-level steps the operations share:
// thresholds, period, start, status clearing and the self-test's bit check.
#ifndef LUMEX_REGISTERS_H
#define LUMEX_REGISTERS_H

#include "lumex.h"

namespace lumex {

struct lumex_data;

// 16-bit registers, by byte offset.
inline constexpr ViUInt32 RG_ID = 0x02;
inline constexpr ViUInt32 RG_COM1 = 0x04;
inline constexpr ViUInt32 RG_PERIOD = 0x06;
inline constexpr ViUInt32 RG_IMASK = 0x08;
inline constexpr ViUInt32 RG_STATE = 0x0A;
inline constexpr ViUInt32 RG_COM3 = 0x0C;
inline constexpr ViUInt32 RG_STATE2 = 0x10;
inline constexpr ViUInt32 RG_LOAD1 = 0x12;
inline constexpr ViUInt32 RG_LOAD3 = 0x14;

// Control registers RG_COM1 and RG_COM3.
inline constexpr ViUInt16 kThresholdField = 0x0FFF;    // bits 11..0, the threshold code
inline constexpr ViUInt16 kRelaysOffBit = 0x2000;      // bit 13
inline constexpr ViUInt16 kControlResetBits = 0x7000;  // bits 14..12, set on reset (relays off among them)
inline constexpr ViUInt16 kSourceField = 0xC000;       // bits 15..14, the input source
inline constexpr ViUInt16 kSourceInputs = 0x4000;      // source: the inputs, normal measurement

// RG_PERIOD.
inline constexpr ViUInt16 kPeriodCountField = 0x07FF;  // bits 10..0, ticks - 1
inline constexpr ViUInt16 kSingleModeBit = 0x8000;     // bit 15
inline constexpr ViUInt16 kCoarseUnitBit = 0x2000;     // bit 13

// RG_STATE.
inline constexpr ViUInt16 kPollDoneBit = 0x0002;      // bit 1
inline constexpr ViUInt16 kStillRunningBit = 0x0008;  // bit 3

// Control register of an input group (1 or 2) and its read-back error.
ViUInt32 controlRegister(int group);
ViStatus controlError(int group);

// 12-bit threshold field for a voltage; positive voltages saturate at
// 0x7FF, since 0x800 would mean -10 V to the module.
ViUInt16 thresholdCode(double volts);

// A period as the module and the carrier take it.
struct PeriodEncoding {
    ViUInt16 field;   // n - 1
    bool coarseUnit;  // 500 us ticks instead of 5 us
    ViInt32 clock;    // carrier clock in 62.5 ns units
};
PeriodEncoding encodePeriod(double seconds);

// Writes a control register (RG_COM1 or RG_COM3) and reads it back; a
// difference on any bit gives that register's error.
ViStatus writeControlVerified(ViSession vi, int group, ViUInt16 value);

// Read, combine, write and verify a control register:
// new = (old AND keep) OR set.
ViStatus updateControl(ViSession vi, int group, ViUInt16 keep, ViUInt16 set, ViUInt16* written = nullptr);

// Puts a threshold into a group's control register and latches it.
ViStatus writePorog(ViSession vi, int group, double volts);

// Puts a sample period into RG_PERIOD and the carrier clock.
ViStatus writePeriod(ViSession vi, double seconds);

// Sets the reset bits in both control registers.
ViStatus setControlResetBits(ViSession vi);

// Reads RG_STATE and RG_STATE2, discarding both.
ViStatus clearStatus(ViSession vi);

// Switches the input relays of one group on or off.
ViStatus setRelays(ViSession vi, int group, bool on);

// Selects normal measurement on both groups and starts the carrier.
ViStatus startProcess(ViSession vi);

// The carrier's run state (state must not be null: VI_ERROR_PARAMETER2),
// which the record takes over as its belief.
ViStatus readRunState(ViSession vi, ViInt16* state);

// The latest sample; after a single-sample start only once the module has
// acknowledged its poll (else LUMEX_ERROR_NO_POLL_ACK).
ViStatus readSample(ViSession vi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4);

// The carrier memory reserved for the module, in samples.
ViStatus allocatedSamples(ViSession vi, ViInt32* samples);

// Reads RG_STATE until `bit` reads as `wanted` or a second has passed
// (LUMEX_ERROR_NO_POLL_ACK); with followRun the carrier's run state is read
// after every register read as well.
ViStatus waitForStateBit(ViSession vi, ViUInt16 bit, bool wanted, bool followRun);

// While the record believes the module runs, asks the carrier: still running
// gives LUMEX_ERROR_RUNNING, stopped clears the belief.
ViStatus refuseWhileRunning(ViSession vi, lumex_data* record);

// Walks a single one over the low bits of a register; VI_SUCCESS, a carrier
// error, or LUMEX_ERROR_SELF_TEST when a bit does not read back.
ViStatus checkRegister(ViSession vi, ViUInt32 offset, int bits);

}  // namespace lumex

#endif

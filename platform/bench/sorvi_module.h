// One simulated SORVI module: its 16-bit registers, its 32 inputs and the
// comparison of each input against its group's threshold.
//
// Not thread-safe by itself: the carrier that holds the module guards it with
// its own lock.
#pragma once

#include <array>
#include <cstdint>

#include "bench_description.h"

namespace bench {

// Byte offsets of the module's registers.
namespace sorvi_reg {
inline constexpr std::uint32_t Id = 0x02;
inline constexpr std::uint32_t Com1 = 0x04;
inline constexpr std::uint32_t Period = 0x06;
inline constexpr std::uint32_t Imask = 0x08;
inline constexpr std::uint32_t State = 0x0A;
inline constexpr std::uint32_t Com3 = 0x0C;
inline constexpr std::uint32_t State2 = 0x10;
inline constexpr std::uint32_t Load1 = 0x12;
inline constexpr std::uint32_t Load3 = 0x14;
// The module decodes a 32-byte register window (16 words at 0x00..0x1E);
// words of the window that are not registers read 0 and ignore writes.
inline constexpr std::uint32_t WindowBytes = 0x20;
}  // namespace sorvi_reg

// Bits of RG_STATE.
inline constexpr std::uint16_t kStatePollDone = 0x0002;
inline constexpr std::uint16_t kStateRunning = 0x0008;

// Bits of RG_COM1 / RG_COM3.
inline constexpr std::uint16_t kComThresholdMask = 0x0FFF;
inline constexpr std::uint16_t kComRelaysOff = 0x2000;

// Levels of the internal test source, applied to every input while the input
// relays are off: source bits 15..14 = 01 give the high level, 10 the low one;
// 00 and 11 leave the inputs open (they read 0).
inline constexpr double kTestSourceHighVolts = 5.0;
inline constexpr double kTestSourceLowVolts = 1.2;

// Levels a counter input shows for a 1 and a 0 bit.
inline constexpr double kCounterHighVolts = 5.0;
inline constexpr double kCounterLowVolts = 0.0;

class SorviModule {
public:
    explicit SorviModule(SorviModuleDescription description);

    // Whether `offset` lies in the register window (even offsets only).
    static bool isValidOffset(std::uint32_t offset);

    // Register access as the bus sees it. Reading RG_STATE2 clears the
    // "poll performed" flag (the module's status-clear read).
    std::uint16_t read(std::uint32_t offset);
    void write(std::uint32_t offset, std::uint16_t value);

    // The run control of the carrier: a new run clears the poll flag and
    // sets "running"; the end of a run clears "running".
    void beginRun();
    void endRun();
    // Takes one sample of all 32 channels at bench time `timeS` and marks the
    // poll as performed.
    std::uint32_t poll(double timeS);
    // The sample the module would take at `timeS`, without side effects.
    std::uint32_t sampleAt(double timeS) const;

    // Threshold in volts that group 1 or 2 compares against (the latched code).
    double thresholdVolts(int group) const;

    void setInput(int channel, const ChannelInput& input);  // channel 1..32
    const ChannelInput& input(int channel) const;
    ModuleFaults& faults() { return description_.faults; }
    const ModuleFaults& faults() const { return description_.faults; }

private:
    std::uint16_t stored(std::uint32_t offset) const { return regs_[offset / 2]; }
    std::uint16_t effective(std::uint32_t offset) const;  // after stuck bits
    void latchThreshold(int group);

    SorviModuleDescription description_;
    std::array<std::uint16_t, sorvi_reg::WindowBytes / 2> regs_{};
    std::array<std::uint16_t, 2> latchedCode_{};
    std::uint32_t pollCount_ = 0;  // polls since power-up, for counter inputs
    bool pollDone_ = false;
    bool running_ = false;
};

// Volts of a 12-bit two's-complement threshold code: code / 4096 * 20.
double thresholdCodeVolts(std::uint16_t code);

}  // namespace bench

// The driver over the simulated bench: the default bench's first carrier,
// the SORVI module at position 1 opened with identification and reset, and a
// quarter of the carrier memory reserved, as the programs do.
#ifndef LUMEX_BENCH_FIXTURE_H
#define LUMEX_BENCH_FIXTURE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "bench_test_interface.h"
#include "cp1251_text.h"
#include "lumex.h"
#include "lumex_registers.h"
#include "tarvo_32.h"

namespace on_bench {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";
using lumex::RG_COM1;
using lumex::RG_COM3;
using lumex::RG_ID;
using lumex::RG_PERIOD;

using driver_test::cp1251;

inline bench::ChannelInput volts(double v)
{
    bench::ChannelInput in;
    in.volts = v;
    return in;
}

class BenchTest : public ::testing::Test {
protected:
    // Virtual time for acquisitions; the self-test's polls need real time.
    void open(bool virtualClock);
    // Opens on virtual time with counter inputs at the given period, the
    // trigger on and the same sample period: ready for a mode and a start.
    void openCounting(double period);
    void TearDown() override;
    ViUInt16 reg(ViUInt32 offset);
    void allInputs(const bench::ChannelInput& in);
    // Channel j+1 of each group is high in sample k of the next run while bit
    // j of k is set, at the given period and the driver's 90 us first delay.
    void counterInputs(double period);
    static ViUInt32 counterSample(std::int64_t k) { return static_cast<ViUInt32>(k & 0xFFFF) * 0x10001u; }
    // A cycle of `packetFrames` frames a packet on the counter inputs: started,
    // then `steps` packets read, the bench moved on by `seconds` before each
    // and up to `ask` frames asked for, then stopped. Each packet must bring
    // `expected` frames, and all of them together the counter pattern from
    // the run's first frame on.
    ::testing::AssertionResult cycleDeliversCounterFrames(ViInt32 packetFrames, int steps, double seconds, ViInt32 ask,
                                                          ViInt32 expected);

    ViSession carrier = VI_NULL;
    ViSession vi = VI_NULL;
};

}  // namespace on_bench

#endif

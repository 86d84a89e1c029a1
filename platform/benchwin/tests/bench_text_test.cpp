// What the window shows of inputs, states and frames, and the command words
// its controls stand for.
#include <gtest/gtest.h>

#include <limits>

#include "bench_text.h"
#include "benchwin_uir.h"

namespace benchwin {
namespace {

TEST(BenchText, InputsReadAsAnOperatorWouldSayThem) {
    EXPECT_EQ(describeInput(bench::ChannelInput::voltage(-8.45)), "-8,45 В");
    EXPECT_EQ(describeInput(bench::ChannelInput::resistance(100000.0)), "100 кОм");
    EXPECT_EQ(describeInput(bench::ChannelInput::resistance(5.0)), "5 Ом");
    EXPECT_EQ(describeInput(bench::ChannelInput::resistance(2e6)), "2 МОм");
    EXPECT_EQ(describeInput(bench::ChannelInput::resistance(std::numeric_limits<double>::infinity())), "разомкнут");
    EXPECT_EQ(describeInput(bench::ChannelInput::square(0.5, 3.0, 0.002)), "меандр 0,5…3 В, 2 мс");
    bench::ChannelInput counter;
    counter.kind = bench::ChannelInput::Kind::Counter;
    EXPECT_EQ(describeInput(counter), "двоичный счётчик");

    bench::ModuleView module;
    module.inputs.fill(bench::ChannelInput::voltage(-8.45));
    module.faults.stuckLowChannels = 1u << 6;
    EXPECT_EQ(describeChannel(module, 7), "-8,45 В (залип в 0)");
    EXPECT_EQ(describeChannel(module, 8), "-8,45 В");
}

TEST(BenchText, StateAndFrame) {
    bench::ModuleView m;
    EXPECT_EQ(describeState(m), "не открыт");
    m.open = true;
    m.running = true;
    m.mode = 2;
    m.framesInMemory = 120;
    EXPECT_EQ(describeState(m), "открыт, идёт сбор, режим циклический, кадров в памяти: 120");
    EXPECT_EQ(frameText(0x80000005u), "1000000000000000 0000000000000101");
}

TEST(BenchText, ControlsBecomeCommandWords) {
    EXPECT_EQ(channelWords(0, 5), "all");
    EXPECT_EQ(channelWords(1, 5), "1-16");
    EXPECT_EQ(channelWords(2, 5), "17-32");
    EXPECT_EQ(channelWords(3, 5), "5");
    SignalChoice c;
    c.signal = SIGNAL_VOLTS;
    c.volts = -0.55;
    EXPECT_EQ(signalWords(c), "-0.55V");
    c.signal = SIGNAL_SQUARE;
    c.low = 0;
    c.high = 5;
    c.periodS = 0.001;
    EXPECT_EQ(signalWords(c), "square 0 5 0.001");
    c.signal = SIGNAL_100K;
    EXPECT_EQ(signalWords(c), "100k");
    c.signal = SIGNAL_LIVE;
    EXPECT_EQ(signalWords(c), "live");
}

}  // namespace
}  // namespace benchwin

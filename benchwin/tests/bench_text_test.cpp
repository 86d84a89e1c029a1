// What the window shows of inputs, states and frames, and the command words
// its controls stand for.
#include <gtest/gtest.h>

#include <limits>

#include "bench_text.h"
#include "benchwin_uir.h"

namespace benchwin {
namespace {

bench::ChannelInput resistance(double ohms) {
    bench::ChannelInput in;
    in.kind = bench::ChannelInput::Kind::Resistance;
    in.ohms = ohms;
    return in;
}

TEST(BenchText, InputsReadAsAnOperatorWouldSayThem) {
    bench::ChannelInput v;
    v.volts = -8.45;
    EXPECT_EQ(describeInput(v), "-8,45 В");
    EXPECT_EQ(describeInput(resistance(100000.0)), "100 кОм");
    EXPECT_EQ(describeInput(resistance(5.0)), "5 Ом");
    EXPECT_EQ(describeInput(resistance(2e6)), "2 МОм");
    EXPECT_EQ(describeInput(resistance(std::numeric_limits<double>::infinity())), "разомкнут");
    bench::ChannelInput sq;
    sq.kind = bench::ChannelInput::Kind::Square;
    sq.low = 0.5;
    sq.high = 3.0;
    sq.periodS = 0.002;
    EXPECT_EQ(describeInput(sq), "меандр 0,5…3 В, 2 мс");
    bench::ChannelInput counter;
    counter.kind = bench::ChannelInput::Kind::Counter;
    EXPECT_EQ(describeInput(counter), "двоичный счётчик");

    bench::ModuleView module;
    module.inputs.fill(v);
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

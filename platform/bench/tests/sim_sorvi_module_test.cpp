// The register model and the comparison of inputs against thresholds.
#include <gtest/gtest.h>

#include "channel_signal.h"
#include "sorvi_module.h"

namespace bench {
namespace {

using namespace sorvi_reg;

SorviModuleDescription allInputs(const ChannelInput& in) {
    SorviModuleDescription d;
    d.inputs.fill(in);
    return d;
}

std::uint16_t thresholdCode(double v) {
    return static_cast<std::uint16_t>(static_cast<int>(v * 0.5 / 10 * 4096) & 0x0FFF);
}

// Relays on, normal measurement, the threshold of `v` volts in both groups.
void measureAt(SorviModule& m, double v) {
    const auto com = static_cast<std::uint16_t>(0x5000 | thresholdCode(v));
    m.write(Com1, com);
    m.write(Com3, com);
    m.write(Load1, 0);
    m.write(Load3, 0);
}

TEST(SimSorviModule, IdentifiesAsTypeNine) {
    SorviModule m({});
    EXPECT_EQ(m.read(Id) & 0xFF, 9);
    m.write(Id, 0x1234);  // read-only
    EXPECT_EQ(m.read(Id), 9);
}

TEST(SimSorviModule, ControlRegistersReadBackWhatWasWritten) {
    SorviModule m({});
    for (std::uint32_t offset : {Com1, Com3, Period, Imask, Load1, Load3}) {
        for (std::uint16_t v : {0x0000, 0xFFFF, 0xA5A5, 0x0001, 0x8000}) {
            m.write(offset, v);
            EXPECT_EQ(m.read(offset), v) << "offset " << offset;
        }
    }
}

TEST(SimSorviModule, OffsetsOutsideTheWindowOrOddAreInvalid) {
    EXPECT_TRUE(SorviModule::isValidOffset(0x02));
    EXPECT_TRUE(SorviModule::isValidOffset(0x1E));
    EXPECT_FALSE(SorviModule::isValidOffset(0x03));
    EXPECT_FALSE(SorviModule::isValidOffset(0x20));
    EXPECT_FALSE(SorviModule::isValidOffset(0xFFFFFFFE));
    SorviModule m({});
    m.write(0x0E, 0x1234);  // a hole in the map
    EXPECT_EQ(m.read(0x0E), 0);
}

TEST(SimSorviModule, PollFlagSetByPollClearedByState2AndNewRun) {
    SorviModule m({});
    m.beginRun();
    EXPECT_EQ(m.read(State), kStateRunning);
    m.poll(0.0);
    m.endRun();
    EXPECT_EQ(m.read(State), kStatePollDone);
    EXPECT_EQ(m.read(State), kStatePollDone) << "RG_STATE reads keep the flag";
    m.read(State2);
    EXPECT_EQ(m.read(State), 0);
    m.poll(0.0);
    m.beginRun();
    EXPECT_EQ(m.read(State) & kStatePollDone, 0);
}

TEST(SimSorviModule, ThresholdCodeVolts) {
    EXPECT_NEAR(thresholdCodeVolts(409), 1.997, 1e-3);
    EXPECT_NEAR(thresholdCodeVolts(0xE67), -1.997, 1e-3);
    EXPECT_DOUBLE_EQ(thresholdCodeVolts(0x800), -10.0);
    EXPECT_DOUBLE_EQ(thresholdCodeVolts(0), 0.0);
}

TEST(SimSorviModule, ChannelReadsOneAboveItsGroupThreshold) {
    struct Case {
        double input, threshold;
        bool one;
    } cases[] = {{3.0, 2.0, true},    {1.0, 2.0, false}, {-1.0, -2.0, true},
                 {-3.0, -2.0, false}, {9.0, 9.5, false}, {9.6, 9.5, true}};
    for (const Case& c : cases) {
        SorviModule m(allInputs(ChannelInput::voltage(c.input)));
        measureAt(m, c.threshold);
        EXPECT_EQ(m.sampleAt(0.0), c.one ? 0xFFFFFFFFu : 0u) << c.input << " V at " << c.threshold << " V";
    }
}

TEST(SimSorviModule, GroupsHaveTheirOwnThresholds) {
    SorviModule m(allInputs(ChannelInput::voltage(3.0)));
    m.write(Com1, 0x5000 | thresholdCode(2.0));
    m.write(Com3, 0x5000 | thresholdCode(5.0));
    m.write(Load1, 0);
    m.write(Load3, 0);
    EXPECT_EQ(m.sampleAt(0.0), 0x0000FFFFu);
}

TEST(SimSorviModule, ThresholdTakesEffectOnLoad) {
    SorviModule m(allInputs(ChannelInput::voltage(3.0)));
    measureAt(m, 2.0);
    m.write(Com1, 0x5000 | thresholdCode(5.0));
    EXPECT_EQ(m.sampleAt(0.0), 0xFFFFFFFFu) << "not loaded yet";
    m.write(Load1, 0);
    EXPECT_EQ(m.sampleAt(0.0), 0xFFFF0000u);
}

TEST(SimSorviModule, SensorResistancesReadAsContacts) {
    SorviModuleDescription d;
    for (int k = 0; k < 32; ++k) d.inputs[k] = ChannelInput::resistance(k % 2 ? 5.0 : 100000.0);
    SorviModule m(d);
    measureAt(m, 2.0);
    EXPECT_EQ(m.sampleAt(0.0), 0x55555555u);
}

TEST(SimSorviModule, RelaysOffOpenTheInputs) {
    SorviModule m(allInputs(ChannelInput::voltage(5.0)));
    m.write(Com1, 0x3000 | thresholdCode(2.0));  // relays off, no test source
    m.write(Com3, 0x3000 | thresholdCode(-2.0));
    m.write(Load1, 0);
    m.write(Load3, 0);
    EXPECT_EQ(m.sampleAt(0.0), 0u);
}

TEST(SimSorviModule, TestSourceDrivesEveryInput) {
    SorviModule m(allInputs(ChannelInput::voltage(-5.0)));
    auto setup = [&](std::uint16_t source, double threshold) {
        const auto com = static_cast<std::uint16_t>(source | thresholdCode(threshold));
        m.write(Com1, com);
        m.write(Com3, com);
        m.write(Load1, 0);
        m.write(Load3, 0);
        return m.sampleAt(0.0);
    };
    EXPECT_EQ(setup(0x6000, 2.0), 0xFFFFFFFFu);  // 011: high level
    EXPECT_EQ(setup(0xA000, 2.0), 0u);           // 101: low level
    EXPECT_EQ(setup(0x6000, 9.5), 0u);
}

TEST(SimSorviModule, StuckRegisterBitsOverrideWrites) {
    SorviModuleDescription d;
    d.faults.stuckRegisterBits[Com1] = {0x0010, 0x0001};
    SorviModule m(d);
    m.write(Com1, 0x0001);
    EXPECT_EQ(m.read(Com1), 0x0010);
    m.write(Com1, 0x0000);
    EXPECT_EQ(m.read(Com1), 0x0010);
}

TEST(SimSorviModule, StuckChannelsAndIdAndPollAckFaults) {
    SorviModuleDescription d = allInputs(ChannelInput::voltage(3.0));
    d.faults.stuckLowChannels = 0x00000001;
    d.faults.stuckHighChannels = 0x80000000;
    d.faults.idValue = 7;
    d.faults.noPollAck = true;
    SorviModule m(d);
    measureAt(m, 5.0);
    EXPECT_EQ(m.sampleAt(0.0), 0x80000000u);
    measureAt(m, 2.0);
    EXPECT_EQ(m.sampleAt(0.0), 0xFFFFFFFEu);
    EXPECT_EQ(m.read(Id) & 0xFF, 7);
    m.beginRun();
    m.poll(0.0);
    EXPECT_EQ(m.read(State) & kStatePollDone, 0);
}

TEST(SimChannelSignal, SquareSequenceAndResistance) {
    ChannelInput sq = ChannelInput::square(0.0, 5.0, 0.01, 0.3);
    EXPECT_EQ(inputVolts(sq, 0.001), 5.0);
    EXPECT_EQ(inputVolts(sq, 0.004), 0.0);
    EXPECT_EQ(inputVolts(sq, 0.012), 5.0);
    sq.phaseS = 0.005;
    EXPECT_EQ(inputVolts(sq, 0.0), 0.0);

    ChannelInput seq;
    seq.kind = ChannelInput::Kind::Sequence;
    seq.sequence = {1.0, 2.0, 3.0};
    seq.stepS = 0.1;
    EXPECT_EQ(inputVolts(seq, 0.05), 1.0);
    EXPECT_EQ(inputVolts(seq, 0.25), 3.0);
    EXPECT_EQ(inputVolts(seq, 0.35), 1.0);

    EXPECT_NEAR(inputVolts(ChannelInput::resistance(1000.0), 0.0), 6.0, 1e-12);
    EXPECT_EQ(inputVolts(ChannelInput::resistance(0.0), 0.0), 0.0);
}

}  // namespace
}  // namespace bench

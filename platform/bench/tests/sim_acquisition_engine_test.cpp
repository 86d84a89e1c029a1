// The acquisition engine on its own: sample timing, events and their times.
#include <gtest/gtest.h>

#include "acquisition_engine.h"
#include "sorvi_module.h"

namespace bench {
namespace {

constexpr BenchNanos kMs = 1'000'000;

AcquisitionSettings settings(AcquisitionMode mode, std::int32_t block = 1000, std::int32_t packet = 1000) {
    AcquisitionSettings s;
    s.mode = mode;
    s.blockSize = block;
    s.packetSize = packet;
    s.clockTicks = 1600;  // 100 us
    s.firstDelay = 1440;  // 90 us
    return s;
}

TEST(SimAcquisitionEngine, SampleKFallsDueAtStartPlusDelayPlusKPeriods) {
    AcquisitionEngine e;
    std::vector<TimedEvent> events;
    e.start(1000, settings(AcquisitionMode::Block), 10000);
    e.catchUp(1000 + 89'999, nullptr, events);
    EXPECT_EQ(e.readyCount(), 0);
    e.catchUp(1000 + 90'000, nullptr, events);
    EXPECT_EQ(e.readyCount(), 1);
    e.catchUp(1000 + 90'000 + 100'000 * 9 - 1, nullptr, events);
    EXPECT_EQ(e.readyCount(), 9);
    e.catchUp(1000 + 90'000 + 100'000 * 9, nullptr, events);
    EXPECT_EQ(e.readyCount(), 10);
    EXPECT_EQ(e.lastSampleMicros(), (1000 + 990'000) / 1000u);
    EXPECT_EQ(e.firstSampleMicros(), (1000 + 90'000) / 1000u);
    EXPECT_TRUE(events.empty());
}

TEST(SimAcquisitionEngine, FractionalTickPeriodsDoNotDrift) {
    // 3 ticks = 187.5 ns: 1,000,000 samples span exactly 187.5 ms.
    AcquisitionEngine e;
    auto s = settings(AcquisitionMode::Cycle, 1, 3'000'000);
    s.clockTicks = 3;
    s.firstDelay = 0;
    std::vector<TimedEvent> events;
    e.start(0, s, 2'000'000);
    e.catchUp(187'500'000 - 1, nullptr, events);
    EXPECT_EQ(e.readyCount(), 1'000'000);
    EXPECT_TRUE(events.empty());
    e.catchUp(187'500'000, nullptr, events);
    EXPECT_EQ(e.readyCount(), 1'000'001);
}

TEST(SimAcquisitionEngine, NextEventTimeNamesBlockEndPacketAndOverflow) {
    AcquisitionEngine block;
    block.start(0, settings(AcquisitionMode::Block, 50), 100);
    EXPECT_EQ(block.nextEventTime(), 90'000 + 49 * 100'000);

    AcquisitionEngine cycle;
    cycle.start(0, settings(AcquisitionMode::Cycle, 1, 30), 70);
    EXPECT_EQ(cycle.nextEventTime(), 90'000 + 29 * 100'000);
    std::vector<TimedEvent> events;
    cycle.catchUp(90'000 + 59 * 100'000, nullptr, events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].time, 90'000 + 59 * 100'000);
    // 60 in the FIFO, room for 10 more: sample 70 overflows before packet 3 ends.
    EXPECT_EQ(cycle.nextEventTime(), 90'000 + 70 * 100'000);
    events.clear();
    cycle.catchUp(10 * kMs, nullptr, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, carrier_event::Overflow);
    EXPECT_FALSE(cycle.running());
    EXPECT_EQ(cycle.nextEventTime(), std::nullopt);
    EXPECT_EQ(cycle.readyCount(), 70);
}

TEST(SimAcquisitionEngine, SinglePollEndsTheRunAndTheModulesRunningBit) {
    SorviModule module({});
    AcquisitionEngine e;
    std::vector<TimedEvent> events;
    module.beginRun();
    e.start(0, settings(AcquisitionMode::Single), 0);
    EXPECT_EQ(module.read(sorvi_reg::State), kStateRunning);
    e.catchUp(kMs, &module, events);
    EXPECT_FALSE(e.running());
    EXPECT_EQ(module.read(sorvi_reg::State), kStatePollDone);
    EXPECT_EQ(e.readyCount(), 1);
    EXPECT_TRUE(events.empty());
}

TEST(SimAcquisitionEngine, ReadPacketTakesInOrderAndLeavesTheRest) {
    AcquisitionEngine e;
    std::vector<TimedEvent> events;
    e.start(0, settings(AcquisitionMode::Cycle, 1, 5), 100);
    e.catchUp(90'000 + 9 * 100'000, nullptr, events);
    EXPECT_EQ(events.size(), 2u);
    std::uint32_t out[20];
    EXPECT_EQ(e.readPacket(4, out), 4u);
    EXPECT_EQ(e.readyCount(), 6);
    EXPECT_EQ(e.readPacket(20, out), 6u);
    EXPECT_EQ(e.readPacket(20, out), 0u);
}

}  // namespace
}  // namespace bench

// Single, block and cycle acquisition on virtual time.
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "carrier_fixture.h"

namespace carrier_test {
namespace {

std::mutex eventsMutex;
std::vector<ViInt32> events;
std::vector<std::thread::id> eventThreads;

ViInt16 _VI_FUNCH recordEvent(ViSession, ViInt32 event) {
    std::lock_guard lock(eventsMutex);
    events.push_back(event);
    eventThreads.push_back(std::this_thread::get_id());
    return 1;
}

std::vector<ViInt32> takeEvents() {
    std::lock_guard lock(eventsMutex);
    std::vector<ViInt32> out;
    out.swap(events);
    eventThreads.clear();
    return out;
}

int countOf(const std::vector<ViInt32>& list, ViInt32 event) {
    int n = 0;
    for (ViInt32 e : list) n += e == event;
    return n;
}

// Sample k of the next run (0.1 ms period, 90 us first delay, started now)
// is expected to read (k mod 65536) in each group: channel j+1 of a group is
// a square wave that is high while bit j of k is set.
class CarrierAcquisition : public CarrierTest {
protected:
    void SetUp() override {
        CarrierTest::SetUp();
        takeEvents();
        ASSERT_EQ(tarvo_m_handler(mvi, recordEvent), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
        measureAt(2.0, 2.0);
    }

    void counterInputs() { ASSERT_TRUE(bench::testing::setCounterInputs(kCarrier, 1, 1e-4)); }

    // Counter inputs, then a block (mode 1) or cycle (mode 2) of `size`
    // samples started now.
    void startCounting(ViInt16 mode, ViInt32 size) {
        counterInputs();
        ASSERT_EQ(tarvo_m_mode(mvi, 0, mode), VI_SUCCESS);
        const ViStatus sized = mode == 1 ? tarvo_m_block_size(mvi, 0, size) : tarvo_m_packet_size(mvi, 0, size);
        ASSERT_EQ(sized, VI_SUCCESS);
        ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    }

    static ViUInt32 counterSample(std::int64_t k) { return static_cast<ViUInt32>(k & 0xFFFF) * 0x10001u; }
};

TEST_F(CarrierAcquisition, SinglePollsOnceAfterTheFirstDelayAndStops) {
    allInputs(volts(3.0));
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 0), VI_SUCCESS);
    ViUInt16 reg = 0;
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE, &reg), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE2, &reg), VI_SUCCESS);
    const double started = bench::testing::nowSeconds();
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    EXPECT_EQ(state(), 1);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE, &reg), VI_SUCCESS);
    EXPECT_EQ(reg, 0x0008) << "running, no poll yet";

    bench::testing::advanceSeconds(0.001);
    EXPECT_EQ(state(), 0);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE, &reg), VI_SUCCESS);
    EXPECT_EQ(reg, 0x0002) << "poll performed, stopped";
    EXPECT_EQ(ready(), 1);
    ViUInt32 sample = 0, first = 0, last = 0;
    ASSERT_EQ(tarvo_m_read_last(mvi, &sample, &first, &last), VI_SUCCESS);
    EXPECT_EQ(sample, 0xFFFFFFFFu);
    EXPECT_EQ(first, last);
    EXPECT_EQ(first, static_cast<ViUInt32>((std::llround(started * 1e9) + 90000) / 1000));
    ASSERT_EQ(tarvo_m_stop(mvi, 0), VI_SUCCESS);

    // A second start clears the flag and takes a fresh sample.
    allInputs(volts(1.0));
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE, &reg), VI_SUCCESS);
    EXPECT_EQ(reg & 0x0002, 0);
    bench::testing::advanceSeconds(0.001);
    ASSERT_EQ(tarvo_m_read_last(mvi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(sample, 0u);
    EXPECT_TRUE(takeEvents().empty()) << "a single poll raises no event";
}

TEST_F(CarrierAcquisition, BlockTakesExactlyItsSamplesThenRaisesEvent2) {
    ASSERT_NO_FATAL_FAILURE(startCounting(1, 1000));
    bench::testing::advanceSeconds(0.05);
    EXPECT_EQ(ready(), 500);
    EXPECT_EQ(state(), 1);
    EXPECT_TRUE(takeEvents().empty());
    bench::testing::advanceSeconds(1.0);
    EXPECT_EQ(ready(), 1000);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(takeEvents(), std::vector<ViInt32>{2});

    std::vector<ViUInt32> data(1000);
    ASSERT_EQ(tarvo_m_read_block(mvi, 0, 1000, data.data()), VI_SUCCESS);
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(data[k], counterSample(k)) << "sample " << k;
    ViUInt32 part[10];
    ASSERT_EQ(tarvo_m_read_block(mvi, 990, 10, part), VI_SUCCESS);
    EXPECT_EQ(part[9], counterSample(999));

    ViUInt32 last = 0, firstUs = 0, lastUs = 0;
    ASSERT_EQ(tarvo_m_read_last(mvi, &last, &firstUs, &lastUs), VI_SUCCESS);
    EXPECT_EQ(last, counterSample(999));
    EXPECT_EQ(lastUs - firstUs, 99900u);
}

TEST_F(CarrierAcquisition, CycleOfTenSecondsGivesEverySampleInOrder) {
    ASSERT_NO_FATAL_FAILURE(startCounting(2, 1000));
    std::vector<ViUInt32> buffer(20000);
    std::int64_t k = 0;
    for (int second = 0; second < 10; ++second) {
        bench::testing::advanceSeconds(1.0);
        ViInt32 got = 0;
        ASSERT_EQ(tarvo_m_read_packet(mvi, static_cast<ViInt32>(buffer.size()), buffer.data(), &got), VI_SUCCESS);
        ASSERT_EQ(got, 10000) << "second " << second;
        for (ViInt32 i = 0; i < got; ++i, ++k) ASSERT_EQ(buffer[i], counterSample(k)) << "sample " << k;
    }
    EXPECT_EQ(k, 100000);
    EXPECT_EQ(state(), 1);
    ASSERT_EQ(tarvo_m_stop(mvi, 0), VI_SUCCESS);
    const std::vector<ViInt32> seen = takeEvents();
    EXPECT_EQ(countOf(seen, 4), 100);
    EXPECT_EQ(seen.size(), 100u);
    EXPECT_EQ(ready(), 0);
}

TEST_F(CarrierAcquisition, CycleOverflowRaisesEvent0AndStops) {
    ASSERT_EQ(tarvo_m_alloc(mvi, 0, 4000, nullptr), VI_SUCCESS);  // 1000 samples
    ASSERT_NO_FATAL_FAILURE(startCounting(2, 250));
    bench::testing::advanceSeconds(0.5);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(takeEvents(), (std::vector<ViInt32>{4, 4, 4, 4, 0}));
    EXPECT_EQ(ready(), 1000);
    std::vector<ViUInt32> data(2000);
    ViInt32 got = 0;
    ASSERT_EQ(tarvo_m_read_packet(mvi, 2000, data.data(), &got), VI_SUCCESS);
    ASSERT_EQ(got, 1000);
    for (int i = 0; i < got; ++i) ASSERT_EQ(data[i], counterSample(i));
}

TEST_F(CarrierAcquisition, StopEndsACycleWithWhatWasDue) {
    ASSERT_NO_FATAL_FAILURE(startCounting(2, 1000));
    bench::testing::advanceSeconds(0.0123);
    ASSERT_EQ(tarvo_m_stop(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(1.0);
    EXPECT_EQ(ready(), 123);
    EXPECT_TRUE(takeEvents().empty());
}

TEST_F(CarrierAcquisition, EventsComeFromTheBenchThreadOnlyWhileOn) {
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, 10));
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, -1));
    bench::testing::waitForEvents();
    {
        std::lock_guard lock(eventsMutex);
        ASSERT_EQ(events, (std::vector<ViInt32>{10, -1}));
        for (auto id : eventThreads) EXPECT_NE(id, std::this_thread::get_id());
    }
    takeEvents();
    ASSERT_EQ(tarvo_m_config_event(mvi, 0), VI_SUCCESS);
    ViInt16 a = -1, b = -1;
    ASSERT_EQ(tarvo_m_config_event_q(mvi, &a, &b), VI_SUCCESS);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, -2));
    bench::testing::waitForEvents();
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_FALSE(bench::testing::raiseEvent(kCarrier, 2, 4)) << "no session holds position 2";
}

TEST_F(CarrierAcquisition, BlockLargerThanTheReservationIsRefused) {
    ASSERT_EQ(tarvo_m_alloc(mvi, 0, 400, nullptr), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 1), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_block_size(mvi, 0, 101), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_start(mvi, 0), kAlloc);
    EXPECT_EQ(state(), 0);
    ASSERT_EQ(tarvo_m_block_size(mvi, 0, 100), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
}

TEST_F(CarrierAcquisition, ResetStopsTheRunAndKeepsTheReservation) {
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.01);
    ASSERT_EQ(tarvo_m_reset(mvi, 0), VI_SUCCESS);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(ready(), 0);
    ViUInt32 bytes = 0;
    ASSERT_EQ(tarvo_m_alloc_q(mvi, 0, &bytes, nullptr), VI_SUCCESS);
    EXPECT_EQ(bytes, 4u * 1024 * 1024);
}

}  // namespace
}  // namespace carrier_test

// Carrier events reaching instances through the driver's user handler, with
// the bench raising them from its own thread: data events and instrument
// errors are left for the loop, resets are posted, events for a session
// that has gone find nobody, and a cycle run's packet events cross threads
// cleanly while the "user-interface thread" takes them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "bench_test_interface.h"
#include "instance_table.h"
#include "lumex.h"
#include "pending_events.h"
#include "tarvo_32.h"

namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";

std::atomic<int> resetsPosted{0};
void countReset(SorviInstance*, std::uint64_t) { ++resetsPosted; }

class PendingEvents : public ::testing::Test {
protected:
    void SetUp() override {
        bench::testing::resetBench();
        instances::resetForTests();
        resetsPosted = 0;
        setResetPoster(countReset);
        ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_FALSE, &carrier_), 0);
        ASSERT_GE(lumex_init(carrier_, 1, VI_TRUE, VI_TRUE, &session_), 0);
        ASSERT_GE(lumex_set_user_ihandle(session_, interrupt_handle), 0);
        ASSERT_GE(lumex_mask_interrupt(session_, 1), 0);
        serial_ = instances::open(&inst_);
        instances::put(1, session_, &inst_);
    }
    void TearDown() override {
        if (session_ != 0) lumex_close(session_);
        instances::close(&inst_);
        tarvo_close(carrier_);
        setResetPoster(nullptr);
        bench::testing::resetBench();
        instances::resetForTests();
    }
    void raise(int carrierEvent) {
        ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, carrierEvent));
        bench::testing::waitForEvents();
    }

    ViSession carrier_ = 0;
    ViSession session_ = 0;
    SorviInstance inst_;
    std::uint64_t serial_ = 0;
};

}  // namespace

TEST_F(PendingEvents, BenchEventsLandInTheRightField) {
    raise(4);  // packet ready
    EXPECT_EQ(inst_.dataPending.exchange(0), kEventPacketReady);
    raise(2);  // end of acquisition
    EXPECT_EQ(inst_.dataPending.exchange(0), kEventEndOfAcquisition);
    raise(0);  // FIFO overflow
    EXPECT_EQ(inst_.errorPending.exchange(0), -4);
    raise(-2);
    EXPECT_EQ(inst_.errorPending.exchange(0), -2);
    raise(10);  // carrier reset: posted, never left in a field
    EXPECT_EQ(resetsPosted.load(), 1);
    EXPECT_EQ(inst_.dataPending.load(), 0);
    EXPECT_EQ(inst_.errorPending.load(), 0);
}

TEST_F(PendingEvents, AnEventAfterTheInstanceLeftTheTableFindsNobody) {
    instances::close(&inst_);
    EXPECT_EQ(interrupt_handle(session_, kEventPacketReady), -1);
    raise(4);
    EXPECT_EQ(inst_.dataPending.load(), 0);
}

// A cycle run at the shortest period on the bench's real clock raises a
// packet event every 100 frames; this thread takes them as the display loop
// would, while the bench thread keeps delivering.
TEST_F(PendingEvents, PacketEventsOfARunningCycleCrossThreads) {
    ASSERT_GE(lumex_alloc(session_, 100000), 0);
    ASSERT_GE(lumex_sample_period(session_, 0.0001), 0);
    ASSERT_GE(lumex_mode_cycle(session_, 100), 0);
    ASSERT_GE(lumex_mask_interrupt(session_, 1), 0);
    ASSERT_GE(lumex_start(session_), 0);
    int taken = 0;
    ViUInt32 frames[1000];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (taken < 20 && std::chrono::steady_clock::now() < deadline) {
        if (inst_.dataPending.exchange(0) == kEventPacketReady) {
            ++taken;
            ViInt32 got = 0;
            EXPECT_GE(lumex_read_packet(session_, 100, frames, &got), 0);
        }
        std::this_thread::yield();
    }
    EXPECT_GE(lumex_stop(session_), 0);
    EXPECT_EQ(taken, 20);
    // Closing the session while events may still come: none reaches the
    // instance afterwards.
    EXPECT_GE(lumex_close(session_), 0);
    session_ = 0;
    inst_.dataPending = 0;
    bench::testing::waitForEvents();
    EXPECT_EQ(inst_.dataPending.load(), 0);
}

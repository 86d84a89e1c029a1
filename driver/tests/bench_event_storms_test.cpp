// Bench events in bulk and out of time: a hundred thousand packet events
// through one cycle run, and events that arrive for a session already
// closed (and its position opened again). Built into the ThreadSanitizer
// run as well.
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "bench_fixture.h"

using namespace on_bench;

namespace {

std::atomic<int> gPackets{0};
std::atomic<int> gOthers{0};
std::atomic<int> gReadyFailures{0};

// Counts packet events and asks the driver, from the event thread, how much
// is ready, while the test's thread reads the packets.
ViInt16 _VI_FUNCH countPackets(ViSession vi, ViInt32 code)
{
    if (code != 2) {
        gOthers.fetch_add(1);
        return 1;
    }
    gPackets.fetch_add(1);
    ViInt32 ready = 0;
    if (lumex_numReadyData(vi, &ready) < 0)
        gReadyFailures.fetch_add(1);
    return 1;
}

// Holds the event thread inside the handler of another session until the
// test lets it go, so that events raised meanwhile wait in the queue.
std::mutex gGateMutex;
std::condition_variable gGateCv;
bool gGateHeld = false;
bool gGateOpen = false;
std::atomic<int> gLateCalls{0};

ViInt16 _VI_FUNCH holdAtGate(ViSession, ViInt32)
{
    std::unique_lock lock(gGateMutex);
    gGateHeld = true;
    gGateCv.notify_all();
    gGateCv.wait(lock, [] { return gGateOpen; });
    return 1;
}

ViInt16 _VI_FUNCH countLate(ViSession, ViInt32)
{
    gLateCalls.fetch_add(1);
    return 1;
}

class BenchEventStorms : public BenchTest {
protected:
    void SetUp() override
    {
        open(true);
        gPackets = 0;
        gOthers = 0;
        gReadyFailures = 0;
        gLateCalls = 0;
        gGateHeld = false;
        gGateOpen = false;
    }
};

}  // namespace

TEST_F(BenchEventStorms, HundredThousandPacketEventsInOneCycleRun)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, countPackets), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    counterInputs(0.0001);
    EXPECT_TRUE(cycleDeliversCounterFrames(1, 20, 0.5, 5000, 5000));  // an event for every frame
    bench::testing::waitForEvents();
    EXPECT_EQ(gPackets.load(), 100000);
    EXPECT_EQ(gOthers.load(), 0);
    EXPECT_EQ(gReadyFailures.load(), 0);
}

TEST_F(BenchEventStorms, EventsForASessionJustClosedAreDropped)
{
    // The event thread is held in the handler of the module at position 3;
    // meanwhile events for position 1 queue up, and its session closes and
    // a new one opens there before they come out.
    ViSession other = VI_NULL;
    ASSERT_EQ(lumex_init(carrier, 3, VI_TRUE, VI_TRUE, &other), VI_SUCCESS);
    ASSERT_EQ(lumex_set_user_ihandle(other, holdAtGate), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(other, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_set_user_ihandle(vi, countLate), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);

    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 3, 4));
    {
        std::unique_lock lock(gGateMutex);
        ASSERT_TRUE(gGateCv.wait_for(lock, std::chrono::seconds(10), [] { return gGateHeld; }));
    }
    for (int event : {4, 10, -1, 2, 0})
        ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, event));
    ASSERT_EQ(lumex_close(vi), VI_SUCCESS);
    vi = VI_NULL;
    ASSERT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    ASSERT_EQ(lumex_set_user_ihandle(vi, countLate), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    {
        std::lock_guard lock(gGateMutex);
        gGateOpen = true;
    }
    gGateCv.notify_all();
    bench::testing::waitForEvents();

    EXPECT_EQ(gLateCalls.load(), 0) << "an event of the closed session reached the new one";
    EXPECT_EQ(lumex_mode_1(vi), VI_SUCCESS) << "the new session was marked";
    EXPECT_EQ(lumex_close(other), VI_SUCCESS);
}

// Real bench events through the driver's interrupt routine, during
// acquisition; built into the ThreadSanitizer run as well.
#include <atomic>
#include <mutex>
#include <vector>

#include "bench_fixture.h"

using namespace on_bench;

namespace {

std::mutex gMutex;
std::vector<ViInt32> gCodes;
std::atomic<ViStatus> gModeStatusOnReset{0};

ViInt16 _VI_FUNCH collect(ViSession vi, ViInt32 code)
{
    if (code == 3)
        gModeStatusOnReset.store(lumex_mode_cycle(vi, 0));
    std::lock_guard lock(gMutex);
    gCodes.push_back(code);
    return 1;
}

std::vector<ViInt32> takeCodes()
{
    std::lock_guard lock(gMutex);
    std::vector<ViInt32> codes;
    codes.swap(gCodes);
    return codes;
}

class BenchEventsTest : public BenchTest {
protected:
    void SetUp() override
    {
        open(true);
        takeCodes();
        ASSERT_EQ(lumex_set_user_ihandle(vi, collect), VI_SUCCESS);
        ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
        ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    }
};

}  // namespace

TEST_F(BenchEventsTest, PacketEventsReachTheUserHandlerDuringACycle)
{
    counterInputs(0.0001);
    ASSERT_TRUE(cycleDeliversCounterFrames(1000, 3, 1.0, 10000, 10000));
    EXPECT_EQ(takeCodes(), std::vector<ViInt32>(30, 2));
}

TEST_F(BenchEventsTest, BlockEndIsCodeOne)
{
    ASSERT_EQ(lumex_mode_block(vi, 100), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    bench::testing::advanceSeconds(0.1);
    EXPECT_EQ(takeCodes(), std::vector<ViInt32>{1});
}

TEST_F(BenchEventsTest, ErrorEventDuringAcquisitionMarksTheSession)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 1000), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    bench::testing::advanceSeconds(0.2);
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, -1));
    bench::testing::waitForEvents();
    std::vector<ViUInt32> buffer(4000);
    ViInt32 got = 0;
    EXPECT_EQ(lumex_read_packet(vi, 4000, buffer.data(), &got), LUMEX_ERROR_INSTR_INTERRUPT);
    EXPECT_EQ(lumex_set_porog(vi, 3.0), LUMEX_ERROR_INSTR_INTERRUPT);
    auto codes = takeCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), -1);

    // A carrier reset event resets the module and lifts the mark before the
    // handler hears code 3.
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, 10));
    bench::testing::waitForEvents();
    EXPECT_EQ(takeCodes(), std::vector<ViInt32>{3});
    EXPECT_EQ(gModeStatusOnReset.load(), VI_SUCCESS);
    EXPECT_EQ(lumex_set_porog(vi, 3.0), VI_SUCCESS);
    EXPECT_EQ(reg(RG_COM1), 0x7199) << "reset: relays off, 2.0 V";
}

TEST_F(BenchEventsTest, EveryCarrierEventNumber)
{
    const std::pair<int, ViInt32> table[] = {{-2, -2}, {-1, -1}, {0, -4}, {2, 1}, {4, 2}, {10, 3}, {7, -5}};
    for (const auto& [event, code] : table) {
        SCOPED_TRACE(event);
        ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, event));
        bench::testing::waitForEvents();
        EXPECT_EQ(takeCodes(), std::vector<ViInt32>{code});
        ViStatus status = lumex_mode_1(vi);
        EXPECT_EQ(status, code < 0 ? LUMEX_ERROR_INSTR_INTERRUPT : VI_SUCCESS);
        ASSERT_EQ(lumex_reset(vi), VI_SUCCESS);
    }
}

TEST_F(BenchEventsTest, CloseDuringAStreamOfEvents)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 100), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    for (int i = 0; i < 50; ++i)
        bench::testing::raiseEvent(kCarrier, 1, i % 2 == 0 ? 4 : 10);
    bench::testing::advanceSeconds(0.05);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    vi = VI_NULL;
    bench::testing::waitForEvents();
    EXPECT_FALSE(takeCodes().empty());
}

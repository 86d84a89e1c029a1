// Carrier events through the interrupt routine, the instrument-error mark,
// and closing while events may still arrive.
#include <atomic>
#include <chrono>
#include <thread>

#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

// The user handler is a plain function; tests steer it through these.
std::atomic<int> gCalls{0};
std::atomic<ViInt32> gLastCode{0};
std::atomic<ViSession> gLastSession{0};
std::atomic<ViInt16> gReply{1};
std::atomic<bool> gCloseInside{false};
std::atomic<ViStatus> gStatusInside{0};

ViInt16 _VI_FUNCH recordingHandler(ViSession vi, ViInt32 code)
{
    gCalls.fetch_add(1);
    gLastCode.store(code);
    gLastSession.store(vi);
    if (code == 3)
        gStatusInside.store(lumex_mode_1(vi));
    if (gCloseInside.load())
        gStatusInside.store(lumex_close(vi));
    return gReply.load();
}

class InterruptTest : public EventSessionTest {
protected:
    void clearHandlerState() override
    {
        gCalls = 0;
        gLastCode = 0;
        gLastSession = 0;
        gReply = 1;
        gCloseInside = false;
        gStatusInside = 0;
    }
    ViInt16 raise(ViInt32 event)
    {
        auto result = fake().raiseEvent(vi, event);
        EXPECT_TRUE(result.has_value());
        return result.value_or(-99);
    }
    ViInt16 mark()
    {
        // The mark shows as the refusal of a configuration call.
        return lumex_mode_1(vi) == LUMEX_ERROR_INSTR_INTERRUPT ? 1 : 0;
    }
};

}  // namespace

TEST_F(InterruptTest, EventTableWithoutUserHandler)
{
    EXPECT_EQ(raise(2), 1);
    EXPECT_EQ(raise(4), 1);
    EXPECT_EQ(mark(), 0);
    const int resetsBefore = fake().with(vi, [](fake::Mezzanine& m) { return m.resets; });
    EXPECT_EQ(raise(10), 1);
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.resets; }), resetsBefore + 1);
    for (ViInt32 event : {-2, -1, 0, 7, 3, 11}) {
        SCOPED_TRACE(event);
        EXPECT_EQ(raise(event), 0);
        EXPECT_EQ(mark(), 1);
        ASSERT_EQ(lumex_reset(vi), VI_SUCCESS);
        EXPECT_EQ(mark(), 0);
    }
}

TEST_F(InterruptTest, UserHandlerGetsTheDriverCodes)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, recordingHandler), VI_SUCCESS);
    const std::pair<ViInt32, ViInt32> table[] = {{-2, -2}, {-1, -1}, {0, -4}, {2, 1}, {4, 2}, {10, 3}, {7, -5}};
    for (const auto& [event, code] : table) {
        SCOPED_TRACE(event);
        const bool dataEvent = code > 0;
        gReply = 1;
        EXPECT_EQ(raise(event), dataEvent ? 1 : 0);
        EXPECT_EQ(gLastCode.load(), code);
        EXPECT_EQ(gLastSession.load(), vi);
        gReply = 0;
        EXPECT_EQ(raise(event), 0) << "a handler that declines leaves the event";
        lumex_reset(vi);
    }
    EXPECT_EQ(gCalls.load(), 14);
    // Event 10 reset the module before the handler heard of it: the mark
    // was gone when the handler called a configuration operation.
    ASSERT_EQ(raise(7), 0);
    gReply = 1;
    ASSERT_EQ(raise(10), 1);
    EXPECT_EQ(gStatusInside.load(), VI_SUCCESS);

    ASSERT_EQ(lumex_set_user_ihandle(vi, nullptr), VI_SUCCESS);
    const int calls = gCalls.load();
    EXPECT_EQ(raise(4), 1);
    EXPECT_EQ(gCalls.load(), calls);
}

TEST_F(InterruptTest, MarkRefusesConfigurationAndReadsUntilReset)
{
    ASSERT_EQ(raise(-1), 0);
    const ViStatus marked = LUMEX_ERROR_INSTR_INTERRUPT;
    ViUInt32 word = 0;
    ViInt32 count = 0;
    EXPECT_EQ(lumex_set_porog(vi, 1.0), marked);
    EXPECT_EQ(lumex_set_porog_group(vi, 1.0, 9), marked) << "mark before arguments";
    EXPECT_EQ(lumex_sample_period(vi, 0.01), marked);
    EXPECT_EQ(lumex_mode_1(vi), marked);
    EXPECT_EQ(lumex_mode_block(vi, 1), marked);
    EXPECT_EQ(lumex_mode_cycle(vi, 1), marked);
    EXPECT_EQ(lumex_input_trigger(vi, 1), marked);
    EXPECT_EQ(lumex_input_trigger_group(vi, 1, 1), marked);
    EXPECT_EQ(lumex_config_trigger(vi, 0), marked);
    EXPECT_EQ(lumex_mask_interrupt(vi, 1), marked);
    EXPECT_EQ(lumex_start(vi), marked);
    EXPECT_EQ(lumex_read_sample(vi, &word, nullptr, nullptr), marked);
    EXPECT_EQ(lumex_read_block(vi, 0, 1, &word), marked);
    EXPECT_EQ(lumex_read_packet(vi, 1, &word, &count), marked);

    ViReal64 real = 0;
    ViInt16 small = 0;
    ViBoolean flag = 0;
    EXPECT_EQ(lumex_set_porog_q(vi, &real), VI_SUCCESS);
    EXPECT_EQ(lumex_set_porog_group_q(vi, 2, &real), VI_SUCCESS);
    EXPECT_EQ(lumex_sample_period_q(vi, &real), VI_SUCCESS);
    EXPECT_EQ(lumex_mode_q(vi, &small, &count), VI_SUCCESS);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &flag), VI_SUCCESS);
    EXPECT_EQ(lumex_input_trigger_q(vi, &flag), VI_SUCCESS);
    EXPECT_EQ(lumex_set_user_ihandle(vi, nullptr), VI_SUCCESS);
    EXPECT_EQ(lumex_alloc(vi, 100), VI_SUCCESS);
    EXPECT_EQ(lumex_stop(vi), VI_SUCCESS);
    EXPECT_EQ(lumex_state(vi, &small), VI_SUCCESS);
    EXPECT_EQ(lumex_numReadyData(vi, &count), VI_SUCCESS);

    ASSERT_EQ(lumex_reset(vi), VI_SUCCESS);
    EXPECT_EQ(lumex_set_porog(vi, 1.0), VI_SUCCESS);
}

TEST_F(InterruptTest, LateEventsAfterCloseFindNoRecord)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, recordingHandler), VI_SUCCESS);
    tarvo_m_routine routine = fake().with(vi, [](fake::Mezzanine& m) { return m.routine; });
    ASSERT_NE(routine, nullptr);
    // The carrier keeps the session (its close fails), as a slow carrier
    // might still deliver an event queued before the close.
    fake().failCall("tarvo_m_close", fake::kIoError);
    ASSERT_EQ(lumex_close(vi), fake::kIoError);
    EXPECT_FALSE(fake().with(vi, [](fake::Mezzanine& m) { return m.eventsOn; }));
    EXPECT_EQ(routine(vi, 2), static_cast<ViInt16>(VI_ERROR_INV_SETUP));
    EXPECT_EQ(gCalls.load(), 0);
    EXPECT_EQ(lumex_close(vi), VI_ERROR_INV_SETUP);
    ASSERT_EQ(tarvo_m_close(vi), VI_SUCCESS);
    EXPECT_EQ(routine(vi, -1), static_cast<ViInt16>(VI_ERROR_INV_SETUP));
    vi = VI_NULL;
}

TEST_F(InterruptTest, UserHandlerMayCloseTheSession)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, recordingHandler), VI_SUCCESS);
    gCloseInside = true;
    EXPECT_EQ(raise(2), 1);
    EXPECT_EQ(gStatusInside.load(), VI_SUCCESS);
    ViInt16 mode = 0;
    ViInt32 samples = 0;
    EXPECT_NE(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    vi = VI_NULL;
}

// Events stream in on the carrier's thread while the caller configures,
// starts, resets and finally closes the session. Run under ThreadSanitizer
// this shows every field both sides touch is race-free.
TEST_F(InterruptTest, EventsDuringUseAndCloseAreRaceFree)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, recordingHandler), VI_SUCCESS);
    std::vector<ViInt32> events;
    for (int i = 0; i < 400; ++i)
        events.push_back(std::vector<ViInt32>{2, 4, 10, 7, 0, -1}[i % 6]);
    std::thread carrierThread = fake().raiseEventsInBackground(vi, events);
    for (int round = 0; round < 60; ++round) {
        lumex_set_porog(vi, 1.0 + round % 5);
        lumex_sample_period(vi, 0.001);
        lumex_mode_cycle(vi, 100);
        lumex_start(vi);
        ViInt16 mode = 0;
        ViInt32 samples = 0;
        lumex_mode_q(vi, &mode, &samples);
        lumex_stop(vi);
        if (round % 10 == 0)
            lumex_reset(vi);
    }
    // However slowly the carrier's thread got going, some of its events
    // meet the open session before it closes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (gCalls.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    vi = VI_NULL;
    carrierThread.join();
    EXPECT_GT(gCalls.load(), 0);
}

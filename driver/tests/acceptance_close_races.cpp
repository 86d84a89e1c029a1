// Closing a session at the worst moments: while the carrier refuses every
// step of the close, while the user handler of a packet event is still at
// work on the session, and a carrier reset arriving in the middle of the
// self-test. Run under the sanitizers, these show no freed record is ever
// touched.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

std::atomic<ViStatus> gHandlerStatus{0};
std::atomic<int> gHandlerCalls{0};

ViInt16 _VI_FUNCH stopOnPacket(ViSession vi, ViInt32 code)
{
    gHandlerCalls.fetch_add(1);
    if (code == 2)
        gHandlerStatus.store(lumex_stop(vi));
    return 1;
}

// A one-way signal between the test's threads.
class Signal {
public:
    void raise()
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
        cv_.notify_all();
    }
    bool wait(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return raised_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool raised_ = false;
};

class CloseRaces : public EventSessionTest {
protected:
    void clearHandlerState() override
    {
        gHandlerStatus = 0;
        gHandlerCalls = 0;
    }
    void TearDown() override
    {
        fake().setCallHook(nullptr);
        EventSessionTest::TearDown();
    }
};

}  // namespace

// The carrier refuses to stop events, to forget the record and to close:
// the session it keeps must lead nowhere, even once a new session's record
// is made (it may well take the old one's memory).
TEST_F(CloseRaces, SessionTheCarrierKeepsAfterAFailedCloseReachesNoRecord)
{
    const ViSession old = vi;
    fake().failCall("tarvo_m_config_event", fake::kIoError);
    fake().failCall("tarvo_m_set_attribute", fake::kIoError);
    fake().failCall("tarvo_m_close", fake::kIoError);
    ASSERT_EQ(lumex_close(old), fake::kIoError);
    ASSERT_TRUE(fake().with(old, [](fake::Mezzanine& m) { return m.eventsOn && m.routine != nullptr; }));

    ViSession fresh = VI_NULL;
    ASSERT_EQ(lumex_init(fake::kCarrier, 2, VI_TRUE, VI_TRUE, &fresh), VI_SUCCESS);
    vi = fresh;
    ASSERT_EQ(lumex_set_porog(fresh, 5.0), VI_SUCCESS);

    // An instrument error and a carrier reset for the old session.
    EXPECT_EQ(fake().raiseEvent(old, -1), static_cast<ViInt16>(VI_ERROR_INV_SETUP));
    EXPECT_EQ(fake().raiseEvent(old, 10), static_cast<ViInt16>(VI_ERROR_INV_SETUP));
    EXPECT_EQ(lumex_mode_1(fresh), VI_SUCCESS) << "the new session was marked by the old one's event";
    ViReal64 volts = 0;
    ASSERT_EQ(lumex_set_porog_q(fresh, &volts), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(volts, 5.0) << "the new session was reset by the old one's event";
    EXPECT_EQ(lumex_close(old), VI_ERROR_INV_SETUP);
    EXPECT_EQ(tarvo_m_close(old), VI_SUCCESS);
}

// The user handler works on the session (it stops the module) while the
// caller closes it: the close waits for the handler's call to finish
// before the record goes.
TEST_F(CloseRaces, PacketEventHandledWhileTheSessionCloses)
{
    ASSERT_EQ(lumex_set_user_ihandle(vi, stopOnPacket), VI_SUCCESS);
    Signal handlerInside, closeReachedCarrier;
    const std::thread::id caller = std::this_thread::get_id();
    fake().setCallHook([&](const std::string& name) {
        if (name == "tarvo_m_close") {
            closeReachedCarrier.raise();
        } else if (name == "tarvo_m_stop" && std::this_thread::get_id() != caller) {
            handlerInside.raise();
            // Held until the close has gone as far as it can; a close that
            // waits for the handler never gets there, and the hold ends.
            closeReachedCarrier.wait(std::chrono::milliseconds(200));
        }
    });
    // The carrier keeps the session, so the handler's stop still works on it.
    fake().failCall("tarvo_m_close", fake::kIoError);

    std::thread carrierThread = fake().raiseEventsInBackground(vi, {4});
    ASSERT_TRUE(handlerInside.wait(std::chrono::seconds(10)));
    EXPECT_EQ(lumex_close(vi), fake::kIoError);
    carrierThread.join();
    EXPECT_EQ(gHandlerCalls.load(), 1);
    EXPECT_EQ(gHandlerStatus.load(), VI_SUCCESS);
    fake().setCallHook(nullptr);
    EXPECT_EQ(lumex_close(vi), VI_ERROR_INV_SETUP);
    EXPECT_EQ(tarvo_m_close(vi), VI_SUCCESS);
    vi = VI_NULL;
}

// A carrier reset arrives while the self-test is polling: the test ends
// with a verdict and closes as always, and the module then passes again.
TEST_F(CloseRaces, CarrierResetDuringTheSelfTest)
{
    // As the test begins, and after its first poll (events are on then).
    for (const char* during : {"tarvo_m_config_trigger_q", "tarvo_m_read_last"}) {
        SCOPED_TRACE(during);
        ASSERT_EQ(lumex_set_user_ihandle(vi, stopOnPacket), VI_SUCCESS);
        ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);  // a reset turns events off
        std::atomic<bool> raised{false}, delivered{false};
        const ViSession session = vi;
        fake().setCallHook([&](const std::string& name) {
            if (name == during && !raised.exchange(true))
                delivered = fake().raiseEvent(session, 10).has_value();
        });
        ViInt16 result = -1;
        ViChar message[LUMEX_TEXT_SIZE] = {};
        const ViStatus status = lumex_self_test(vi, &result, message);
        fake().setCallHook(nullptr);
        EXPECT_TRUE(delivered.load());
        EXPECT_TRUE(status == VI_SUCCESS || status == LUMEX_ERROR_SELF_TEST) << status;
        EXPECT_EQ(status == VI_SUCCESS, result == 0) << message;
        EXPECT_NE(message[0], '\0');

        ASSERT_EQ(lumex_self_test(vi, &result, message), VI_SUCCESS) << message;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(lumex_mode_cycle(vi, 100), VI_SUCCESS);
        EXPECT_GE(lumex_start(vi), VI_SUCCESS);
        EXPECT_EQ(lumex_stop(vi), VI_SUCCESS);
    }
}

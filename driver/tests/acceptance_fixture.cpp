#include "acceptance_fixture.h"

#include <atomic>

#include "lumex_clock.h"

namespace acceptance {
namespace {

class SimulatedClock final : public lumex::WaitClock {
public:
    SimulatedClock() { lumex::setWaitClock(this); }
    ~SimulatedClock() override { lumex::setWaitClock(nullptr); }
    std::chrono::nanoseconds now() override { return std::chrono::nanoseconds(ticks_.load()); }
    void sleepFor(std::chrono::nanoseconds duration) override { ticks_.fetch_add(duration.count()); }
    void pause() override { ticks_.fetch_add(std::chrono::nanoseconds(std::chrono::milliseconds(1)).count()); }

private:
    std::atomic<std::chrono::nanoseconds::rep> ticks_{0};
};

SimulatedClock simulatedClock;

}  // namespace

const CallNames kUpdateBothControls = {"in16 0x04", "out16 0x04", "in16 0x04", "in16 0x0C", "out16 0x0C", "in16 0x0C"};
const CallNames kWriteBothThresholds = {"in16 0x04", "out16 0x04", "in16 0x04", "out16 0x12",
                                        "in16 0x0C", "out16 0x0C", "in16 0x0C", "out16 0x14"};

CallNames joinCalls(std::initializer_list<CallNames> parts)
{
    CallNames calls;
    for (const CallNames& part : parts)
        calls.insert(calls.end(), part.begin(), part.end());
    return calls;
}

std::chrono::nanoseconds simulatedNow()
{
    return simulatedClock.now();
}

void OpenSessionTest::SetUp()
{
    FakeCarrierTest::SetUp();
    ViSession carrier = fake::kCarrier;
    fake().setMemoryBytes(64000);
    // Memory is reserved before the module is opened, so reset finds it.
    ASSERT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    ASSERT_EQ(lumex_alloc(vi, 64000 / 16), VI_SUCCESS);
    fake().clearLog();
}

void OpenSessionTest::TearDown()
{
    if (vi != VI_NULL)
        lumex_close(vi);
}

void EventSessionTest::SetUp()
{
    OpenSessionTest::SetUp();
    if (HasFatalFailure())
        return;
    clearHandlerState();
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
}

ViStatus OpenSessionTest::reopen(ViBoolean idQuery, ViBoolean reset)
{
    lumex_close(vi);
    vi = VI_NULL;
    return lumex_init(fake::kCarrier, 1, idQuery, reset, &vi);
}

std::string OpenSessionTest::message(ViStatus status)
{
    ViChar text[LUMEX_TEXT_SIZE] = {};
    lumex_error_message(vi, status, text);
    return text;
}

}  // namespace acceptance

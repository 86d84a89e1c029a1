#include "lumex_clock.h"

#include <atomic>
#include <thread>

namespace lumex {
namespace {

class MonotonicClock final : public WaitClock {
public:
    std::chrono::nanoseconds now() override { return std::chrono::steady_clock::now().time_since_epoch(); }
    void sleepFor(std::chrono::nanoseconds duration) override { std::this_thread::sleep_for(duration); }
    void pause() override { std::this_thread::yield(); }
};

MonotonicClock monotonicClock;
std::atomic<WaitClock*> currentClock{&monotonicClock};

}  // namespace

WaitClock& waitClock()
{
    return *currentClock.load();
}

void setWaitClock(WaitClock* clock)
{
    currentClock.store(clock != nullptr ? clock : &monotonicClock);
}

}  // namespace lumex

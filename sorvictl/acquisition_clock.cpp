#include "acquisition_clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "command_error.h"
#include "driver_text.h"
#include "lumex.h"

namespace sorvictl {

double SteadyClock::now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::pause(double seconds) {
    const auto span = std::chrono::duration<double>(std::clamp(seconds, 0.0, 0.1));
    std::unique_lock guard(lock_);
    woken_.wait_for(guard, span, [this] { return pending_; });
    pending_ = false;
}

void SteadyClock::wake() {
    {
        std::lock_guard guard(lock_);
        pending_ = true;
    }
    woken_.notify_one();
}

namespace {

// The driver's user handler has no context argument; one acquisition runs
// at a time, so the clock to wake is kept here.
// The lock makes sure no event is still waking a clock once the scope that
// installed it has ended.
std::mutex gWokenLock;
AcquisitionClock* gWoken = nullptr;
std::atomic<long> gDataEvents{0};

void setWoken(AcquisitionClock* clock) {
    std::lock_guard guard(gWokenLock);
    gWoken = clock;
}

ViInt16 _VI_FUNCH onModuleEvent(ViSession, ViInt32 code) {
    if (code == 1 || code == 2) {
        gDataEvents.fetch_add(1);
        std::lock_guard guard(gWokenLock);
        if (gWoken) gWoken->wake();
    }
    return 1;
}

}  // namespace

DataEvents::DataEvents(ViSession vi, AcquisitionClock& clock, bool interrupts) : vi_(vi), on_(interrupts) {
    if (!on_) return;
    gDataEvents.store(0);
    setWoken(&clock);
    const ViSession session = vi_;
    check(session, lumex_set_user_ihandle(session, onModuleEvent), "cannot install the interrupt handler");
    const ViStatus masked = lumex_mask_interrupt(session, VI_TRUE);
    if (masked < VI_SUCCESS) {
        lumex_set_user_ihandle(session, nullptr);
        setWoken(nullptr);
        check(session, masked, "cannot enable the module's interrupts");
    }
}

DataEvents::~DataEvents() {
    if (!on_) return;
    const ViSession session = vi_;
    lumex_mask_interrupt(session, VI_FALSE);
    lumex_set_user_ihandle(session, nullptr);
    setWoken(nullptr);
}

long DataEvents::count() const { return gDataEvents.load(); }

}  // namespace sorvictl

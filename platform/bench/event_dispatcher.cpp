#include "event_dispatcher.h"

#include <chrono>

#include "carrier_model.h"

namespace bench {

namespace {
// Upper bound of one wait on real time, so a switch of the clock or a run
// started elsewhere is noticed even without a wake-up.
constexpr auto kLongestIdleWait = std::chrono::milliseconds(100);
}  // namespace

EventDispatcher::EventDispatcher(const BenchClock& clock, PacedBench& bench)
    : clock_(clock), bench_(bench), thread_([this] { run(); }) {}

EventDispatcher::~EventDispatcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wakeCv_.notify_all();
    if (!thread_.joinable()) return;
    // A routine that ends the process runs this destructor on the event
    // thread itself, which cannot join itself.
    if (onDispatcherThread()) thread_.detach();
    else thread_.join();
}

void EventDispatcher::post(EventDelivery delivery) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(delivery));
    }
    wakeCv_.notify_all();
}

void EventDispatcher::wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakeups_;
    }
    wakeCv_.notify_all();
}

void EventDispatcher::waitIdle() {
    if (onDispatcherThread()) return;
    std::unique_lock lock(mutex_);
    idleCv_.wait(lock, [&] { return stopping_ || (queue_.empty() && delivering_ == 0); });
}

void EventDispatcher::waitNotDelivering(ViSession session) {
    if (onDispatcherThread()) return;
    std::unique_lock lock(mutex_);
    ++notDeliveringWaiters_;
    idleCv_.wait(lock, [&] { return delivering_ != session; });
    --notDeliveringWaiters_;
}

bool EventDispatcher::onDispatcherThread() const {
    std::lock_guard lock(mutex_);
    return std::this_thread::get_id() == dispatcherId_;
}

void EventDispatcher::discardPending() {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    idleCv_.notify_all();
}

void EventDispatcher::run() {
    std::unique_lock lock(mutex_);
    dispatcherId_ = std::this_thread::get_id();
    while (!stopping_) {
        if (!queue_.empty()) {
            EventDelivery d = std::move(queue_.front());
            queue_.pop_front();
            delivering_ = d.session;
            lock.unlock();
            // The carrier says whether the session is still open with events
            // on; checked after `delivering_` is set, so a closing session
            // either sees this call coming or is already gone.
            if (auto carrier = d.carrier.lock()) {
                if (MezzanineRoutine routine = carrier->routineFor(d.position, d.session)) routine(d.session, d.event);
            }
            lock.lock();
            delivering_ = 0;
            // Waiters for idleness need the queue empty; waking them after
            // every event of a long series would only cost a switch each.
            if (queue_.empty() || notDeliveringWaiters_ > 0) idleCv_.notify_all();
            continue;
        }
        idleCv_.notify_all();
        const std::uint64_t seen = wakeups_;
        auto woken = [&] { return stopping_ || !queue_.empty() || wakeups_ != seen; };
        if (clock_.isVirtual()) {
            // Virtual time moves only when a test advances it; the test then
            // lets the acquisitions catch up itself.
            wakeCv_.wait_for(lock, kLongestIdleWait, woken);
            continue;
        }
        lock.unlock();
        const std::optional<BenchNanos> next = bench_.nextEventTime();
        lock.lock();
        if (woken()) continue;
        auto deadline = std::chrono::steady_clock::now() + kLongestIdleWait;
        if (next) deadline = std::min(deadline, clock_.realDeadline(*next));
        wakeCv_.wait_until(lock, deadline, woken);
        if (stopping_) break;
        lock.unlock();
        bench_.catchUpAll();
        lock.lock();
    }
}

}  // namespace bench

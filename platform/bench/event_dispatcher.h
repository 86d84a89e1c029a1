// The bench's own thread: it paces acquisition on real time and calls the
// routines that mezzanine sessions installed, one event at a time and in the
// order the events arose.
//
// Routines are called with no lock of the bench held, so a routine may call
// any tarvo_ function, including closing its own session.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "bench_clock.h"
#include "visatype.h"

namespace bench {

class CarrierModel;

// What the dispatcher needs from the bench to pace acquisition.
class PacedBench {
public:
    virtual ~PacedBench() = default;
    // The earliest instant at which some acquisition raises an event.
    virtual std::optional<BenchNanos> nextEventTime() = 0;
    // Lets every acquisition take what is due now.
    virtual void catchUpAll() = 0;
};

struct EventDelivery {
    std::weak_ptr<CarrierModel> carrier;
    int position = 0;
    ViSession session = 0;
    int event = 0;
};

class EventDispatcher {
public:
    EventDispatcher(const BenchClock& clock, PacedBench& bench);
    ~EventDispatcher();
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

    void post(EventDelivery delivery);
    // Something changed the pacing (a run started, the clock was switched).
    void wake();
    // Waits until every posted event has been delivered. Returns at once
    // when called from a routine.
    void waitIdle();
    // Waits until no routine of `session` is running. Returns at once when
    // called from a routine (a routine may close its own session).
    void waitNotDelivering(ViSession session);
    bool onDispatcherThread() const;
    // Drops events not yet delivered.
    void discardPending();

private:
    void run();

    const BenchClock& clock_;
    PacedBench& bench_;
    mutable std::mutex mutex_;
    std::condition_variable wakeCv_;
    std::condition_variable idleCv_;
    std::deque<EventDelivery> queue_;
    ViSession delivering_ = 0;
    int notDeliveringWaiters_ = 0;  // callers in waitNotDelivering
    std::uint64_t wakeups_ = 0;
    bool stopping_ = false;
    std::thread::id dispatcherId_;
    std::thread thread_;
};

}  // namespace bench

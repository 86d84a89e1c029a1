// The clock behind the driver's waits: the self-test's one-second waits for
// the module's acknowledgements and the relays' settling time. The product
// runs them on the monotonic clock; the driver's tests put a clock of their
// own in its place, so a time-out costs them no real time. Not part of the
// library's interface.
#ifndef LUMEX_CLOCK_H
#define LUMEX_CLOCK_H

#include <chrono>

namespace lumex {

class WaitClock {
public:
    virtual ~WaitClock() = default;
    // Monotonic time from an arbitrary origin.
    virtual std::chrono::nanoseconds now() = 0;
    // Returns once at least `duration` has passed.
    virtual void sleepFor(std::chrono::nanoseconds duration) = 0;
    // Gives the processor away between two rounds of a polling loop.
    virtual void pause() = 0;
};

// The clock in use.
WaitClock& waitClock();

// Puts clock in place of the monotonic clock; null puts the monotonic clock
// back. The clock must outlive its use.
void setWaitClock(WaitClock* clock);

}  // namespace lumex

#endif

// Time of the simulated bench.
//
// By default the bench runs on real time (a monotonic clock). Tests switch it
// to virtual time, which stands still until the test advances it; the
// acquisition engines then take exactly the samples that fall due, and events
// come in the same order on every run.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace bench {

// Nanoseconds since the bench clock was created.
using BenchNanos = std::int64_t;

class BenchClock {
public:
    BenchClock();

    BenchNanos now() const;
    bool isVirtual() const { return virtual_.load(std::memory_order_acquire); }

    // Freezes time at its present reading; from then on only setVirtualNow()
    // moves it.
    void switchToVirtual();
    // Back to real time (continuing from the real clock, which may jump).
    void switchToReal();
    // Sets the virtual time; never moves it backwards.
    void setVirtualNow(BenchNanos t);

    // The real-clock instant at which bench time `t` is reached.
    std::chrono::steady_clock::time_point realDeadline(BenchNanos t) const;

private:
    std::chrono::steady_clock::time_point epoch_;
    std::atomic<bool> virtual_{false};
    std::atomic<BenchNanos> virtualNow_{0};
};

inline constexpr BenchNanos kNanosPerSecond = 1'000'000'000;

}  // namespace bench

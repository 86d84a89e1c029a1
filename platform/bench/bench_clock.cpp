#include "bench_clock.h"

namespace bench {

BenchClock::BenchClock() : epoch_(std::chrono::steady_clock::now()) {}

BenchNanos BenchClock::now() const {
    if (virtual_.load(std::memory_order_acquire)) return virtualNow_.load(std::memory_order_acquire);
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - epoch_).count();
}

void BenchClock::switchToVirtual() {
    if (virtual_.load()) return;
    virtualNow_.store(now());
    virtual_.store(true, std::memory_order_release);
}

void BenchClock::switchToReal() { virtual_.store(false, std::memory_order_release); }

void BenchClock::setVirtualNow(BenchNanos t) {
    BenchNanos old = virtualNow_.load();
    while (t > old && !virtualNow_.compare_exchange_weak(old, t)) {}
}

std::chrono::steady_clock::time_point BenchClock::realDeadline(BenchNanos t) const {
    return epoch_ + std::chrono::nanoseconds(t);
}

}  // namespace bench

// The acquisition of one mezzanine position: what the carrier does between a
// start and the end of a run, on bench time.
//
// Sample k of a run is taken at t0 + firstDelay + k * period (both in 62.5 ns
// ticks of the carrier clock). Nothing runs on its own: catchUp(now) takes
// every sample that has fallen due by `now`, so the engine gives the same
// result whether time is real or virtual and however often it is asked.
//
// Modes:
//  - single (0): one poll, then the run ends by itself;
//  - block (1): blockSize samples into block memory, then event 2 and the end;
//  - cycle (2): samples into a FIFO in the reserved memory until stopped;
//    event 4 each time packetSize samples have been taken; when a sample
//    finds the FIFO full the run ends with event 0 (overflow) and that sample
//    is lost.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "bench_clock.h"

namespace bench {

class SorviModule;

enum class AcquisitionMode : std::int16_t { Single = 0, Block = 1, Cycle = 2 };

// Event numbers the carrier passes to a mezzanine's routine.
namespace carrier_event {
inline constexpr int Overflow = 0;
inline constexpr int AcquisitionEnded = 2;
inline constexpr int PacketReady = 4;
inline constexpr int CarrierReset = 10;
inline constexpr int InputErrorA = -1;
inline constexpr int InputErrorB = -2;
}  // namespace carrier_event

struct AcquisitionSettings {
    AcquisitionMode mode = AcquisitionMode::Single;
    std::int32_t blockSize = 1000;
    std::int32_t packetSize = 1000;
    std::int32_t clockTicks = 1600;  // sample period in 62.5 ns ticks
    std::int32_t firstDelay = 1440;  // 62.5 ns ticks from start to sample 0
};

struct TimedEvent {
    BenchNanos time;
    int event;
};

class AcquisitionEngine {
public:
    // Starts a run at `t0`; `capacity` is the reserved memory in samples.
    void start(BenchNanos t0, const AcquisitionSettings& settings, std::uint32_t capacity);
    // Takes what is due by `now`, then ends the run.
    void stop(BenchNanos now, SorviModule* module);
    // Ends the run and forgets all data (carrier reset of the mezzanine).
    void clear();

    // Takes every sample due by `now`; events raised go to `events` in order.
    void catchUp(BenchNanos now, SorviModule* module, std::vector<TimedEvent>& events);
    // When the next event of this run falls due, if any.
    std::optional<BenchNanos> nextEventTime() const;

    bool running() const { return running_; }
    // Samples ready: block memory filled so far, unread FIFO samples in cycle
    // mode, 1 after a single poll.
    std::int32_t readyCount() const;
    std::uint32_t capacity() const { return capacity_; }

    // Copies block memory [first, first+count); the caller has checked the
    // range against the reservation. Words not written in this run read 0.
    void readBlock(std::uint32_t first, std::uint32_t count, std::uint32_t* out) const;
    // Takes up to `count` unread FIFO samples in order; returns how many.
    std::uint32_t readPacket(std::uint32_t count, std::uint32_t* out);

    std::uint32_t lastSample() const { return lastSample_; }
    // Times of the first and of the latest sample of the run, microseconds of
    // bench time (wrapping at 2^32); 0 before the first sample.
    std::uint32_t firstSampleMicros() const { return firstMicros_; }
    std::uint32_t lastSampleMicros() const { return lastMicros_; }

private:
    BenchNanos sampleTime(std::int64_t k) const;
    void takeSample(std::int64_t k, SorviModule* module, std::vector<TimedEvent>& events);
    void finish() { running_ = false; }

    AcquisitionSettings settings_;
    std::uint32_t capacity_ = 0;
    BenchNanos t0_ = 0;
    std::int64_t taken_ = 0;
    bool running_ = false;
    std::vector<std::uint32_t> block_;
    std::deque<std::uint32_t> fifo_;
    std::uint32_t lastSample_ = 0;
    std::uint32_t firstMicros_ = 0;
    std::uint32_t lastMicros_ = 0;
};

}  // namespace bench

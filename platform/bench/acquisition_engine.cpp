#include "acquisition_engine.h"

#include <algorithm>

#include "sorvi_module.h"

namespace bench {

namespace {
// 62.5 ns ticks to nanoseconds, rounded down.
BenchNanos ticksToNanos(std::int64_t ticks) { return ticks * 125 / 2; }
}  // namespace

void AcquisitionEngine::start(BenchNanos t0, const AcquisitionSettings& settings, std::uint32_t capacity) {
    settings_ = settings;
    capacity_ = capacity;
    t0_ = t0;
    taken_ = 0;
    running_ = true;
    block_.clear();
    fifo_.clear();
    lastSample_ = 0;
    firstMicros_ = 0;
    lastMicros_ = 0;
}

void AcquisitionEngine::stop(BenchNanos now, SorviModule* module) {
    std::vector<TimedEvent> ignored;
    catchUp(now, module, ignored);
    running_ = false;
    if (module) module->endRun();
}

void AcquisitionEngine::clear() {
    running_ = false;
    taken_ = 0;
    block_.clear();
    fifo_.clear();
    lastSample_ = 0;
    firstMicros_ = 0;
    lastMicros_ = 0;
}

BenchNanos AcquisitionEngine::sampleTime(std::int64_t k) const {
    return t0_ + ticksToNanos(settings_.firstDelay + k * static_cast<std::int64_t>(settings_.clockTicks));
}

void AcquisitionEngine::catchUp(BenchNanos now, SorviModule* module, std::vector<TimedEvent>& events) {
    while (running_ && sampleTime(taken_) <= now) {
        takeSample(taken_, module, events);
    }
}

void AcquisitionEngine::takeSample(std::int64_t k, SorviModule* module, std::vector<TimedEvent>& events) {
    const BenchNanos t = sampleTime(k);
    const double timeS = static_cast<double>(t) / kNanosPerSecond;
    if (settings_.mode == AcquisitionMode::Cycle && fifo_.size() >= capacity_) {
        events.push_back({t, carrier_event::Overflow});
        running_ = false;
        if (module) module->endRun();
        return;
    }
    const std::uint32_t sample = module ? module->poll(timeS) : 0;
    lastSample_ = sample;
    lastMicros_ = static_cast<std::uint32_t>(static_cast<std::uint64_t>(t / 1000));
    if (k == 0) firstMicros_ = lastMicros_;
    ++taken_;
    switch (settings_.mode) {
    case AcquisitionMode::Single:
        running_ = false;
        if (module) module->endRun();
        break;
    case AcquisitionMode::Block:
        block_.push_back(sample);
        if (taken_ >= settings_.blockSize) {
            events.push_back({t, carrier_event::AcquisitionEnded});
            running_ = false;
            if (module) module->endRun();
        }
        break;
    case AcquisitionMode::Cycle:
        fifo_.push_back(sample);
        if (taken_ % settings_.packetSize == 0) events.push_back({t, carrier_event::PacketReady});
        break;
    }
}

std::optional<BenchNanos> AcquisitionEngine::nextEventTime() const {
    if (!running_) return std::nullopt;
    switch (settings_.mode) {
    case AcquisitionMode::Single: return std::nullopt;
    case AcquisitionMode::Block: return sampleTime(std::max<std::int64_t>(settings_.blockSize - 1, taken_));
    case AcquisitionMode::Cycle: {
        const std::int64_t packet = settings_.packetSize;
        const std::int64_t nextPacketEnd = (taken_ / packet + 1) * packet - 1;
        const std::int64_t room = static_cast<std::int64_t>(capacity_) - static_cast<std::int64_t>(fifo_.size());
        const std::int64_t overflowAt = taken_ + std::max<std::int64_t>(room, 0);
        return sampleTime(std::min(nextPacketEnd, overflowAt));
    }
    }
    return std::nullopt;
}

std::int32_t AcquisitionEngine::readyCount() const {
    switch (settings_.mode) {
    case AcquisitionMode::Single: return taken_ > 0 ? 1 : 0;
    case AcquisitionMode::Block: return static_cast<std::int32_t>(block_.size());
    case AcquisitionMode::Cycle: return static_cast<std::int32_t>(fifo_.size());
    }
    return 0;
}

void AcquisitionEngine::readBlock(std::uint32_t first, std::uint32_t count, std::uint32_t* out) const {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t index = static_cast<std::uint64_t>(first) + i;
        out[i] = index < block_.size() ? block_[index] : 0;
    }
}

std::uint32_t AcquisitionEngine::readPacket(std::uint32_t count, std::uint32_t* out) {
    const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(count, fifo_.size()));
    std::copy_n(fifo_.begin(), n, out);
    fifo_.erase(fifo_.begin(), fifo_.begin() + n);
    return n;
}

}  // namespace bench

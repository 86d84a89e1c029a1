// sorvictl watch: one line per change of the channel states, in the
// results list's line format, until Ctrl-C.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "acquisition_clock.h"
#include "console.h"

namespace sorvictl {

struct WatchOptions {
    std::string resource;
    int position = 1;
    double period = 0.001;
    std::optional<double> threshold;
    std::optional<long long> frames;  // stop after this many frames
};

// "    1 0000 0000 0000 0000 0000 0000 0000 0001 ": the frame number in five
// places, then channel 32 down to channel 1 in groups of four.
std::string stateLine(std::uint64_t number, std::uint32_t frame);

// Returns the number of frames watched.
std::uint64_t runWatch(const WatchOptions& options, Console& console, AcquisitionClock& clock);

}  // namespace sorvictl

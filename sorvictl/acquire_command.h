// sorvictl acquire: runs the module in single, block or cycle mode and
// writes every frame to a file as it arrives. In cycle mode it takes
// several positions of one carrier at once, each into a file of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition_clock.h"
#include "console.h"

namespace sorvictl {

struct AcquireOptions {
    std::string resource;
    std::vector<int> positions{1};     // 1 to 4; several only in cycle mode
    std::string mode = "cycle";        // single, block, cycle
    double period = 0.001;             // seconds, 0.0001 to 1
    std::optional<double> threshold;   // volts, both groups
    std::optional<double> threshold1;  // channels 1-16
    std::optional<double> threshold2;  // channels 17-32
    std::string relays = "on";         // on, off
    long long packet = 1000;           // cycle: frames per packet
    long long block = 1000;            // block: frames per block
    std::optional<long long> frames;   // how many frames in all
    std::optional<double> duration;    // or for how long (seconds)
    bool interrupts = false;           // wait for the module's events, not by polling
    std::string output;
    std::string format;  // empty: by extension
    bool force = false;
};

struct AcquireResult {
    std::uint64_t frames = 0;
    bool stopped = false;   // ended by a stop request
    bool cutShort = false;  // ... before the frames asked for
};

// Checks the options, opens the module and runs the capture. Throws
// CommandError; on a stop request (Ctrl-C) stops the module, writes every
// frame already read and closes the file.
AcquireResult runAcquire(const AcquireOptions& options, Console& console, AcquisitionClock& clock);

// The file of one position when several are taken: the position goes
// before the extension ("run.sr", 3: "run-3.sr"; "run": "run-3").
std::string outputForPosition(const std::string& path, int position);

// Limits shared with the other subcommands.
inline constexpr double kShortestPeriod = 0.0001;
inline constexpr double kLongestPeriod = 1.0;
inline constexpr double kThresholdLimit = 10.0;
inline constexpr long long kMostFrames = 1'000'000'000'000LL;

void checkPeriod(double seconds);
void checkThreshold(double volts, const char* option);

}  // namespace sorvictl

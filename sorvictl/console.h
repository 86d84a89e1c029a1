// Where a subcommand prints: results on `out`, messages and the progress
// line on `err`. Tests pass string streams.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

namespace sorvictl {

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;  // standard error is a terminal
};

// "\r<frames> frames  <rate> frames/s  <elapsed> s", at most four times a
// second, only when the console shows progress; finish() ends the line.
class ProgressLine {
public:
    explicit ProgressLine(Console& console) : console_(console) {}
    void update(std::uint64_t frames, double elapsedSeconds, bool force = false);
    void finish();

private:
    Console& console_;
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

}  // namespace sorvictl

#include "console.h"

#include <cstdio>

namespace sorvictl {

void ProgressLine::update(std::uint64_t frames, double elapsedSeconds, bool force) {
    if (!console_.progress) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && shown_ && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    shown_ = true;
    char line[128];
    const double rate = elapsedSeconds > 0 ? static_cast<double>(frames) / elapsedSeconds : 0.0;
    std::snprintf(line, sizeof line, "\r%llu frames  %.0f frames/s  %.1f s   ", static_cast<unsigned long long>(frames),
                  rate, elapsedSeconds);
    console_.err << line << std::flush;
}

void ProgressLine::finish() {
    if (shown_) console_.err << '\n' << std::flush;
    shown_ = false;
}

}  // namespace sorvictl

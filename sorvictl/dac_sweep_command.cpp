#include "dac_sweep_command.h"

#include <cmath>
#include <cstdio>

#include "command_error.h"
#include "driver_text.h"
#include "lumex.h"
#include "module_session.h"
#include "stop_request.h"

namespace sorvictl {

namespace {

constexpr double kFirstThreshold = -9.99;
constexpr double kThresholdStep = 0.01;
constexpr double kLastThreshold = 10.0;
constexpr double kStopWaitS = 0.003;

// Waits for the single poll to end: the module stops by itself.
void waitForPoll(ViSession vi, AcquisitionClock& clock) {
    const double deadline = clock.now() + kStopWaitS;
    for (;;) {
        ViInt16 state = 0;
        check(vi, lumex_state(vi, &state), "asking the module's state failed");
        if (state == 0) return;
        if (clock.now() > deadline) throw CommandError("мезонин не дает останова (the mezzanine does not stop)");
        clock.pause(0.0001);
    }
}

}  // namespace

DacSweepResult runDacSweep(const std::string& resource, int position, Console& console, AcquisitionClock& clock) {
    ModuleSession module(resource, position);
    const ViSession vi = module.vi();
    check(vi, lumex_mode_1(vi), "setting single mode failed");
    check(vi, lumex_input_trigger(vi, VI_TRUE), "switching the input relays on failed");

    DacSweepResult result;
    // Every channel is taken as 1 before the first step, so a channel that
    // reads 0 at the lowest threshold is listed at it.
    std::uint32_t previous = 0xFFFFFFFFu;
    for (double v = kFirstThreshold; v < kLastThreshold; v += kThresholdStep) {
        if (stopRequested()) throw CommandError("stopped before the sweep ended");
        check(vi, lumex_set_porog(vi, v), "setting the threshold failed");
        check(vi, lumex_start(vi), "starting the module failed");
        waitForPoll(vi, clock);
        ViUInt32 frame = 0;
        check(vi, lumex_read_sample(vi, &frame, nullptr, nullptr), "reading the sample failed");
        ++result.steps;
        const std::uint32_t changed = frame ^ previous;
        for (int bit = 0; bit < 32; ++bit)
            if (changed & (1u << bit)) result.switching[static_cast<std::size_t>(bit)] = v;
        previous = frame;
        if (frame == 0) break;
    }

    console.out << "channel threshold_V\n";
    for (int k = 1; k <= 32; ++k) {
        const auto& at = result.switching[static_cast<std::size_t>(k - 1)];
        char line[48];
        if (at) std::snprintf(line, sizeof line, "%7d %.2f\n", k, std::abs(*at) < 0.005 ? 0.0 : *at);
        else std::snprintf(line, sizeof line, "%7d -\n", k);
        console.out << line;
    }
    return result;
}

}  // namespace sorvictl

#include "watch_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "acquire_command.h"
#include "command_error.h"
#include "driver_text.h"
#include "lumex.h"
#include "module_session.h"
#include "stop_request.h"

namespace sorvictl {

std::string stateLine(std::uint64_t number, std::uint32_t frame) {
    char line[64];
    int at = std::snprintf(line, sizeof line, "%5llu ", static_cast<unsigned long long>(number));
    for (int bit = 31; bit >= 0; --bit) {
        line[at++] = static_cast<char>('0' + ((frame >> bit) & 1u));
        if (bit % 4 == 0) line[at++] = ' ';
    }
    return std::string(line, static_cast<std::size_t>(at));
}

std::uint64_t runWatch(const WatchOptions& o, Console& console, AcquisitionClock& clock) {
    checkPeriod(o.period);
    if (o.threshold) checkThreshold(*o.threshold, "--threshold");
    if (o.frames && (*o.frames < 1 || *o.frames > kMostFrames))
        throw CommandError("--frames must be 1 to " + std::to_string(kMostFrames));
    const std::uint64_t limit = o.frames ? static_cast<std::uint64_t>(*o.frames) : UINT64_MAX;

    ModuleSession module(o.resource, o.position);
    const ViSession vi = module.vi();
    // Packets of about a tenth of a second keep the lines prompt.
    const auto packet = static_cast<ViInt32>(
        std::clamp<long>(std::lround(0.1 / o.period), 1, std::min(1000L, module.memoryFrames())));
    check(vi, lumex_sample_period(vi, o.period), "setting the sample period failed");
    if (o.threshold) check(vi, lumex_set_porog(vi, *o.threshold), "setting the threshold failed");
    check(vi, lumex_input_trigger(vi, VI_TRUE), "switching the input relays on failed");
    check(vi, lumex_mode_cycle(vi, packet), "setting cycle mode failed");
    const ViStatus started = lumex_start(vi);
    check(vi, started, "starting the module failed");

    std::vector<ViUInt32> buffer(2000);
    std::uint64_t seen = 0;
    bool first = true;
    std::uint32_t last = 0;
    const double step = std::clamp(packet * o.period, 0.001, 0.1);
    try {
        while (seen < limit && !stopRequested()) {
            clock.pause(step);
            ViInt32 ready = 0;
            check(vi, lumex_numReadyData(vi, &ready), "asking for ready frames failed");
            while (ready > 0 && seen < limit) {
                const auto ask = static_cast<ViInt32>(
                    std::min<std::uint64_t>({buffer.size(), static_cast<std::uint64_t>(ready), limit - seen}));
                ViInt32 got = 0;
                check(vi, lumex_read_packet(vi, ask, buffer.data(), &got), "reading a packet failed");
                if (got <= 0) break;
                for (ViInt32 i = 0; i < got; ++i) {
                    ++seen;
                    if (first || buffer[static_cast<std::size_t>(i)] != last) {
                        last = buffer[static_cast<std::size_t>(i)];
                        first = false;
                        console.out << stateLine(seen, last) << '\n';
                    }
                }
                ready -= got;
            }
            console.out.flush();
        }
    } catch (...) {
        lumex_stop(vi);
        throw;
    }
    check(vi, lumex_stop(vi), "stopping the module failed");
    return seen;
}

}  // namespace sorvictl

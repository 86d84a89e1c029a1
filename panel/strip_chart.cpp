// The strip chart on panel SP: 32 traces, channel k drawn at 3(k-1) plus its
// bit, so that every channel has a band of its own.
#include <paneltk/paneltk.h>

#include <cstdlib>
#include <new>

#include "callback_guard.h"
#include "data_path.h"
#include "sorvi_uir.h"

namespace {
constexpr int kChannels = 32;
constexpr int kBand = 3;
}  // namespace

ViStatus stripChartOut(SorviInstance& inst, const std::uint32_t* p, int n) {
    if (!inst.chartShown || n <= 0 || !p) return VI_SUCCESS;
    // Frames from p to the end of the ring, before it wraps to the start.
    const long long toEnd = inst.buffer + inst.bufferSize - p;
    if (toEnd < 0) return kShortReadStatus;
    // The chart keeps one screenful per trace: older frames of a long portion
    // would scroll out at once, so only the last screenful is expanded.
    int screen = 0;
    tk::getAttribute(inst.chartPanel, SP_STRIPCHART, tk::ATTR_POINTS_PER_SCREEN, screen);
    const std::uint32_t* q = p;
    if (screen > 0 && n > screen) {
        const long long skip = n - screen;
        q = skip < toEnd ? p + skip : inst.buffer + (skip - toEnd);
        n = screen;
    }
    auto* values = static_cast<std::uint32_t*>(std::malloc(sizeof(std::uint32_t) * kChannels * std::size_t(n)));
    if (!values) return kChartMemoryStatus;
    std::uint32_t* out = values;
    for (int f = 0; f < n; ++f) {
        if (q == inst.buffer + inst.bufferSize) q = inst.buffer;
        const std::uint32_t frame = *q++;
        for (int k = 0; k < kChannels; ++k) *out++ = kBand * k + ((frame >> k) & 1u);
    }
    tk::plotStripChart(inst.chartPanel, SP_STRIPCHART, values, kChannels * n);
    std::free(values);
    return VI_SUCCESS;
}

// "График": the strip chart; it is filled from the next portion on.
int graph(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::displayPanel(inst->chartPanel);
    inst->chartShown = 1;
    return 0;
}

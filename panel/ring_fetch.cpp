// Fetching frames from the module into the instance's ring buffer, and
// handing each portion to the result file, the results list and the chart.
#include <paneltk/paneltk.h>

#include <algorithm>
#include <cstdio>

#include "data_path.h"
#include "panel_controls.h"
#include "lumex.h"
#include "sorvi_uir.h"

namespace {

constexpr int kRereadFrames = 1000;

struct Portion {
    ViStatus status = VI_SUCCESS;  // last read status
    int start = 0;                 // ring position of the first new frame
    int count = 0;                 // new frames in the ring
};

// Block mode: the frames not yet fetched, from the module's block memory to
// the ring's start.
Portion readBlock(SorviInstance& inst, ViInt32 ready) {
    Portion portion;
    long long n = static_cast<long long>(ready) - inst.blockRead;
    if (n <= 0) return portion;
    n = std::min<long long>(n, inst.bufferSize);
    portion.status = lumex_read_block(inst.session, inst.blockRead, static_cast<ViInt32>(n), inst.buffer);
    if (portion.status < 0) return portion;
    inst.blockRead += static_cast<std::int32_t>(n);
    inst.runLength += static_cast<std::int32_t>(n);
    inst.writeIndex = static_cast<std::int32_t>(n);
    portion.count = static_cast<int>(n);
    return portion;
}

// Cycle mode: packets in order into the ring at writeIndex, split in two
// where they pass its end. A short read keeps what did arrive.
Portion readPackets(SorviInstance& inst, ViInt32 ready) {
    Portion portion;
    const int n = std::min<int>(ready, inst.bufferSize);
    if (inst.writeIndex == inst.bufferSize) inst.writeIndex = 0;
    int first = n;
    if (inst.writeIndex + n > inst.bufferSize) {
        first = inst.bufferSize - inst.writeIndex;
        if (first < 0 || inst.writeIndex < 0) {
            std::printf("!!!stopBL=%d, portionSize=%d\n", inst.writeIndex, first);
            std::fflush(stdout);
            inst.writeIndex = 0;
            first = n;  // from the ring's start the whole portion fits
        }
    }
    portion.start = inst.writeIndex;
    const int parts[2] = {first, n - first};
    int position = inst.writeIndex;
    for (int part = 0; part < 2 && parts[part] > 0; ++part) {
        const int count = parts[part];
        ViInt32 got = 0;
        portion.status = checkError(inst, lumex_read_packet(inst.session, count, inst.buffer + position, &got));
        if (portion.status < 0) break;
        got = std::clamp<ViInt32>(got, 0, count);
        // What arrived counts, whatever else went wrong.
        inst.runLength += got;
        portion.count += got;
        position += got;
        // Past the ring's end once, the ring holds a whole lap.
        if (part == 1 || position == inst.bufferSize) inst.wrapped = 1;
        if (got != count) {
            std::printf("N %d Запрошено данных %d, прочитано %d, готово %d, всего прочитано %d\n", inst.mezIndex, count,
                        got, ready, inst.totalRead);
            std::fflush(stdout);
            portion.status = kShortReadStatus;
            break;
        }
        if (position == inst.bufferSize) position = 0;
    }
    inst.writeIndex = position == inst.bufferSize ? 0 : position;
    return portion;
}

// Marks the instance as fetching for the life of one fetch.
class FetchGuard {
public:
    explicit FetchGuard(SorviInstance& inst) : inst_(inst) { inst_.fetching = true; }
    ~FetchGuard() { inst_.fetching = false; }
    FetchGuard(const FetchGuard&) = delete;
    FetchGuard& operator=(const FetchGuard&) = delete;

private:
    SorviInstance& inst_;
};

// One portion (block or cycle mode) from the module into the ring and the
// result file: what the module has ready, at most a ring's worth. `ready` is
// what it had.
Portion fetchPortion(SorviInstance& inst, ViInt32& ready) {
    Portion portion;
    ViInt16 state = 0;
    portion.status = lumex_state(inst.session, &state);
    if (portion.status < 0) return portion;
    inst.running = state;
    ready = 0;
    portion.status = lumex_numReadyData(inst.session, &ready);
    if (portion.status < 0 || ready <= 0) return portion;
    if (inst.mode == kBlock) {
        portion = readBlock(inst, ready);
    } else {
        portion = readPackets(inst, ready);
    }
    if (portion.count > 0) {
        inst.totalRead += portion.count;
        writeToFile(inst, inst.buffer + portion.start, portion.count);
    }
    return portion;
}

}  // namespace

ViStatus outData(SorviInstance& inst) {
    if (inst.fetching) return VI_SUCCESS;  // a loop nested in this very fetch
    // Callbacks that run while events are processed may resize or reset the
    // ring; they run here, before any position in it is taken.
    tk::processEvents();
    if (inst.quitRequested || !inst.panelsLoaded || inst.session == 0) return VI_SUCCESS;
    if (inst.mode != kBlock && inst.mode != kCycle) return VI_SUCCESS;
    const FetchGuard guard(inst);

    ViInt32 ready = 0;
    const Portion portion = fetchPortion(inst, ready);
    if (ready <= 0 || (portion.status < 0 && portion.count == 0)) return portion.status;
    if (portion.count > 0) tk::setValue(inst.mainPanel, MP_N_CADRS, inst.totalRead);
    // More frames than one ring's worth were ready after the module stopped:
    // the loop fetches the rest on its next turn.
    const long long remaining = static_cast<long long>(ready) - (inst.mode == kBlock ? inst.blockRead : portion.count);
    if (!inst.running && remaining > 0 && portion.status >= 0) {
        std::int16_t none = 0;
        inst.dataPending.compare_exchange_strong(none, 1);
    }

    // What to list and plot: the frames just read; once the module has
    // stopped, the whole ring (numbered as the run's true frame numbers).
    int windowStart = portion.start;
    int windowSize = portion.count;
    bool wholeRing = false;
    if (!inst.running) {
        wholeRing = true;
        windowStart = inst.wrapped ? inst.writeIndex : 0;
        windowSize = inst.wrapped ? inst.bufferSize : inst.writeIndex;
        if (windowStart >= inst.bufferSize) windowStart = 0;
    }
    const int rp = inst.resultsPanel;
    int lines = 0;
    tk::lineCount(rp, RP_RESULTS_BOX, lines);
    if (lines > kResultsListMaxLines || wholeRing) {
        tk::clearTextBox(rp, RP_RESULTS_BOX);
        inst.firstShown = inst.totalRead - windowSize;
    }
    // A finished block run, with nothing else to show it, lists the end of
    // the block afresh from the module's memory.
    if (inst.mode == kBlock && !inst.running && !inst.resultsShown && !inst.writeFile && inst.blockRead > 0 &&
        windowSize > 0) {
        const int count = std::min(windowSize, kRereadFrames);
        const ViInt32 offset = inst.blockRead - count;  // the block's last frames
        if (lumex_read_block(inst.session, offset, count, inst.buffer) >= 0) {
            windowStart = 0;
            inst.firstShown = inst.totalRead - count;
            windowSize = count;
        }
    }
    // The ring's window is numbered from the run, not from the scroll bar.
    inst.listingRing = wholeRing;
    fillTextBox(inst, inst.buffer + windowStart, 0, windowSize);
    inst.listingRing = false;
    stripChartOut(inst, inst.buffer + windowStart, windowSize);
    if (inst.writeFile) updateScrollBar(inst);
    return portion.status;
}

void fetchRemainder(SorviInstance& inst) {
    if (inst.fetching || !inst.panelsLoaded || inst.session == 0) return;
    if (inst.mode != kBlock && inst.mode != kCycle) return;
    const FetchGuard guard(inst);
    // Every portion takes frames out of the module (or, in block mode, moves
    // past them), so this ends when the module has nothing left.
    for (;;) {
        ViInt32 ready = 0;
        const Portion portion = fetchPortion(inst, ready);
        if (portion.status < 0 || portion.count == 0) break;
    }
}

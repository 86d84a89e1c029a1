// The results list backed by the result file: the scroll bar beside the list
// and the refill of the list from the file, a page of frames at a time.
#include <paneltk/paneltk.h>

#include <algorithm>
#include <memory>
#include <new>

#include "callback_guard.h"
#include "data_path.h"
#include "result_file_io.h"
#include "run_page.h"
#include "sorvi_uir.h"

namespace {

constexpr int kScrollBarGap = 10;
constexpr int kScrollBarWidth = 10;

// Reads count frames of this run from frame pos on into frames. A pop-up
// titled with the file name tells what failed.
int readRunFrames(const SorviInstance& inst, std::int64_t pos, int count, std::uint32_t* frames) {
    RunInFile run;
    run.whole = inst.fileRunWhole;
    run.endBytes = inst.fileEndBytes;
    run.frames = inst.totalRead;
    run.device = inst.fileDevice;
    run.inode = inst.fileInode;
    switch (readRunPage(resultFilePath(inst), run, pos, count, frames)) {
    case PageRead::Ok: return 0;
    case PageRead::CannotOpen: tk::messagePopup(inst.fileName, "Не возможно открыть файл"); break;
    case PageRead::CannotSeek: tk::messagePopup(inst.fileName, "Ошибка при перемещении в файле"); break;
    case PageRead::NotThisRun:
    case PageRead::CannotRead: tk::messagePopup(inst.fileName, "Ошибка при чтении файла"); break;
    }
    return -1;
}

// The scroll bar moved: the list follows.
int scrollBarCB(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    scrollF(panel);
    return 0;
}

}  // namespace

void updateScrollBar(SorviInstance& inst) {
    const int rp = inst.resultsPanel;
    if (inst.scrollBar == 0) {
        int top = 0, left = 0, height = 0, width = 0;
        tk::getAttribute(rp, RP_RESULTS_BOX, tk::ATTR_TOP, top);
        tk::getAttribute(rp, RP_RESULTS_BOX, tk::ATTR_LEFT, left);
        tk::getAttribute(rp, RP_RESULTS_BOX, tk::ATTR_HEIGHT, height);
        tk::getAttribute(rp, RP_RESULTS_BOX, tk::ATTR_WIDTH, width);
        const int bar = tk::newScrollBar(rp, top, left + width + kScrollBarGap, height, kScrollBarWidth, 1,
                                         std::max(1, inst.totalRead), std::max(1, inst.totalRead), scrollBarCB,
                                         "RP_SCROLL_BAR");
        if (bar < 0) return;
        inst.scrollBar = bar;
        scrollF(rp);
    }
    tk::setAttribute(rp, inst.scrollBar, tk::ATTR_MAX_VALUE, std::max(1, inst.totalRead));
    tk::setValue(rp, inst.scrollBar, inst.totalRead);
}

void discardScrollBar(SorviInstance& inst) {
    if (inst.scrollBar != 0) tk::discardControl(inst.resultsPanel, inst.scrollBar);
    inst.scrollBar = 0;
}

int scrollF(int resultsPanel) {
    SorviInstance* inst = instanceOfPanel(resultsPanel);
    if (!inst || inst->scrollBar == 0) return -1;
    int value = 0;
    tk::getValue(resultsPanel, inst->scrollBar, value);
    std::int64_t pos = value;
    int lines = 0;
    tk::lineCount(resultsPanel, RP_RESULTS_BOX, lines);
    if (pos - inst->firstShown >= 0 && pos - inst->firstShown < lines) return -1;  // shown already

    pos = pageStart(pos, inst->totalRead, kFramesPerPage);
    tk::setValue(resultsPanel, inst->scrollBar, static_cast<long long>(pos + 2));
    const int count = std::min(inst->totalRead, kFramesPerPage);
    if (count <= 0) return -1;
    std::unique_ptr<std::uint32_t[]> frames(new (std::nothrow) std::uint32_t[std::size_t(count)]);
    if (!frames) return -1;
    if (readRunFrames(*inst, pos, count, frames.get()) < 0) return -1;

    tk::clearTextBox(resultsPanel, RP_RESULTS_BOX);
    inst->firstShown = static_cast<std::int32_t>(pos);
    fillTextBox(*inst, frames.get(), -1, count);
    tk::setValue(resultsPanel, RP_STROK_K, static_cast<long long>(pos + count - 1));
    tk::setValue(resultsPanel, RP_STROK_N, static_cast<long long>(pos));
    inst->firstShown = static_cast<std::int32_t>(pos);
    return 0;
}

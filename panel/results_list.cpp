// The results list on panel RP: one line per change of the channel states,
// the time between the last two changes, the numbers of the frames listed,
// and the search for the previous differing line.
#include <paneltk/paneltk.h>

#include <algorithm>
#include <charconv>
#include <string>

#include "callback_guard.h"
#include "data_path.h"
#include "sorvi_uir.h"

namespace {

// Walks n frames from p, in the ring (wrapping at its end) or in a plain array.
class FrameWalk {
public:
    FrameWalk(const SorviInstance& inst, const std::uint32_t* p, int wrapMode)
        : p_(p),
          ringStart_(inst.buffer),
          ringEnd_(wrapMode >= 0 && inst.buffer ? inst.buffer + inst.bufferSize : nullptr) {}
    std::uint32_t operator*() const { return *p_; }
    void next() {
        last_ = p_;
        if (++p_ == ringEnd_) p_ = ringStart_;
    }
    // The frame walked over last (the window's last frame once the walk ends).
    std::uint32_t last() const { return last_ ? *last_ : *p_; }

private:
    const std::uint32_t* p_;
    const std::uint32_t* ringStart_;
    const std::uint32_t* ringEnd_;
    const std::uint32_t* last_ = nullptr;
};

// Lines for the results box, gathered and handed over in one insertion.
// Every line of a portion is kept: the list is only ever cleared before a
// portion (outData, scrollF), never in the middle of one.
class ListWriter {
public:
    ListWriter(int panel, int control) : panel_(panel), control_(control) { tk::lineCount(panel_, control_, shown_); }
    bool empty() const { return shown_ + pending_ == 0; }
    void add(const char* line) {
        if (pending_ > 0) text_ += '\n';
        text_ += line;
        ++pending_;
    }
    int flush() {
        if (pending_ == 0) return tk::OK;
        const int status = tk::appendLine(panel_, control_, text_);
        shown_ += pending_;
        pending_ = 0;
        text_.clear();
        return status;
    }

private:
    int panel_;
    int control_;
    int shown_ = 0;
    int pending_ = 0;
    std::string text_;
};

// The four digits of each value of a nibble, channel of the highest bit first.
constexpr char kNibbleDigits[16][5] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                       "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};

int linePosition(int panel) {
    int line = 0;
    tk::getAttribute(panel, RP_RESULTS_BOX, tk::ATTR_LINE_POSITION, line);
    return line;
}

std::string lineOf(int panel, int line) {
    std::string text;
    tk::lineText(panel, RP_RESULTS_BOX, line, text);
    return text;
}

// Walks back from line `from` for the first line whose text differs from
// `text`, and selects the characters that differ. False when none does.
bool selectPreviousDifferent(int panel, int from, const std::string& text) {
    for (int j = from; j >= 0; --j) {
        const std::string other = lineOf(panel, j);
        if (other == text) continue;
        const std::size_t length = std::max(other.size(), text.size());
        std::size_t first = 0;
        while (first < length && first < other.size() && first < text.size() && other[first] == text[first]) {
            ++first;
        }
        std::size_t last = length - 1;
        while (last > first && last < other.size() && last < text.size() && other[last] == text[last]) --last;
        tk::selectText(panel, RP_RESULTS_BOX, j, static_cast<int>(first), static_cast<int>(last - first + 1));
        return true;
    }
    return false;
}

}  // namespace

void formatResultLine(char (&line)[64], long long number, std::uint32_t frame) {
    // "%5lld ": the number right-aligned in five places (a line for every
    // frame of a counting input makes this the list's busiest spot).
    char digits[24];
    const int length = static_cast<int>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
    int at = 0;
    for (int pad = length; pad < 5; ++pad) line[at++] = ' ';
    for (int d = 0; d < length; ++d) line[at++] = digits[d];
    line[at++] = ' ';
    for (int shift = 28; shift >= 0; shift -= 4) {
        const char* digits = kNibbleDigits[(frame >> shift) & 0xFu];
        for (int d = 0; d < 4; ++d) line[at++] = digits[d];
        line[at++] = ' ';
    }
    line[at] = '\0';
}

ViStatus fillTextBox(SorviInstance& inst, const std::uint32_t* p, int wrapMode, int n) {
    const int rp = inst.resultsPanel;
    ListWriter list(rp, RP_RESULTS_BOX);
    if (n > 0 && p) {
        FrameWalk walk(inst, p, wrapMode);
        std::uint32_t previous = list.empty() ? *walk + 1 : inst.lastPrinted;
        double between = -1;
        int i = 0;
        char line[64];
        for (;;) {
            while (i < n && *walk == previous) {
                walk.next();
                ++i;
            }
            const bool end = i == n;
            // Once the module has stopped, a last line closes the list with
            // the state the window ends in.
            if (end && inst.running) break;
            const std::uint32_t frame = end ? walk.last() : *walk;
            formatResultLine(line, static_cast<long long>(inst.firstShown) + i + 1, frame);
            list.add(line);
            inst.runLength += i - n;
            // Frames since the previous change; a list refilled from the file
            // or the ring has no run behind it and shows 0.
            between = inst.runLength < 0 ? 0.0 : inst.runLength * inst.samplePeriod;
            inst.runLength = n - i;
            previous = frame;
            if (end) break;
        }
        inst.lastPrinted = previous;
        const int status = list.flush();
        if (between >= 0) tk::setValue(rp, RP_LAST_TRIG_TIME, between);
        if (status < 0) return status;
    }
    if (inst.scrollBar != 0 && !inst.listingRing) {
        int value = 0;
        if (tk::getValue(rp, inst.scrollBar, value) >= 0) inst.firstShown = value;
    }
    tk::setValue(rp, RP_STROK_N, static_cast<long long>(inst.firstShown) + 1);
    tk::setValue(rp, RP_STROK_K, static_cast<long long>(inst.firstShown) + n);
    inst.firstShown += n;
    return VI_SUCCESS;
}

// "Просмотр": the results list.
int show_res(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::displayPanel(inst->resultsPanel);
    inst->resultsShown = 1;
    return 0;
}

// "Очистить".
int clearRes(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::clearTextBox(inst->resultsPanel, RP_RESULTS_BOX);
    return 0;
}

// "другой кадр": goes back from the line the list is at to the nearest line
// above it that differs, and marks what differs. Nothing above it in a list
// backed by the result file: the list turns back a page, is positioned at
// its last line and is searched from there, page after page.
int findAnother(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int rp = inst->resultsPanel;
    int at = linePosition(rp);
    // Each page turned moves the scroll bar back, so this ends; the bound
    // only guards against a scroll bar that does not move.
    for (int page = 0; page <= inst->totalRead / kFramesPerPage + 2; ++page) {
        if (selectPreviousDifferent(rp, at - 1, lineOf(rp, at))) return 0;
        if (inst->scrollBar == 0) return 0;
        int value = 0;
        tk::getValue(rp, inst->scrollBar, value);
        if (value < 2) return 0;
        tk::setValue(rp, inst->scrollBar, std::max(value - kFramesPerPage, 1));
        // At the top of the first page nothing is refilled, and the search
        // still goes on from the last line.
        scrollF(rp);
        int lines = 0;
        tk::lineCount(rp, RP_RESULTS_BOX, lines);
        if (lines == 0) return 0;
        at = lines - 1;
        tk::selectText(rp, RP_RESULTS_BOX, at, 0, 0);
    }
    return 0;
}

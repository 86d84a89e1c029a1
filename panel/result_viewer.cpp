// The results list backed by the result file: the scroll bar beside the list
// and the refill of the list from the file, a page of frames at a time.
#include <paneltk/paneltk.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "callback_guard.h"
#include "data_path.h"
#include "result_file_io.h"
#include "sorvi_uir.h"

namespace {

constexpr int kScrollBarGap = 10;
constexpr int kScrollBarWidth = 10;

class FileCloser {
public:
    explicit FileCloser(int fd) : fd_(fd) {}
    ~FileCloser() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int fd_;
};

bool readAll(int fd, void* data, std::size_t bytes) {
    char* p = static_cast<char*>(data);
    while (bytes > 0) {
        const ssize_t n = ::read(fd, p, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads count frames of this run from frame pos on into frames. A pop-up
// titled with the file name tells what failed.
int readRunFrames(const SorviInstance& inst, std::int64_t pos, int count, std::uint32_t* frames) {
    const int fd = ::open(resultFilePath(inst), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        tk::messagePopup(inst.fileName, "Не возможно открыть файл");
        return -1;
    }
    FileCloser closer(fd);
    struct stat st {};
    const std::int64_t size = ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    // The run is the file's last totalRead frames only while every portion
    // of it got there, nobody wrote after it and it is still the same file.
    if (!inst.fileRunWhole || size < 0 || size != inst.fileEndBytes || !isRunFile(inst, st)) {
        tk::messagePopup(inst.fileName, "Ошибка при чтении файла");
        return -1;
    }
    const std::int64_t offset = size + 4 * (pos - std::int64_t(inst.totalRead));
    if (offset < 0 || ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(offset)) {
        tk::messagePopup(inst.fileName, "Ошибка при перемещении в файле");
        return -1;
    }
    if (!readAll(fd, frames, std::size_t(count) * 4)) {
        tk::messagePopup(inst.fileName, "Ошибка при чтении файла");
        return -1;
    }
    if constexpr (std::endian::native != std::endian::little) {
        for (int i = 0; i < count; ++i) frames[i] = __builtin_bswap32(frames[i]);
    }
    return 0;
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

    pos = std::max<std::int64_t>(0, std::min<std::int64_t>(pos, std::int64_t(inst->totalRead) - kFramesPerPage));
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

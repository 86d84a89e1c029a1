// Protocol windows and files. A message is formatted once, appended to the
// window's text box and written to the file in Windows-1251 with CR LF line
// ends; the file is written unbuffered, so a message is on disk as soon as
// WriteLOG returns.
#include "chklog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include <paneltk/paneltk.h>

#include "full_transfer.h"
#include "t_sorvi.h"
#include "text_format.h"
#include "verisk_uir.h"

std::string protocolTitle;
std::string protocolPath;

namespace {

constexpr int kNoFile = 0;
constexpr int kFailedFile = -1;

std::array<int, kProtocolWindows> logPanel{};
std::array<int, kProtocolWindows> logFile{};
std::array<std::string, kProtocolWindows> logTitle;
// The absolute path each file was opened under, to notice a file that was
// removed or replaced while open.
std::array<std::string, kProtocolWindows> logFilePath;
// A write to the file of window i has failed since it was opened: the file
// is closed, the operator was told once, and the window goes on alone.
std::array<bool, kProtocolWindows> writeFailed{};

bool validWindow(int i) { return i >= 0 && i < kProtocolWindows; }

// Opens a file for appending; keeps the handle clear of the standard
// streams so that 0 can mean "closed".
int openAppending(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0 && fd <= STDERR_FILENO) {
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        ::close(fd);
        fd = moved;
    }
    return fd < 0 ? kFailedFile : fd;
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// The path still names the file that is open: it was not removed, or
// replaced by another file, since it was opened.
bool stillAtPath(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    if (::fstat(fd, &opened) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Two names of one file, however each is spelt ("sorvi.log" and the
// absolute path the file dialog gives, a path through a link): the same
// text, or both naming one existing file.
bool sameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// False when the bytes could not all be written (a full disk, an I/O error).
// A message written in part is cut off again, so that the file holds whole
// messages only.
bool writeMessage(int fd, const std::string& bytes) {
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
    const fileio::Transfer t = fileio::writeFully(fd, bytes.data(), bytes.size());
    // Should the cut fail too, the message's start stays behind.
    if (!t.complete && t.bytes > 0 && sized && ::ftruncate(fd, before.st_size) != 0) return false;
    return t.complete;
}

// After a failed write nothing more goes to the file, so what is in it stays
// whole messages up to the failure; the operator is told once per opening
// and the messages go on in the window. A file removed or replaced while
// open counts as failed: its messages would be lost, and a file put in its
// place is someone else's.
void writeFailedOnce(int i) {
    ::close(logFile[i]);
    logFile[i] = kFailedFile;
    if (writeFailed[i]) return;
    writeFailed[i] = true;
    tk::messagePopup("Ошибка записи в файл протокола", "Сообщения будут выводиться только на экран");
}

void vwriteLog(int i, const char* format, std::va_list args) {
    if (!validWindow(i)) return;
    // The message is kept to the size of the protocol's line buffer.
    std::string text = vformatBounded(kMessageChars, format, args);
    if (logFile[i] > 0 &&
        (!stillAtPath(logFile[i], logFilePath[i]) || !writeMessage(logFile[i], tk::toCp1251(withCrLf(text)))))
        writeFailedOnce(i);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    const int panel = logPanel[i];
    if (panel <= 0) return;
    tk::appendLine(panel, CHLP_LOG, text);
    int lines = 0;
    int visible = 0;
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_TOTAL_LINES, lines);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_VISIBLE_LINES, visible);
    tk::setAttribute(panel, CHLP_LOG, tk::ATTR_FIRST_VISIBLE_LINE, lines > visible ? lines - visible : 0);
}

}  // namespace

int protocolPanel(int i) { return validWindow(i) ? logPanel[i] : 0; }
int protocolFile(int i) { return validWindow(i) ? logFile[i] : 0; }

int SetupChlp(const char* panelFile, int i, const std::string& title, const std::string& path) {
    if (!validWindow(i) || panelFile == nullptr) return -1;
    const int panel = tk::loadPanel(0, panelFile, CHLP);
    if (panel < 0) return -1;
    if (logPanel[i] > 0 || logFile[i] > 0) DiscardChlp(i);
    logPanel[i] = panel;
    writeFailed[i] = false;
    // A path that does not fit is refused as a file that cannot be opened:
    // cutting it would send the protocol to another file.
    const bool fits = truncateChars(path, kPathChars).size() == path.size();
    logFile[i] = fits ? openAppending(path) : kFailedFile;
    logFilePath[i] = absolutePath(path);
    if (logFile[i] == kFailedFile)
        tk::messagePopup("Ошибка открытия файла протокола.", "Сообщения будут выводиться только на экран");
    const std::string boundedTitle = truncateChars(title, kTitleChars);
    WriteLOG(i, "%s", boundedTitle.c_str());
    logTitle[i] = boundedTitle;
    tk::setPanelAttribute(panel, tk::ATTR_TITLE, boundedTitle);
    return 0;
}

void WriteLOG(int i, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    vwriteLog(i, format, args);
    va_end(args);
}

void DisplayChlp(int i, const char* newTitle) {
    if (!validWindow(i)) return;
    if (newTitle != nullptr) {
        logTitle[i] = truncateChars(newTitle, kTitleChars);
        tk::setPanelAttribute(logPanel[i], tk::ATTR_TITLE, logTitle[i]);
    }
    tk::displayPanel(logPanel[i]);
}

void DiscardChlp(int i) {
    if (!validWindow(i)) return;
    // Only a file that is open is closed; a failed or closed handle is left alone.
    if (logFile[i] > 0) ::close(logFile[i]);
    logFile[i] = kNoFile;
    if (logPanel[i] > 0) tk::discardPanel(logPanel[i]);
    logPanel[i] = 0;
}

void closeAllProtocols() {
    for (int i = 0; i < kProtocolWindows; ++i)
        if (logPanel[i] > 0 || logFile[i] != kNoFile) DiscardChlp(i);
}

bool protocolOpen() { return !protocolPath.empty(); }

void openProtocolForStep() {
    if (protocolOpen()) return;
    std::string name;
    tk::getValue(hTP, TP_FILE_NAME, name);
    protocolPath = name;
    SetupChlp(kVeriskResource, kProtocolWindow, protocolTitle, protocolPath);
}

void closeProtocol() {
    DiscardChlp(kProtocolWindow);
    protocolPath.clear();
}

int selFName(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::FileSelectOptions options;
    options.title = "Файл протокола";
    options.defaultFile = "*.log";
    options.filter = "*.log";
    options.restrictDirectory = false;
    options.restrictExtension = false;
    options.allowCancel = true;
    options.allowMakeDirectory = true;
    // A selection, not a save: the protocol is appended to, so an existing
    // file is simply chosen (no question about replacing it), and a new name
    // is made at the next opening.
    options.save = false;
    std::string selected;
    const int result = tk::fileSelectPopup(options, selected);
    if (result != tk::FILE_SELECTED && result != tk::NEW_FILE_SELECTED) return 0;
    if (protocolOpen() && !sameFile(selected, protocolPath)) {
        DiscardChlp(kProtocolWindow);
        protocolPath = selected;
        SetupChlp(kVeriskResource, kProtocolWindow, protocolTitle, protocolPath);
    }
    tk::setValue(hTP, TP_FILE_NAME, selected);
    return 0;
}

int showLog(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    if (protocolOpen()) DisplayChlp(kProtocolWindow);
    return 0;
}

int closeSp(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::hidePanel(panel);
    return 0;
}

int chlpCB(int panel, int event, void*, int, int) {
    if (event != tk::EVENT_PANEL_SIZE) return 0;
    int height = 0, width = 0, top = 0, left = 0;
    tk::getPanelAttribute(panel, tk::ATTR_HEIGHT, height);
    tk::getPanelAttribute(panel, tk::ATTR_WIDTH, width);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_TOP, top);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_LEFT, left);
    if (height > top) tk::setAttribute(panel, CHLP_LOG, tk::ATTR_HEIGHT, height - top);
    if (width > left) tk::setAttribute(panel, CHLP_LOG, tk::ATTR_WIDTH, width - left);
    return 0;
}

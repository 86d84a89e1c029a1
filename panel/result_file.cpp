// The result file: frames appended as 4-byte little-endian words, the file
// opened and closed around every portion; and the two ways to choose it.
#include <paneltk/paneltk.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "callback_guard.h"
#include "data_path.h"
#include "full_transfer.h"
#include "result_file_io.h"
#include "sorvi_uir.h"

namespace {

// Writes all of n frames, as little-endian words. False on any short write.
bool writeFrames(int fd, const std::uint32_t* frames, std::size_t n) {
    if constexpr (std::endian::native != std::endian::little) {
        std::vector<std::uint32_t> swapped(frames, frames + n);
        for (auto& f : swapped) f = __builtin_bswap32(f);
        return fileio::writeFully(fd, swapped.data(), n * sizeof(std::uint32_t)).complete;
    }
    return fileio::writeFully(fd, frames, n * sizeof(std::uint32_t)).complete;
}

void filePopup(const SorviInstance& inst, const char* text) { tk::messagePopup(inst.fileName, text); }

// Takes a new file name. A name that does not fit is refused (cutting it
// would send the frames to another file): writing goes off.
bool takeFileName(SorviInstance& inst, const std::string& name) {
    if (name.size() >= sizeof inst.fileName) {
        inst.writeFile = 0;
        tk::messagePopup(name.substr(0, 80) + "...", "Ошибка при открытии файла");
        return false;
    }
    // The name of the file being written, typed or chosen again (in any
    // spelling): the run goes on in it and can still be scrolled.
    struct stat st {};
    const bool sameFile = inst.fileEndBytes >= 0 && ::stat(name.c_str(), &st) == 0 && isRunFile(inst, st);
    std::snprintf(inst.fileName, sizeof inst.fileName, "%s", name.c_str());
    if (!sameFile) {
        // The frames this run already read are not in the new file.
        inst.fileEndBytes = -1;
        inst.fileRunWhole = inst.totalRead == 0;
        inst.tornFileTold = false;
    }
    return true;
}

}  // namespace

bool isRunFile(const SorviInstance& inst, const struct stat& file) {
    return file.st_dev == inst.fileDevice && file.st_ino == inst.fileInode;
}

const char* resultFilePath(const SorviInstance& inst) {
    // "nul" is the null device on the system these files come from.
    return strcasecmp(inst.fileName, "nul") == 0 ? "/dev/null" : inst.fileName;
}

void resetFileRun(SorviInstance& inst) {
    inst.fileEndBytes = -1;
    inst.fileRunWhole = true;
    inst.tornFileTold = false;
}

int writeToFile(SorviInstance& inst, const std::uint32_t* first, int count) {
    if (!inst.writeFile || count <= 0 || !first) return 0;
    const int fd = ::open(resultFilePath(inst), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        inst.fileRunWhole = false;
        filePopup(inst, "Ошибка при открытии файла");
        return -1;
    }
    struct stat st {};
    const std::int64_t before = ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
    // Another writer appended since this run's last portion, or the file was
    // removed or replaced: the run's frames no longer lie together at the
    // file's end.
    if (before < 0 || (inst.fileEndBytes >= 0 && (before != inst.fileEndBytes || !isRunFile(inst, st))))
        inst.fileRunWhole = false;
    // Frames appended after a torn one would all be read shifted: a file that
    // does not end on a whole frame is left as it is.
    if (before < 0 || before % 4 != 0) {
        ::close(fd);
        inst.fileRunWhole = false;
        inst.fileEndBytes = before;
        // Told once a run: a pop-up with every portion would stall the loop
        // (and every other module's panel) on each one.
        if (!inst.tornFileTold) {
            inst.tornFileTold = true;
            filePopup(inst, "Ошибка при записи файла");
        }
        return -1;
    }

    // A portion that wrapped round the ring: its older part first.
    bool ok;
    if (inst.writeIndex < count) {
        const int head = count - inst.writeIndex;
        ok = writeFrames(fd, first, std::size_t(head)) && writeFrames(fd, inst.buffer, std::size_t(inst.writeIndex));
    } else {
        ok = writeFrames(fd, first, std::size_t(count));
    }
    if (!ok) {
        // Cut a partly written portion off again, so the file always holds
        // whole frames and nothing but what was there plus whole portions.
        if (before >= 0 && ::ftruncate(fd, static_cast<off_t>(before)) != 0) inst.fileRunWhole = false;
        ::close(fd);
        inst.fileRunWhole = false;
        inst.fileEndBytes = before;
        filePopup(inst, "Ошибка при записи файла");
        return -1;
    }
    if (::close(fd) != 0) {
        inst.fileRunWhole = false;
        filePopup(inst, "Ошибка при записи файла");
        return -1;
    }
    inst.fileEndBytes = before + std::int64_t(count) * 4;
    inst.fileDevice = st.st_dev;
    inst.fileInode = st.st_ino;
    return 0;
}

// "файл рез-тов": choose the file in a dialog; writing is on afterwards.
int selFName(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::FileSelectOptions options;
    options.title = "Файл результатов";
    options.defaultFile = "*.sorvi";
    options.filter = "*.sorvi";
    options.buttonLabel = "OK";
    options.allowCancel = true;
    options.allowMakeDirectory = true;
    std::string path = inst->fileName;
    const int chosen = tk::fileSelectPopup(options, path);
    if (chosen == tk::FILE_SELECTED || chosen == tk::NEW_FILE_SELECTED) {
        if (!takeFileName(*inst, path)) return 0;
        tk::setValue(inst->mainPanel, MP_FILE_NAME, inst->fileName);
    }
    inst->writeFile = 1;
    return 0;
}

// The typed file name: "nul" (any case) or nothing switches writing off.
int setFName(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    std::string name;
    tk::getValue(inst->mainPanel, MP_FILE_NAME, name);
    if (!takeFileName(*inst, name)) return 0;
    inst->writeFile = (inst->fileName[0] != '\0' && strcasecmp(inst->fileName, "nul") != 0) ? 1 : 0;
    return 0;
}

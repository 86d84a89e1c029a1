// The results list's page refill over result files of any length: the first
// 16 input bytes say what the plug-in believes of its run (frames, scroll
// position, whether the file still ends where the run did), the rest is the
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "run_page.h"

namespace {

constexpr int kPageFrames = 1000;

// The file lives in memory; the refill opens it by its /proc path as it
// opens a result file by name.
int memoryFile() {
    const int fd = ::memfd_create("result_page", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    return fd;
}

template <typename T>
T take(const std::uint8_t*& data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    static const int file = memoryFile();
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    const std::uint8_t* p = data;
    const auto frames = take<std::int32_t>(p);
    const auto position = take<std::int32_t>(p);
    const auto endShift = take<std::int32_t>(p);
    const auto flags = take<std::uint32_t>(p);
    const std::size_t fileBytes = size - 16;

    if (::ftruncate(file, 0) != 0 || ::pwrite(file, p, fileBytes, 0) != static_cast<ssize_t>(fileBytes)) std::abort();
    struct stat st {};
    ::fstat(file, &st);

    RunInFile run;
    run.whole = (flags & 1) == 0;
    run.frames = frames;
    run.endBytes = (flags & 2) ? std::int64_t(fileBytes) + endShift : std::int64_t(fileBytes);
    run.device = st.st_dev;
    run.inode = (flags & 4) ? st.st_ino + 1 : st.st_ino;

    const std::int64_t first = pageStart(position, frames, kPageFrames);
    const int count = frames < kPageFrames ? frames : kPageFrames;
    if (count <= 0) return 0;
    std::vector<std::uint32_t> page(static_cast<std::size_t>(count));
    if (readRunPage(path.c_str(), run, first, count, page.data()) == PageRead::Ok) {
        // A page read is always the run's own frames: the file's last
        // `frames` frames, from `first` on.
        const std::int64_t offset = std::int64_t(fileBytes) - 4 * (std::int64_t(frames) - first);
        if (first < 0 || offset < 0 || offset + 4 * std::int64_t(count) > std::int64_t(fileBytes) ||
            std::memcmp(page.data(), p + offset, std::size_t(count) * 4) != 0)
            __builtin_trap();
    }
    return 0;
}

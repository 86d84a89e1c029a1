#include "run_page.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "full_transfer.h"

namespace {

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

}  // namespace

std::int64_t pageStart(std::int64_t position, std::int64_t runFrames, int pageFrames) {
    return std::max<std::int64_t>(0, std::min<std::int64_t>(position, runFrames - pageFrames));
}

PageRead readRunPage(const char* path, const RunInFile& run, std::int64_t first, int count, std::uint32_t* frames) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return PageRead::CannotOpen;
    FileCloser closer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return PageRead::NotThisRun;
    // The run is the file's last frames only while every portion of it got
    // there, nobody wrote after it and it is still the same file.
    const auto size = static_cast<std::int64_t>(st.st_size);
    if (!run.whole || size != run.endBytes || st.st_dev != run.device || st.st_ino != run.inode)
        return PageRead::NotThisRun;
    if (first < 0 || count < 0 || first > run.frames - count || run.frames > size / 4) return PageRead::CannotSeek;
    const std::int64_t offset = size - 4 * (run.frames - first);
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(offset)) return PageRead::CannotSeek;
    if (!fileio::readFully(fd, frames, std::size_t(count) * 4).complete) return PageRead::CannotRead;
    if constexpr (std::endian::native != std::endian::little) {
        for (int i = 0; i < count; ++i) frames[i] = __builtin_bswap32(frames[i]);
    }
    return PageRead::Ok;
}

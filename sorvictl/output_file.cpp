#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "command_error.h"
#include "full_transfer.h"

namespace sorvictl {

namespace {
std::string reason(int error) { return std::strerror(error); }
}  // namespace

void claimOutputPath(const std::string& path, bool force) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return;
    if (!force) throw CommandError(path + " exists; add --force to replace it");
    if (S_ISDIR(info.st_mode)) throw CommandError(path + " is a directory");
    if (!S_ISREG(info.st_mode)) throw CommandError(path + " is not a regular file");
    if (::unlink(path.c_str()) != 0) throw CommandError("cannot replace " + path + ": " + reason(errno));
}

void refuseInputAsOutput(const std::string& input, const std::string& output) {
    struct stat in {
    }, out{};
    if (::stat(input.c_str(), &in) != 0 || ::stat(output.c_str(), &out) != 0) return;
    if (in.st_dev == out.st_dev && in.st_ino == out.st_ino)
        throw CommandError(output + " is the input file; name another output");
}

OutputFile::OutputFile(const std::string& path, bool force) : path_(path) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (force ? O_TRUNC : O_EXCL);
    fd_ = ::open(path.c_str(), flags, 0644);
    if (fd_ < 0) {
        const int error = errno;
        if (error == EEXIST) throw CommandError(path + " exists; add --force to replace it");
        throw CommandError("cannot create " + path + ": " + reason(error));
    }
    struct stat info {};
    if (::fstat(fd_, &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
    }
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void OutputFile::append(const void* data, std::size_t size, std::size_t unit) {
    if (fd_ < 0) throw CommandError(path_ + " is closed");
    const fileio::Transfer t = fileio::writeFully(fd_, data, size);
    if (!t.complete) {
        const std::size_t keep = unit ? t.bytes - t.bytes % unit : t.bytes;
        // A torn unit at the end is cut off; what cannot be cut (a pipe, a
        // device) stays as it is.
        if (keep != t.bytes && ::ftruncate(fd_, static_cast<off_t>(size_ + keep)) == 0) ::lseek(fd_, 0, SEEK_END);
        size_ += keep;
        throw CommandError("writing " + path_ + " failed: " + reason(t.error));
    }
    size_ += size;
}

void OutputFile::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw CommandError("closing " + path_ + " failed: " + reason(errno));
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_)
        throw CommandError(path_ + " was removed or replaced while being written; what was written to it is lost");
}

}  // namespace sorvictl

// Reading and writing a whole buffer on a file descriptor: the loop that goes
// on after short and interrupted transfers, in one place for every program
// that writes result files, protocols or exports.
#pragma once

#include <cerrno>
#include <cstddef>
#include <unistd.h>

namespace fileio {

struct Transfer {
    std::size_t bytes = 0;  // moved before the transfer ended
    int error = 0;          // errno of the failure, 0 when none
    bool complete = false;  // every byte asked for was moved
};

namespace detail {
template <class Buffer, class Call>
Transfer transferFully(Buffer* data, std::size_t size, Call call, int stalledError) {
    Transfer t;
    while (t.bytes < size) {
        const ssize_t n = call(data + t.bytes, size - t.bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            t.error = n < 0 ? errno : stalledError;
            return t;
        }
        t.bytes += static_cast<std::size_t>(n);
    }
    t.complete = true;
    return t;
}
}  // namespace detail

// Writes all `size` bytes. A write that takes nothing counts as a full disk.
inline Transfer writeFully(int fd, const void* data, std::size_t size) {
    return detail::transferFully(
        static_cast<const char*>(data), size, [fd](const char* p, std::size_t n) { return ::write(fd, p, n); }, ENOSPC);
}

// Reads exactly `size` bytes. Ending early with error 0 means the file ended.
inline Transfer readFully(int fd, void* data, std::size_t size) {
    return detail::transferFully(
        static_cast<char*>(data), size, [fd](char* p, std::size_t n) { return ::read(fd, p, n); }, 0);
}

}  // namespace fileio

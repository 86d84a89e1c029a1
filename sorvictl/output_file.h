// A new output file written with plain system calls, so that a failed write
// can be cut back to the last whole unit (frame or text portion).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sorvictl {

class OutputFile {
public:
    // Creates path; an existing file is an error unless force, which
    // empties it. Throws CommandError.
    OutputFile(const std::string& path, bool force);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes all of data or throws CommandError. On a failure the file is
    // cut back to a multiple of `unit` bytes of this call's data (unit =
    // size: nothing of it), so no torn unit is left behind.
    void append(const void* data, std::size_t size, std::size_t unit);
    // Closes the file; throws CommandError when closing fails or when the
    // path no longer names this file (it was removed or replaced while being
    // written, so what was written is not there).
    void close();
    std::uint64_t size() const { return size_; }

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

// Refuses an existing path unless force (throws CommandError); with force
// removes it, for writers that create the file themselves. Only a regular
// file is replaced: such writers would put their file in a device's or a
// pipe's place.
void claimOutputPath(const std::string& path, bool force);

// Refuses an output path that names the input file (under any name), which
// writing the output would destroy before it is read.
void refuseInputAsOutput(const std::string& input, const std::string& output);

}  // namespace sorvictl

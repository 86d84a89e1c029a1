#include "export_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "command_error.h"
#include "frame_sink.h"
#include "full_transfer.h"
#include "output_file.h"
#include "stop_request.h"

namespace sorvictl {

namespace {

constexpr std::size_t kPortionFrames = 1u << 18;  // 1 MiB per read

class InputFile {
public:
    explicit InputFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw CommandError("cannot open " + path + ": " + std::strerror(errno));
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd_);
            throw CommandError(path + " is not a regular file");
        }
        size_ = static_cast<std::uint64_t>(info.st_size);
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~InputFile() { ::close(fd_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::uint64_t size() const { return size_; }

    // Reads exactly `bytes` or throws.
    void read(void* into, std::size_t bytes) {
        const fileio::Transfer t = fileio::readFully(fd_, into, bytes);
        if (!t.complete)
            throw CommandError("reading " + path_ +
                               " failed: " + (t.error ? std::strerror(t.error) : "the file got shorter"));
    }

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace

ExportResult runExport(const ExportOptions& o, Console& console) {
    if (o.samplerateHz == 0) throw CommandError("--samplerate must be at least 1 Hz");
    SinkOptions sinkOptions;
    sinkOptions.path = o.output;
    sinkOptions.format = chooseFormat(o.output, o.format);
    if (sinkOptions.format == FileFormat::Sorvi)
        throw CommandError("export writes sr, vcd or csv, not a second .sorvi file");
    sinkOptions.force = o.force;
    sinkOptions.samplerateHz = o.samplerateHz;
    if (!o.channels.empty()) sinkOptions.channels = parseChannelList(o.channels);

    InputFile input(o.input);
    refuseInputAsOutput(o.input, o.output);
    ExportResult result;
    result.trailingBytes = input.size() % 4;
    const std::uint64_t frames = input.size() / 4;
    auto sink = openFrameSink(sinkOptions);
    std::vector<std::uint32_t> portion(kPortionFrames);
    for (std::uint64_t done = 0; done < frames;) {
        if (stopRequested()) {
            sink->close();
            throw CommandError("stopped; " + o.output + " holds the first " + std::to_string(done) + " frames");
        }
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(portion.size(), frames - done));
        input.read(portion.data(), n * 4);
        sink->write(portion.data(), n);
        done += n;
    }
    sink->close();
    result.frames = sink->framesWritten();
    console.err << "sorvictl: " << result.frames << " frames exported to " << o.output << '\n';
    if (result.trailingBytes)
        throw CommandError(o.input + " ends in " + std::to_string(result.trailingBytes) +
                           " bytes that are not a whole frame; they were ignored");
    return result;
}

}  // namespace sorvictl

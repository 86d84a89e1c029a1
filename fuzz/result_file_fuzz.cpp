// Result files of any length and content: the command-line export into
// sigrok's formats. The first input byte chooses the format and the channels,
// the rest is the result file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <unistd.h>

#include "command_error.h"
#include "export_command.h"

namespace {

const std::string& workDir() {
    static const std::string dir = [] {
        char name[] = "/tmp/fuzz_result_file.XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return dir;
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // A few channel lists only: the export keeps one sigrok device per list
    // for the life of the process.
    static const char* const channelLists[] = {"", "1", "1-8,17,20-22", "32,1"};
    static const char* const extensions[] = {".csv", ".vcd", ".sr"};
    const std::uint8_t choice = data[0];
    const std::string input = workDir() + "/in.sorvi";
    if (!writeFile(input, data + 1, size - 1)) std::abort();

    sorvictl::ExportOptions options;
    options.input = input;
    options.output = workDir() + "/out" + extensions[choice % 3];
    options.samplerateHz = 1 + (choice >> 4);
    options.channels = channelLists[(choice >> 2) & 3];
    options.force = true;

    std::ostringstream out, err;
    sorvictl::Console console{out, err, false};
    const std::uint64_t fileSize = size - 1;
    try {
        const auto result = sorvictl::runExport(options, console);
        // Every whole frame of the file is exported; only a file of whole
        // frames gets here.
        if (result.frames != fileSize / 4 || fileSize % 4 != 0) __builtin_trap();
    } catch (const sorvictl::CommandError& e) {
        // The one refusal a readable file gets: bytes after the last whole
        // frame, which are reported, not exported.
        if (fileSize % 4 == 0 || std::string(e.what()).find("not a whole frame") == std::string::npos) __builtin_trap();
    }
    ::unlink(options.output.c_str());
    ::unlink(input.c_str());
    return 0;
}

// Where frames go: a result file in one of four formats. Frames are 32-bit
// channel words, bit k - 1 = channel k.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sorvictl {

enum class FileFormat { Sorvi, Sr, Vcd, Csv };

// "sorvi", "sr", "vcd", "csv"; nullopt for anything else.
std::optional<FileFormat> formatFromName(const std::string& name);
// By the file name's extension; nullopt when it names none of the four.
std::optional<FileFormat> formatFromPath(const std::string& path);
// The format asked for by option, else the one the extension names; throws
// CommandError when neither gives one.
FileFormat chooseFormat(const std::string& path, const std::string& option);

struct SinkOptions {
    std::string path;
    FileFormat format = FileFormat::Sorvi;
    bool force = false;              // replace an existing file
    std::uint64_t samplerateHz = 0;  // sigrok formats: sent as metadata
    std::vector<int> channels;       // channels 1..32 to keep, in order; empty: all 32
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Appends frames; throws CommandError when the file cannot take them.
    // What was written before a failure stays in the file as whole frames
    // (raw) or whole portions (text formats).
    virtual void write(const std::uint32_t* frames, std::size_t count) = 0;
    // Completes the file. Also done by the destructor, without reporting.
    virtual void close() = 0;
    std::uint64_t framesWritten() const { return written_; }

protected:
    std::uint64_t written_ = 0;
};

// Creates the file (refusing an existing one unless force) and returns the
// writer for its format. Throws CommandError with the reason.
std::unique_ptr<FrameSink> openFrameSink(const SinkOptions& options);

// "1-8,17,20-22" to channel numbers; throws CommandError on anything else.
std::vector<int> parseChannelList(const std::string& text);

}  // namespace sorvictl

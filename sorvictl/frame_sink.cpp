#include "frame_sink.h"

#include <algorithm>
#include <cctype>
#include <bit>
#include <cstring>

#include "command_error.h"
#include "output_file.h"
#include "sigrok_frame_sink.h"

namespace sorvictl {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The plug-in's own result file: frames as little-endian 32-bit words, no
// header. A failed write keeps the whole frames it managed.
class RawFrameSink : public FrameSink {
public:
    explicit RawFrameSink(const SinkOptions& options) : file_(options.path, options.force) {}
    ~RawFrameSink() override {
        try {
            file_.close();
        } catch (const CommandError&) {}
    }
    void write(const std::uint32_t* frames, std::size_t count) override {
        static_assert(std::endian::native == std::endian::little, "frames are written as the machine holds them");
        const std::uint64_t before = file_.size();
        try {
            file_.append(frames, count * sizeof *frames, sizeof *frames);
        } catch (const CommandError&) {
            written_ += (file_.size() - before) / sizeof *frames;
            throw;
        }
        written_ += count;
    }
    void close() override { file_.close(); }

private:
    OutputFile file_;
};

}  // namespace

std::optional<FileFormat> formatFromName(const std::string& name) {
    const std::string n = lower(name);
    if (n == "sorvi") return FileFormat::Sorvi;
    if (n == "sr") return FileFormat::Sr;
    if (n == "vcd") return FileFormat::Vcd;
    if (n == "csv") return FileFormat::Csv;
    return std::nullopt;
}

std::optional<FileFormat> formatFromPath(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    return formatFromName(path.substr(dot + 1));
}

FileFormat chooseFormat(const std::string& path, const std::string& option) {
    if (!option.empty()) {
        if (auto f = formatFromName(option)) return *f;
        throw CommandError("unknown format '" + option + "' (sorvi, sr, vcd or csv)");
    }
    if (auto f = formatFromPath(path)) return *f;
    throw CommandError("cannot tell the format of " + path +
                       " from its extension; name one with --format sorvi|sr|vcd|csv");
}

std::vector<int> parseChannelList(const std::string& text) {
    std::vector<int> channels;
    std::size_t at = 0;
    auto bad = [&] { return CommandError("bad channel list '" + text + "' (channels 1 to 32, e.g. 1-8,17)"); };
    auto number = [&](std::size_t& i) {
        std::size_t start = i;
        int value = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 3)
            value = value * 10 + (text[i++] - '0');
        if (i == start || value < 1 || value > 32) throw bad();
        return value;
    };
    while (at < text.size()) {
        const int first = number(at);
        int last = first;
        if (at < text.size() && text[at] == '-') {
            ++at;
            last = number(at);
        }
        if (last < first) throw bad();
        for (int c = first; c <= last; ++c) {
            if (std::find(channels.begin(), channels.end(), c) != channels.end()) throw bad();
            channels.push_back(c);
        }
        if (at < text.size()) {
            if (text[at] != ',' || at + 1 == text.size()) throw bad();
            ++at;
        }
    }
    if (channels.empty()) throw bad();
    return channels;
}

std::unique_ptr<FrameSink> openFrameSink(const SinkOptions& options) {
    if (options.format == FileFormat::Sorvi) {
        if (!options.channels.empty())
            throw CommandError("--channels applies to the sigrok formats (sr, vcd, csv) only");
        return std::make_unique<RawFrameSink>(options);
    }
    return openSigrokFrameSink(options);
}

}  // namespace sorvictl

#include "sigrok_frame_sink.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "command_error.h"
#include "output_file.h"
#include "sigrok_output.h"

namespace sorvictl {

namespace {

// Frames to samples of the chosen channels: bit k of a sample is the k-th
// channel of the list; a sample takes as few bytes as the list needs.
class ChannelPacker {
public:
    explicit ChannelPacker(const std::vector<int>& chosen) {
        for (int c = 1; c <= 32; ++c) channels_.push_back(c);
        if (!chosen.empty() && chosen != channels_) {
            channels_ = chosen;
            picked_ = true;
        }
        unit_ = unitSizeFor(channels_.size());
    }
    const std::vector<int>& channels() const { return channels_; }
    unsigned unit() const { return unit_; }

    // The samples for `count` frames; valid until the next call.
    const void* pack(const std::uint32_t* frames, std::size_t count) {
        if (!picked_) return frames;
        bytes_.resize(count * unit_);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t word = 0;
            for (std::size_t k = 0; k < channels_.size(); ++k) word |= ((frames[i] >> (channels_[k] - 1)) & 1u) << k;
            std::memcpy(&bytes_[i * unit_], &word, unit_);  // the low bytes: the machine is little-endian
        }
        return bytes_.data();
    }

private:
    std::vector<int> channels_;
    bool picked_ = false;
    unsigned unit_ = 4;
    std::vector<std::uint8_t> bytes_;
};

// Portions of at most 1 Mi frames keep the modules' buffers bounded.
constexpr std::size_t kPortion = 1u << 20;

// A sink that packs the frames and writes them in portions.
class PackingFrameSink : public FrameSink {
public:
    void write(const std::uint32_t* frames, std::size_t count) final {
        while (count > 0) {
            const std::size_t n = std::min(count, kPortion);
            writePortion(packer_.pack(frames, n), n);
            written_ += n;
            frames += n;
            count -= n;
        }
    }

protected:
    explicit PackingFrameSink(const std::vector<int>& channels) : packer_(channels) {}
    // Writes the packed samples of n frames; on failure adds to written_ the
    // frames that did reach the file, and throws.
    virtual void writePortion(const void* samples, std::size_t n) = 0;
    // For destructors: a failure to finish the file was reported by an
    // explicit close already, or cannot be any more.
    void closeQuietly() noexcept {
        try {
            close();
        } catch (const CommandError&) {}
    }

    ChannelPacker packer_;
};

// vcd and csv: the module's text goes into a file of ours.
class TextFrameSink : public PackingFrameSink {
public:
    TextFrameSink(const SinkOptions& options, const char* moduleId)
        : PackingFrameSink(options.channels),
          file_(options.path, options.force),
          output_(moduleId, packer_.channels(), options.samplerateHz, nullptr, &file_) {}
    ~TextFrameSink() override { closeQuietly(); }
    void close() override {
        if (closed_) return;
        closed_ = true;
        output_.finish();
        file_.close();
    }

private:
    void writePortion(const void* samples, std::size_t n) override { output_.sendLogic(samples, n, packer_.unit()); }

    OutputFile file_;
    SigrokOutput output_;
    bool closed_ = false;
};

// The session file (.sr, a zip archive). libsigrok's srzip module writes it,
// but it reopens and rewrites the whole archive for every 1 MiB of samples,
// which grows as the square of the capture. So the samples are first spooled
// to a raw file beside the output; at the end srzip writes the archive with
// its metadata and the first chunk, and the remaining chunks are added in a
// single pass with libzip, in srzip's own naming (logic-1-N).
class SessionFileSink : public PackingFrameSink {
public:
    explicit SessionFileSink(const SinkOptions& options)
        : PackingFrameSink(options.channels),
          path_(options.path),
          rate_(options.samplerateHz),
          spoolPath_(claimPaths(options)),
          spool_(spoolPath_, false) {}

    ~SessionFileSink() override { closeQuietly(); }

    void close() override {
        if (closed_) return;
        closed_ = true;
        spool_.close();
        try {
            build();
        } catch (const CommandError& e) {
            throw CommandError(std::string(e.what()) + "; the frames are kept in " + spoolPath_);
        }
        ::unlink(spoolPath_.c_str());
    }

private:
    void writePortion(const void* samples, std::size_t n) override {
        const std::uint64_t before = spool_.size();
        try {
            spool_.append(samples, n * packer_.unit(), packer_.unit());
        } catch (const CommandError&) {
            written_ += (spool_.size() - before) / packer_.unit();
            throw;
        }
    }

    // Refuses an existing output unless forced; names the spool file.
    static std::string claimPaths(const SinkOptions& options) {
        claimOutputPath(options.path, options.force);
        return options.path + ".part-" + std::to_string(::getpid());
    }

    void build() {
        const unsigned unit = packer_.unit();
        const std::uint64_t samples = spool_.size() / unit;
        const std::uint64_t chunk = (1u << 20) / unit;  // srzip's chunk: 1 MiB
        const std::uint64_t head = std::min(samples, chunk);
        std::vector<char> first(head * unit);
        std::ifstream in(spoolPath_, std::ios::binary);
        if (!in.read(first.data(), static_cast<std::streamsize>(first.size())))
            throw CommandError("cannot read back " + spoolPath_);
        in.close();

        SigrokOutput srzip("srzip", packer_.channels(), rate_, path_.c_str(), nullptr);
        srzip.sendLogic(first.data(), head, unit);
        srzip.finish();
        if (head == samples) return;

        int error = 0;
        zip_t* archive = zip_open(path_.c_str(), 0, &error);
        if (!archive) throw CommandError("cannot reopen " + path_ + " to add the samples");
        unsigned next = nextChunk(archive);
        const std::uint64_t chunkBytes = std::uint64_t{unit} << 20;  // whole samples
        for (std::uint64_t at = head * unit; at < samples * unit; at += chunkBytes) {
            const std::uint64_t length = std::min<std::uint64_t>(chunkBytes, samples * unit - at);
            zip_source_t* source = zip_source_file(archive, spoolPath_.c_str(), at, static_cast<zip_int64_t>(length));
            const std::string name = "logic-1-" + std::to_string(next++);
            const zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, 0) : -1;
            // Deflate's fastest level: captures compress well even so, and
            // the archive is written at the pace of the disk, not of the
            // compressor.
            if (index < 0 ||
                zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1) < 0) {
                if (source && index < 0) zip_source_free(source);
                const std::string reason = zip_strerror(archive);
                zip_discard(archive);
                throw CommandError("adding samples to " + path_ + " failed: " + reason);
            }
        }
        if (zip_close(archive) < 0) {
            const std::string reason = zip_strerror(archive);
            zip_discard(archive);
            throw CommandError("writing " + path_ + " failed: " + reason);
        }
    }

    // The chunk number after the last "logic-1-N" in the archive.
    static unsigned nextChunk(zip_t* archive) {
        unsigned next = 1;
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < entries; ++i) {
            const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
            if (name && std::strncmp(name, "logic-1-", 8) == 0)
                next = std::max(next, static_cast<unsigned>(std::strtoul(name + 8, nullptr, 10)) + 1);
        }
        return next;
    }

    std::string path_;
    std::uint64_t rate_;
    std::string spoolPath_;
    OutputFile spool_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<FrameSink> openSigrokFrameSink(const SinkOptions& options) {
    if (options.samplerateHz == 0) throw CommandError("the sample rate must be at least 1 Hz");
    switch (options.format) {
    case FileFormat::Sr: return std::make_unique<SessionFileSink>(options);
    case FileFormat::Vcd: return std::make_unique<TextFrameSink>(options, "vcd");
    case FileFormat::Csv: return std::make_unique<TextFrameSink>(options, "csv");
    default: throw CommandError("not a sigrok format");
    }
}

}  // namespace sorvictl

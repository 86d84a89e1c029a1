#include "sigrok_frame_sink.h"

#include <libsigrok/libsigrok.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "command_error.h"
#include "output_file.h"

namespace sorvictl {

namespace {

// libsigrok is set up once per process. Its user devices cannot be freed
// through the public interface, so one device per channel set is made and
// kept for the life of the process.
struct SigrokLibrary {
    sr_context* context = nullptr;
    std::map<std::string, sr_dev_inst*> devices;
    std::mutex lock;
};

SigrokLibrary& library() {
    static SigrokLibrary lib;
    return lib;
}

sr_dev_inst* userDevice(const std::vector<int>& channels) {
    SigrokLibrary& lib = library();
    std::lock_guard guard(lib.lock);
    if (!lib.context) {
        sr_log_loglevel_set(SR_LOG_WARN);
        if (sr_init(&lib.context) != SR_OK) throw CommandError("libsigrok could not be initialised");
    }
    std::string key;
    for (int c : channels) key += std::to_string(c) + ",";
    auto found = lib.devices.find(key);
    if (found != lib.devices.end()) return found->second;
    sr_dev_inst* device = sr_dev_inst_user_new("SORVI", "32-channel input", nullptr);
    if (!device) throw CommandError("libsigrok could not make a device");
    for (std::size_t i = 0; i < channels.size(); ++i)
        sr_dev_inst_channel_add(device, static_cast<int>(i), SR_CHANNEL_LOGIC, std::to_string(channels[i]).c_str());
    lib.devices.emplace(key, device);
    return device;
}

const char* moduleId(FileFormat format) {
    switch (format) {
        case FileFormat::Sr: return "srzip";
        case FileFormat::Vcd: return "vcd";
        case FileFormat::Csv: return "csv";
        default: return nullptr;
    }
}

class SigrokFrameSink : public FrameSink {
public:
    explicit SigrokFrameSink(const SinkOptions& options) : path_(options.path) {
        for (int c = 1; c <= 32; ++c) channels_.push_back(c);
        if (!options.channels.empty()) {
            picked_ = options.channels != channels_;
            channels_ = options.channels;
        }
        if (options.samplerateHz == 0) throw CommandError("the sample rate must be at least 1 Hz");
        sr_dev_inst* device = userDevice(channels_);
        const sr_output_module* module = sr_output_find(const_cast<char*>(moduleId(options.format)));
        if (!module) throw CommandError(std::string("libsigrok has no output module ") + moduleId(options.format));

        // srzip writes the archive itself; the text formats hand their
        // output back, and it goes to a file of ours.
        if (options.format == FileFormat::Sr) {
            claimOutputPath(path_, options.force);
            output_ = sr_output_new(module, nullptr, device, path_.c_str());
        } else {
            file_ = std::make_unique<OutputFile>(path_, options.force);
            output_ = sr_output_new(module, nullptr, device, nullptr);
        }
        if (!output_) throw CommandError("libsigrok could not start writing " + path_);

        try {
            begin(options.samplerateHz);
        } catch (...) {
            sr_output_free(output_);
            throw;
        }
    }

    ~SigrokFrameSink() override {
        try {
            close();
        } catch (const CommandError&) {
        }
    }

    void write(const std::uint32_t* frames, std::size_t count) override {
        if (!output_) throw CommandError(path_ + " is closed");
        // Portions of at most 1 Mi frames keep the text formats' output
        // buffers bounded.
        constexpr std::size_t kPortion = 1u << 20;
        while (count > 0) {
            const std::size_t n = std::min(count, kPortion);
            const std::uint32_t* data = frames;
            if (picked_) {
                packed_.resize(n);
                for (std::size_t i = 0; i < n; ++i) {
                    std::uint32_t word = 0;
                    for (std::size_t k = 0; k < channels_.size(); ++k)
                        word |= ((frames[i] >> (channels_[k] - 1)) & 1u) << k;
                    packed_[i] = word;
                }
                data = packed_.data();
            }
            sr_datafeed_logic logic{};
            logic.unitsize = unitSize();
            if (logic.unitsize < sizeof(std::uint32_t)) {
                // Fewer channels take fewer bytes per sample: keep the low ones.
                auto* bytes = reinterpret_cast<std::uint8_t*>(packed_.data());
                for (std::size_t i = 0; i < n; ++i)
                    std::memmove(bytes + i * logic.unitsize, &packed_[i], logic.unitsize);
            }
            logic.length = n * logic.unitsize;
            logic.data = const_cast<std::uint32_t*>(data);
            send(SR_DF_LOGIC, &logic);
            written_ += n;
            frames += n;
            count -= n;
        }
    }

    void close() override {
        if (!output_) return;
        std::string failure;
        try {
            send(SR_DF_END, nullptr);
        } catch (const CommandError& e) {
            failure = e.what();
        }
        if (sr_output_free(output_) != SR_OK && failure.empty()) failure = "finishing " + path_ + " failed";
        output_ = nullptr;
        if (file_) {
            try {
                file_->close();
            } catch (const CommandError& e) {
                if (failure.empty()) failure = e.what();
            }
        }
        if (!failure.empty()) throw CommandError(failure);
    }

private:
    // Bytes per sample: 4 for all 32 channels, fewer for a short list.
    std::uint16_t unitSize() const { return static_cast<std::uint16_t>((channels_.size() + 7) / 8); }

    void begin(std::uint64_t samplerateHz) {
        sr_datafeed_header header{};
        header.feed_version = 1;
        send(SR_DF_HEADER, &header);
        sr_config rate{SR_CONF_SAMPLERATE, g_variant_ref_sink(g_variant_new_uint64(samplerateHz))};
        GSList* config = g_slist_append(nullptr, &rate);
        sr_datafeed_meta meta{config};
        try {
            send(SR_DF_META, &meta);
        } catch (...) {
            g_slist_free(config);
            g_variant_unref(rate.data);
            throw;
        }
        g_slist_free(config);
        g_variant_unref(rate.data);
    }

    void send(int type, const void* payload) {
        sr_datafeed_packet packet{};
        packet.type = static_cast<std::uint16_t>(type);
        packet.payload = payload;
        GString* text = nullptr;
        if (sr_output_send(output_, &packet, &text) != SR_OK) {
            if (text) g_string_free(text, TRUE);
            throw CommandError("writing " + path_ + " failed (libsigrok output)");
        }
        if (!text) return;
        try {
            if (file_ && text->len > 0) file_->append(text->str, text->len, text->len);
        } catch (...) {
            g_string_free(text, TRUE);
            throw;
        }
        g_string_free(text, TRUE);
    }

    std::string path_;
    std::vector<int> channels_;
    bool picked_ = false;
    std::vector<std::uint32_t> packed_;
    std::unique_ptr<OutputFile> file_;
    const sr_output* output_ = nullptr;
};

}  // namespace

std::unique_ptr<FrameSink> openSigrokFrameSink(const SinkOptions& options) {
    return std::make_unique<SigrokFrameSink>(options);
}

}  // namespace sorvictl

#include "sigrok_output.h"

#include <libsigrok/libsigrok.h>

#include <map>
#include <mutex>

#include "command_error.h"

namespace sorvictl {

namespace {

// libsigrok is set up once per process. Its user devices cannot be freed
// through the public interface, so one device per channel list is made and
// kept for the life of the process.
struct SigrokLibrary {
    sr_context* context = nullptr;
    std::map<std::vector<int>, sr_dev_inst*> devices;
    std::mutex lock;
};

sr_dev_inst* userDevice(const std::vector<int>& channels) {
    static SigrokLibrary lib;
    std::lock_guard guard(lib.lock);
    if (!lib.context) {
        sr_log_loglevel_set(SR_LOG_WARN);
        if (sr_init(&lib.context) != SR_OK) throw CommandError("libsigrok could not be initialised");
    }
    auto found = lib.devices.find(channels);
    if (found != lib.devices.end()) return found->second;
    sr_dev_inst* device = sr_dev_inst_user_new("SORVI", "32-channel input", nullptr);
    if (!device) throw CommandError("libsigrok could not make a device");
    for (std::size_t i = 0; i < channels.size(); ++i)
        sr_dev_inst_channel_add(device, static_cast<int>(i), SR_CHANNEL_LOGIC, std::to_string(channels[i]).c_str());
    lib.devices.emplace(channels, device);
    return device;
}

}  // namespace

SigrokOutput::SigrokOutput(const char* moduleId, const std::vector<int>& channels, std::uint64_t samplerateHz,
                           const char* filename, OutputFile* text)
    : name_(filename ? filename : moduleId), text_(text) {
    sr_dev_inst* device = userDevice(channels);
    const sr_output_module* module = sr_output_find(const_cast<char*>(moduleId));
    if (!module) throw CommandError(std::string("libsigrok has no output module ") + moduleId);
    output_ = sr_output_new(module, nullptr, device, filename);
    if (!output_) throw CommandError(std::string("libsigrok could not start its ") + moduleId + " output");
    try {
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
    } catch (...) {
        sr_output_free(output_);
        throw;
    }
}

SigrokOutput::~SigrokOutput() {
    if (output_) sr_output_free(output_);
}

void SigrokOutput::sendLogic(const void* samples, std::size_t count, unsigned unitSize) {
    sr_datafeed_logic logic{};
    logic.length = count * unitSize;
    logic.unitsize = static_cast<std::uint16_t>(unitSize);
    logic.data = const_cast<void*>(samples);
    send(SR_DF_LOGIC, &logic);
}

void SigrokOutput::finish() {
    if (!output_) return;
    std::string failure;
    try {
        send(SR_DF_END, nullptr);
    } catch (const CommandError& e) {
        failure = e.what();
    }
    if (sr_output_free(output_) != SR_OK && failure.empty()) failure = "finishing " + name_ + " failed (libsigrok)";
    output_ = nullptr;
    if (!failure.empty()) throw CommandError(failure);
}

void SigrokOutput::send(int type, const void* payload) {
    if (!output_) throw CommandError(name_ + " is closed");
    sr_datafeed_packet packet{};
    packet.type = static_cast<std::uint16_t>(type);
    packet.payload = payload;
    GString* text = nullptr;
    const int status = sr_output_send(output_, &packet, &text);
    std::string failure;
    if (status != SR_OK) failure = "writing " + name_ + " failed (libsigrok output)";
    if (text) {
        try {
            if (failure.empty() && text_ && text->len > 0) text_->append(text->str, text->len, text->len);
        } catch (const CommandError& e) {
            failure = e.what();
        }
        g_string_free(text, TRUE);
    }
    if (!failure.empty()) throw CommandError(failure);
}

}  // namespace sorvictl

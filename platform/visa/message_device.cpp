#include "message_device.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace visa {
namespace {

std::string normalised(std::string_view command) {
    while (!command.empty() && std::isspace(static_cast<unsigned char>(command.front()))) command.remove_prefix(1);
    while (!command.empty() && std::isspace(static_cast<unsigned char>(command.back()))) command.remove_suffix(1);
    std::string out(command);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

// Waits for an answer; none can come while this session is waiting, so this is
// the time-out. An infinite time-out would block for ever: it fails at once.
bool waitForAnswer(const ResourceSession& s, std::unique_lock<std::mutex>& lock) {
    if (!s.state->replies.empty()) return true;
    const long long wait = timeoutToWait(s.state->timeoutMs);
    if (wait > 0) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        lock.lock();
    }
    return !s.state->replies.empty();
}

// Answers waiting to be read are kept up to this many; answers to further
// queries are dropped, as a device drops them when its output queue is full.
constexpr std::size_t kMaxPendingReplies = 256;

void queueReply(const ResourceSession& s, std::string reply) {
    if (s.state->replies.size() < kMaxPendingReplies) s.state->replies.push_back(std::move(reply));
}

}  // namespace

void sendMessage(const ResourceSession& s, std::string_view message) {
    const std::string& idn = s.resource->idn;
    std::size_t start = 0;
    while (start <= message.size()) {
        const std::size_t end = message.find_first_of(";\n", start);
        const std::string command = normalised(
            message.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (command == "*IDN?" && !idn.empty()) queueReply(s, idn + "\n");
        else if (command == "*OPC?" && !idn.empty()) queueReply(s, "1\n");
        // Anything else (*RST, *CLS, unknown commands) is taken without an answer.
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

ViStatus receive(const ResourceSession& s, std::unique_lock<std::mutex>& lock, ViByte* buf, ViUInt32 count,
                 ViUInt32& got) {
    got = 0;
    if (!waitForAnswer(s, lock)) return VI_ERROR_TMO;
    std::string& message = s.state->replies.front();
    std::size_t n = std::min<std::size_t>(count, message.size());
    bool atTermChar = false;
    if (s.state->termCharEnabled) {
        const auto pos = message.find(static_cast<char>(s.state->termChar));
        if (pos != std::string::npos && pos < n) {
            n = pos + 1;
            atTermChar = true;
        }
    }
    std::memcpy(buf, message.data(), n);
    got = static_cast<ViUInt32>(n);
    message.erase(0, n);
    if (message.empty()) {
        s.state->replies.pop_front();
        return VI_SUCCESS;  // END came with the last byte
    }
    return atTermChar ? VI_SUCCESS_TERM_CHAR : VI_SUCCESS_MAX_CNT;
}

ViStatus receiveMessage(const ResourceSession& s, std::unique_lock<std::mutex>& lock, std::string& out) {
    if (!waitForAnswer(s, lock)) return VI_ERROR_TMO;
    out += s.state->replies.front();
    s.state->replies.pop_front();
    return VI_SUCCESS;
}

}  // namespace visa

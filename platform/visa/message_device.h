// The message-based side of a bench resource: what the simulated device
// answers to the commands written to it, and reading those answers back with
// VISA's rules for END, the termination character and the time-out.
#pragma once

#include <mutex>
#include <string_view>

#include "visa_sessions.h"

namespace visa {

// Hands one complete message to the device of `s`. The caller holds the
// session state's mutex.
void sendMessage(const ResourceSession& s, std::string_view message);

// Reads up to `count` bytes of the device's answer. With nothing to read it
// waits the session's time-out (with `lock` released) and gives VI_ERROR_TMO.
// Returns VI_SUCCESS at the end of a message, VI_SUCCESS_TERM_CHAR at the
// termination character (when enabled) and VI_SUCCESS_MAX_CNT when `count`
// ran out first.
ViStatus receive(const ResourceSession& s, std::unique_lock<std::mutex>& lock, ViByte* buf, ViUInt32 count,
                 ViUInt32& got);

// Waits for a whole message and appends it to `out` (for formatted reads).
ViStatus receiveMessage(const ResourceSession& s, std::unique_lock<std::mutex>& lock, std::string& out);

}  // namespace visa

#include "stop_request.h"

#include <atomic>
#include <csignal>

namespace sorvictl {

namespace {

std::atomic<bool> gStop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onStopSignal(int) { gStop.store(true); }

}  // namespace

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool stopRequested() { return gStop.load(); }
void requestStop() { gStop.store(true); }
void clearStopRequest() { gStop.store(false); }

}  // namespace sorvictl

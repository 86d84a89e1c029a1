// The status line of the main window. Driver messages appear on red
// (errors) or yellow (warnings) and stay at least until the next whole
// second of the timer has passed, so a routine update cannot wipe a failure
// the operator has not had time to read.
#include <paneltk/paneltk.h>

#include "lumex.h"
#include "t_sorvi.h"
#include "verisk_uir.h"

namespace {

constexpr double kHoldSeconds = 1.0;

void showStatus(const std::string& text, unsigned background) {
    tk::setValue(hMP, MP_ERROR_MESSAGE, text);
    tk::setAttribute(hMP, MP_ERROR_MESSAGE, tk::ATTR_TEXT_BGCOLOR, static_cast<int>(background));
}

}  // namespace

ViStatus checkErr(ViStatus status) {
    const double now = tk::timer();
    std::string text;
    if (status != VI_SUCCESS) {
        char message[LUMEX_TEXT_SIZE] = {};
        lumex_error_message(0, status, message);
        message[LUMEX_TEXT_SIZE - 1] = '\0';
        text = tk::fromCp1251(message);
    }
    if (tk::activePanel() == 0) return status;
    if (text.empty() && now - msgTime < kHoldSeconds) return status;
    showStatus(text, status < 0 ? kRed : kYellow);
    if (!text.empty()) msgTime = static_cast<std::uint32_t>(now);
    return status;
}

bool writeStatusLine(const char* text) {
    const double now = tk::timer();
    if (now - msgTime <= kHoldSeconds) return false;
    showStatus(text, kWhite);
    msgTime = static_cast<std::uint32_t>(now);
    return true;
}

// The error line of the main panel: every driver status a callback gets is
// shown there, on the panel of the instance it belongs to.
#include <paneltk/paneltk.h>

#include "callback_guard.h"
#include "data_path.h"
#include "lumex.h"
#include "sorvi_uir.h"

namespace {

constexpr int kErrorColour = 0xFF0000;
constexpr int kWarningColour = 0xFFFF00;
constexpr double kHoldSeconds = 1.0;

}  // namespace

SorviInstance* instanceOfPanel(int panel) {
    void* data = nullptr;
    if (tk::getPanelCallbackData(panel, data) < 0) return nullptr;
    return instanceFromCallbackData(data);
}

ViStatus checkError(SorviInstance& inst, ViStatus status) {
    if (status == VI_SUCCESS) return status;
    const double now = tk::timer();
    char text[LUMEX_TEXT_SIZE] = {};
    lumex_error_message(VI_NULL, status, text);
    if (!inst.panelsLoaded || inst.mainPanel == 0) return status;
    // An error stays readable for at least a second: an empty text does not
    // wipe it before then.
    const bool empty = text[0] == '\0';
    const double shownFor = now - static_cast<double>(static_cast<std::uint32_t>(inst.lastErrorTime));
    if (empty && shownFor < kHoldSeconds) return status;
    tk::setValue(inst.mainPanel, MP_ERROR_MESSAGE, tk::fromCp1251(text));
    tk::setAttribute(inst.mainPanel, MP_ERROR_MESSAGE, tk::ATTR_TEXT_BGCOLOR,
                     status < 0 ? kErrorColour : kWarningColour);
    if (!empty) inst.lastErrorTime = static_cast<std::int32_t>(now);
    return status;
}

// "OK" beside the error line: the line goes back to its default.
int errMessOk(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::resetControl(inst->mainPanel, MP_ERROR_MESSAGE);
    return 0;
}

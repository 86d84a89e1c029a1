// The self-test window: the driver's self-test (in demo mode a second's wait
// and "Демо-версия"), its result code and message.
#include <paneltk/paneltk.h>

#include "callback_guard.h"
#include "data_path.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

// "Самоконтроль".
int Selftest(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int st = inst->selfTestPanel;
    tk::displayPanel(st);
    // The test blocks for a second or more: its window, with the waiting
    // text and "Закрыть" dimmed, is on screen before it starts.
    tk::drawPendingChanges();
    ViInt16 result = 0;
    std::string message;
    if (inst->session != 0) {
        char text[LUMEX_TEXT_SIZE] = {};
        const ViStatus status = checkError(*inst, lumex_self_test(inst->session, &result, text));
        message = tk::fromCp1251(text);
        if (status < 0 && message.empty()) {
            // The test never ran (the session's record could not be had):
            // its window says why instead of showing the pass code 0.
            char why[LUMEX_TEXT_SIZE] = {};
            lumex_error_message(VI_NULL, status, why);
            message = tk::fromCp1251(why);
            const auto code = static_cast<ViInt16>(status & 0xFFFF);
            result = code != 0 ? code : static_cast<ViInt16>(100);
        }
    } else {
        tk::delay(1.0);
        message = "Демо-версия";
    }
    tk::setValue(st, ST_RESULT, static_cast<int>(result));
    tk::setValue(st, ST_MSG, message);
    tk::setAttribute(st, ST_CLOSE, tk::ATTR_DIMMED, 0);
    updatePanel(inst->mainPanel);
    return 0;
}

// "Закрыть" of the self-test window: back to its waiting state, hidden.
int CloseSelftestCallback(int panel, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    tk::setAttribute(panel, ST_CLOSE, tk::ATTR_DIMMED, 1);
    tk::resetControl(panel, ST_RESULT);
    tk::resetControl(panel, ST_MSG);
    tk::hidePanel(panel);
    return 0;
}

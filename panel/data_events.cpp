// What the display loop does with the events the interrupt handler left:
// data events fetch and show the current frame, instrument errors raise the
// error panel.
#include <paneltk/paneltk.h>

#include "callback_guard.h"
#include "data_path.h"
#include "panel_controls.h"
#include "demo_frame.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

constexpr int kEndOfAcquisition = 1;
constexpr int kPacketReady = 2;
constexpr int kFifoOverflow = -4;

const char* instrumentErrorText(int code) {
    switch (code) {
    case -1: return "ошибка ввода, тип 1";
    case -2: return "ошибка ввода, тип 2";
    case kFifoOverflow: return "переполнение FIFO";
    default: return "неопределенная ошибка инструмента";
    }
}

}  // namespace

ViStatus process_data(int mainPanel) {
    SorviInstance* inst = instanceOfPanel(mainPanel);
    if (!inst) return VI_SUCCESS;
    const int type = inst->dataPending.exchange(0);
    if (type == 0) return VI_SUCCESS;
    ViStatus status = VI_SUCCESS;
    if (inst->session != 0) {
        ViInt16 state = 0;
        status = lumex_state(inst->session, &state);
        if (status < 0) return checkError(*inst, status);
        if (type == kEndOfAcquisition && state != 0) return VI_SUCCESS;  // not ended after all
        const std::uint32_t run = inst->runNumber;
        status = checkError(*inst, outData(*inst));
        if (inst->quitRequested) return status;
        // "Запуск" was pressed while the fetch processed events: this event
        // belonged to the run before, and the new one goes on.
        if (inst->runNumber != run) return status;
    }
    if (status == VI_SUCCESS) {
        std::uint32_t frame = 0, firstTime = 0, lastTime = 0;
        const ViStatus read = readCurrentFrame(*inst, frame, firstTime, lastTime);
        if (read < 0) {
            checkError(*inst, read);
        } else {
            showRes(mainPanel, frame, firstTime, lastTime);
            if (inst->resultsShown) tk::setValue(inst->resultsPanel, RP_FIRST_TIME, firstTime);
            if (type == kPacketReady) {
                unsigned packets = 0;
                tk::getValue(mainPanel, MP_N_READ, packets);
                tk::setValue(mainPanel, MP_N_READ, packets + 1);
                if (inst->resultsShown) {
                    dim(inst->resultsPanel, RP_LAST_TIME, false);
                    tk::setValue(inst->resultsPanel, RP_LAST_TIME, lastTime);
                }
                return status;
            }
            if (inst->resultsShown) dim(inst->resultsPanel, RP_LAST_TIME, true);
        }
    }
    if (type == kEndOfAcquisition) {
        dim(mainPanel, MP_STOP, true);
        dim(mainPanel, MP_START, false);
    }
    return status;
}

void process_error(int mainPanel) {
    SorviInstance* inst = instanceOfPanel(mainPanel);
    if (!inst) return;
    const int code = inst->errorPending.exchange(0);
    if (code == 0) return;
    if (code == kFifoOverflow) tk::callCallback(mainPanel, MP_STOP, tk::EVENT_COMMIT);
    tk::setAttribute(inst->errorPanel, EP_LED, tk::ATTR_LABEL_TEXT, instrumentErrorText(code));
    tk::setValue(inst->errorPanel, EP_LED, 1);
    tk::installPopup(inst->errorPanel);
}

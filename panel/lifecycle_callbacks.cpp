// Callbacks of the instance's life: leaving (with confirmation), going back
// to the host's panel, closing the secondary windows, "О программе" and
// "Конфигурация".
#include <paneltk/paneltk.h>

#include "sorvi_plugin.h"
#include "sorvi_uir.h"

// " Выход " on the main panel: the loop asks for confirmation.
int mp_exit(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (event != tk::EVENT_COMMIT || !inst) return 0;
    inst->exitRequested = 1;
    return 0;
}

// Menu "Выход": the same.
void pexit(int, int, void* callbackData, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (inst) inst->exitRequested = 1;
}

// "ДА": the loop ends on its next turn and releases everything.
int exit_yes(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (event != tk::EVENT_COMMIT || !inst) return 0;
    inst->quitRequested = 1;
    tk::removeAllPopups();
    hideInstance(*inst);
    return 0;
}

// "НЕТ": back to work.
int exit_no(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (event != tk::EVENT_COMMIT || !inst) return 0;
    tk::removePopup(inst->exitPopup);
    return 0;
}

// "носитель": show the host's panel (the plug-in's windows stay).
int showBase(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (event != tk::EVENT_COMMIT || !inst) return 0;
    if (inst->homePanel != 0) tk::displayPanel(inst->homePanel);
    return 0;
}

// Close buttons of the secondary windows: hide the button's own panel.
int closeSp(int panel, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (event != tk::EVENT_COMMIT || !inst) return 0;
    tk::hidePanel(panel);
    if (panel == inst->chartPanel) inst->chartShown = 0;
    if (panel == inst->resultsPanel) inst->resultsShown = 0;
    return 0;
}

// Menu "О программе".
void about(int, int, void* callbackData, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (inst) tk::displayPanel(inst->aboutPanel);
}

// Menu "Конфигурация": the main panel, with the threshold to hand.
void config(int, int, void* callbackData, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (!inst) return;
    tk::displayPanel(inst->mainPanel);
    tk::setActiveControl(inst->mainPanel, MP_POROG_C);
}

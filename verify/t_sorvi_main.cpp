// Start-up, main loop, self-test command and exit of the verification
// program.
#include <paneltk/paneltk.h>

#include "chklog.h"
#include "lumex.h"
#include "si.h"
#include "t_sorvi.h"
#include "tarvo_32.h"
#include "verisk_uir.h"

int hMP = 0;
int hTP = 0;
int hST = 0;
int hEXIT = 0;
int hP4 = 0;

std::array<std::int32_t, 4> mezonin{};
ViSession carrierSession = 0;
ViSession moduleSession = 0;
std::uint16_t crateLA = 0;
std::uint16_t slot = 0;
std::uint16_t position = 0;
std::int16_t exitRequested = 0;
std::int16_t quitRequested = 0;
std::uint32_t msgTime = 0;

namespace {

constexpr double kIdleWaitSeconds = 0.1;
constexpr double kDemoSelfTestSeconds = 1.0;

int loadOne(int id) { return tk::loadPanel(0, kVeriskResource, id); }

}  // namespace

const tk::Bindings& veriskBindings() {
    static const tk::Bindings bindings{
        {"selMezonin", selMezonin}, {"Selftest", Selftest}, {"closeP", closeP},     {"mp_exit", mp_exit},
        {"exit_yes", exit_yes},     {"exit_no", exit_no},   {"chTest", chTest},     {"input", input},
        {"startMes", startMes},     {"vpOk", vpOk},         {"CancelVP", CancelVP}, {"selFName", selFName},
        {"showLog", showLog},       {"closeSp", closeSp},   {"chlpCB", chlpCB},
    };
    return bindings;
}

int loadVeriskPanels() {
    if (tk::registerResource(veriskResource()) < 0) return -1;
    if (tk::bindCallbacks(kVeriskResource, veriskBindings()) < 0) return -1;
    if ((hST = loadOne(ST)) < 0) return -1;
    if ((hEXIT = loadOne(EXIT_POPUP)) < 0) return -1;
    if ((hP4 = loadOne(P4)) < 0) return -1;
    if ((hMP = loadOne(MP)) < 0) return -1;
    // The channel field carries its own label "канал"; the same word beside it
    // would read twice.
    tk::setAttribute(hP4, P4_TEXTMSG, tk::ATTR_VISIBLE, 0);
    hTP = tk::makeTabPage(hMP, MP_CANVAS, kVeriskResource, TP, "Проверки по ТУ");
    if (hTP < 0) return -1;
    // The test time and its "wait" note belong to steps this program does not offer.
    tk::setAttribute(hTP, TP_INPUT8_1, tk::ATTR_VISIBLE, 0);
    tk::setAttribute(hTP, TP_INPUT8_2, tk::ATTR_VISIBLE, 0);
    // Only the two output-signal steps are offered: drop values 1, 2, 3 and 8.
    tk::deleteItems(hTP, TP_RING, 0, 3);
    tk::deleteItems(hTP, TP_RING, 2, 1);
    tk::setIndex(hTP, TP_RING, 0);
    chTest(hTP, TP_RING, tk::EVENT_COMMIT, nullptr, 0, 0);
    return 0;
}

void exitCalibr() {
    tk::installPopup(hEXIT);
    exitRequested = 0;
}

void runMainLoop() {
    while (!quitRequested) {
        tk::processEvents();
        if (exitRequested) exitCalibr();
        if (!quitRequested) tk::waitEvents(kIdleWaitSeconds);
    }
}

void shutDown() {
    if (moduleSession != 0) checkErr(lumex_close(moduleSession));
    moduleSession = 0;
    if (carrierSession != 0) checkErr(tarvo_close(carrierSession));
    carrierSession = 0;
    if (CurrentInstr != nullptr) CurrentInstr->carrierSession = 0;
    // Every message written so far is on disk already; close the files.
    closeAllProtocols();
    for (int* panel : {&hST, &hEXIT, &hP4, &hMP}) {
        if (*panel > 0) tk::discardPanel(*panel);
        *panel = 0;
    }
    hTP = 0;
    if (selectionDialogPanel() > 0) tk::discardPanel(selectionDialogPanel());
}

int veriskMain(int argc, char** argv) {
    if (tk::initRuntime(argc, argv) < 0) return -1;
    if (loadVeriskPanels() < 0) return -1;
    if (benchWindowHook) benchWindowHook();
    tk::onScriptExit(shutDown);  // a script's exit closes the module and files as the operator's exit does
    if (FindVISAinstruments() < 1)
        tk::messagePopup("Приборная панель носителя мезонинов",
                         "Инструмент не найден.\nПанель запускается в демо-режиме.");
    tk::displayPanel(hMP);
    CurrentInstr = SelectInstrument("Выбор инструмента");
    if (CurrentInstr != nullptr) SelMez();
    runMainLoop();
    shutDown();
    return 0;
}

int Selftest(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::resetControl(hST, ST_MSG);
    tk::setAttribute(hST, ST_CLOSE, tk::ATTR_DIMMED, 1);
    tk::displayPanel(hST);
    // The test blocks for a second or more: the operator sees the window
    // with its waiting text and "Закрыть" dimmed before it starts.
    tk::drawPendingChanges();
    ViInt16 result = 0;
    std::string message;
    if (moduleSession != 0) {
        char text[LUMEX_TEXT_SIZE] = {};
        lumex_self_test(moduleSession, &result, text);
        text[LUMEX_TEXT_SIZE - 1] = '\0';
        message = tk::fromCp1251(text);
    } else {
        tk::delay(kDemoSelfTestSeconds);
        message = "Демо режим";
    }
    tk::setValue(hST, ST_RESULT, static_cast<int>(result));
    tk::setValue(hST, ST_MSG, message);
    tk::setAttribute(hST, ST_CLOSE, tk::ATTR_DIMMED, 0);
    return 0;
}

int closeP(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::hidePanel(panel);
    return 0;
}

int mp_exit(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    exitRequested = 1;
    return 0;
}

int exit_yes(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    quitRequested = 1;
    return 0;
}

int exit_no(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::removePopup(panel);
    return 0;
}

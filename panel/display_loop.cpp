// The instance's own event loop, its exit confirmation and the teardown;
// and the places where acquisition work hooks into the loop.
#include <paneltk/paneltk.h>

#include "sorvi_plugin.h"

namespace {

// Longest wait for an event before the loop turns again, so that polling
// the module still happens often while an idle panel uses no CPU.
constexpr double kLoopWaitSeconds = 0.005;

void confirmExit(SorviInstance& inst) {
    tk::installPopup(inst.exitPopup);
    inst.exitRequested = 0;
}

}  // namespace

int runDisplayLoop(SorviInstance& inst) {
    inst.quitRequested = 0;
    while (!inst.quitRequested) {
        tk::processEvents();
        if (inst.exitRequested) confirmExit(inst);
        if (inst.quitRequested) break;
        checkState(inst.mainPanel);
        if (inst.dataPending.load() != 0) process_data(inst.mainPanel);
        if (inst.errorPending.load() != 0) process_error(inst.mainPanel);
        if (inst.quitRequested) break;
        tk::waitEvents(kLoopWaitSeconds);
    }
    const int homePanel = inst.homePanel;
    if (inst.panelsLoaded) discardInstancePanels(inst);
    releaseInstance(&inst);
    if (homePanel != 0 && tk::panelExists(homePanel)) tk::displayPanel(homePanel);
    return 0;
}

void hideInstance(SorviInstance& inst) {
    if (inst.panelsLoaded) {
        int panels[9];
        instancePanels(inst, panels);
        for (int panel : panels) tk::hidePanel(panel);
        inst.chartShown = 0;
        inst.resultsShown = 0;
    }
    if (inst.homePanel != 0 && tk::panelExists(inst.homePanel)) tk::displayPanel(inst.homePanel);
}

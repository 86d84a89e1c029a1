// The instance's own event loop, its exit confirmation and the teardown;
// and the places where acquisition work hooks into the loop.
//
// Several instances may be open, and each first sorvi_display runs its loop
// nested inside whoever called it: only the innermost loop turns. So every
// loop serves every open instance on each turn (exit confirmation, polling,
// data and error events), in the order they were opened, each on its own
// record; an instance's record is still released only when its own loop
// ends.
#include <paneltk/paneltk.h>

#include "data_path.h"
#include "instance_table.h"
#include "lumex.h"
#include "sorvi_plugin.h"

namespace {

// Longest wait for an event before the loop turns again, so that polling
// the module still happens often while an idle panel uses no CPU.
constexpr double kLoopWaitSeconds = 0.005;
// The same while no open module runs: nothing to poll, and the events a
// module raises meanwhile can wait that long. Four idle panels then cost
// next to nothing.
constexpr double kIdleWaitSeconds = 0.05;

void confirmExit(SorviInstance& inst) {
    tk::installPopup(inst.exitPopup);
    inst.exitRequested = 0;
}

// An instance asked to end (its "ДА", or the host's close) stops its module
// and hides its panels at once, whichever loop notices; only its own loop,
// when it ends, releases it. What the module acquired up to the stop still
// goes to the result file. Should the end be noticed inside a fetch of the
// instance's own (a loop nested there), the rest is fetched when its own
// loop ends.
void endWork(SorviInstance& inst) {
    if (!inst.ending) {
        inst.ending = true;
        if (inst.session != 0) lumex_stop(inst.session);
        inst.running = 0;
    }
    fetchRemainder(inst);
    hideInstance(inst);
}

void serve(SorviInstance& inst) {
    if (!inst.quitRequested && inst.exitRequested) confirmExit(inst);
    if (!inst.quitRequested) checkState(inst.mainPanel);
    if (!inst.quitRequested && inst.dataPending.load() != 0) process_data(inst.mainPanel);
    if (!inst.quitRequested && inst.errorPending.load() != 0) process_error(inst.mainPanel);
    if (inst.quitRequested) endWork(inst);
}

// True when any of them runs (or has events waiting) after its turn.
bool serveOpenInstances() {
    bool busy = false;
    for (const instances::OpenInstance& open : instances::openInOrder()) {
        // Work done for an earlier instance processes events, and a loop
        // nested there may have ended (and released) a later one.
        if (!instances::isOpen(open.instance, open.serial)) continue;
        SorviInstance& inst = *open.instance;
        if (!inst.panelsLoaded || inst.ending) continue;
        serve(inst);
        busy = busy || inst.running != 0 || inst.dataPending.load() != 0 || inst.errorPending.load() != 0;
    }
    return busy;
}

}  // namespace

int runDisplayLoop(SorviInstance& inst) {
    inst.quitRequested = 0;
    while (!inst.quitRequested) {
        tk::processEvents();
        const bool busy = serveOpenInstances();
        if (inst.quitRequested) break;
        tk::waitEvents(busy ? kLoopWaitSeconds : kIdleWaitSeconds);
    }
    endWork(inst);
    const int homePanel = inst.homePanel;
    if (inst.panelsLoaded) discardInstancePanels(inst);
    releaseInstance(&inst);
    if (homePanel != 0 && tk::panelExists(homePanel)) tk::displayPanel(homePanel);
    return 0;
}

void hideInstance(SorviInstance& inst) {
    // The chart and the list keep their flags: shown again, they go on with
    // the frames acquired meanwhile. Only their own close buttons clear them.
    if (inst.panelsLoaded) {
        int panels[9];
        instancePanels(inst, panels);
        for (int panel : panels) tk::hidePanel(panel);
    }
    if (inst.homePanel != 0 && tk::panelExists(inst.homePanel)) tk::displayPanel(inst.homePanel);
}

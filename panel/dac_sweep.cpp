// "Погрешность ЦАП": sweeps the common threshold upward through the range in
// single mode and notes, for channels 1-16, the last threshold at which each
// channel changed state. The table shows the converter's switching points.
#include <paneltk/paneltk.h>

#include <chrono>
#include <cstdio>

#include "callback_guard.h"
#include "data_path.h"
#include "panel_controls.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

constexpr double kSweepFrom = -9.99;
constexpr double kSweepTo = 10.0;
constexpr double kSweepStep = 0.01;
constexpr int kSweptChannels = 16;
// A single-mode start that has not ended by then never will.
constexpr auto kStopWait = std::chrono::microseconds(3000);

// Runs the sweep; returns when it ends for any reason.
void sweep(SorviInstance& inst) {
    const ViSession vi = inst.session;
    const int tp = inst.dacTestPanel;
    if (checkError(inst, lumex_mode_1(vi)) < 0) return;
    if (checkError(inst, lumex_input_trigger(vi, 1)) < 0) return;
    tk::resetControl(tp, TP_TABLE);
    std::uint32_t previous = 0xFFFF;  // channels 1-16 taken as 1 before the sweep
    for (double v = kSweepFrom; v < kSweepTo; v += kSweepStep) {
        if (checkError(inst, lumex_set_porog(vi, v)) < 0) return;
        if (checkError(inst, lumex_start(vi)) < 0) return;
        const auto deadline = std::chrono::steady_clock::now() + kStopWait;
        ViInt16 state = 1;
        for (;;) {
            // The clock is read before the poll, so the last poll always
            // comes after the deadline, however late this thread ran.
            const bool late = std::chrono::steady_clock::now() >= deadline;
            if (checkError(inst, lumex_state(vi, &state)) < 0) return;
            if (state == 0 || late) break;
        }
        if (state != 0) {
            tk::setValue(inst.mainPanel, MP_ERROR_MESSAGE, "мезонин не дает останова");
            return;
        }
        ViUInt32 frame = 0, firstTime = 0, lastTime = 0;
        // A frame that could not be read ends the sweep: it is not a state.
        if (checkError(inst, lumex_read_sample(vi, &frame, &firstTime, &lastTime)) < 0) return;
        if (frame != previous) {
            char volts[32];
            std::snprintf(volts, sizeof volts, "%.2f", v);
            for (int bit = 0; bit < kSweptChannels; ++bit) {
                if (((frame ^ previous) >> bit) & 1u) tk::setCell(tp, TP_TABLE, bit + 1, 1, volts);
            }
            previous = frame & 0xFFFFu;
        }
        if (frame == 0) return;
    }
}

// What each channel group had before the sweep, which sets the common
// threshold and switches every relay on.
struct GroupSettings {
    bool known = false;
    ViReal64 volts = 0;
    ViBoolean relays = 0;
};

void saveGroups(SorviInstance& inst, GroupSettings (&groups)[2]) {
    for (ViInt16 g = 1; g <= 2; ++g) {
        GroupSettings& saved = groups[g - 1];
        saved.known = lumex_set_porog_group_q(inst.session, g, &saved.volts) >= 0 &&
                      lumex_input_trigger_group_q(inst.session, g, &saved.relays) >= 0;
    }
}

// The panel's settings reach only the group MP_GROUP shows; the other group
// gets back what it had, so no threshold or relay of the sweep is left behind.
void restoreGroups(SorviInstance& inst, const GroupSettings (&groups)[2]) {
    for (ViInt16 g = 1; g <= 2; ++g) {
        const GroupSettings& saved = groups[g - 1];
        if (!saved.known) continue;
        checkError(inst, lumex_set_porog_group(inst.session, saved.volts, g));
        checkError(inst, lumex_input_trigger_group(inst.session, saved.relays, g));
    }
}

}  // namespace

int testCAP(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    const int tp = inst->dacTestPanel;
    setVisible(tp, TP_TABLE, false);
    setVisible(tp, TP_WAIT, true);
    tk::hidePanel(mp);
    tk::displayPanel(tp);
    // The sweep blocks for seconds: "ЖДИТЕ..." is on screen before it starts.
    tk::drawPendingChanges();
    updateData(mp);
    GroupSettings groups[2];
    if (inst->session != 0) {
        saveGroups(*inst, groups);
        sweep(*inst);
    } else {
        tk::resetControl(tp, TP_TABLE);
    }
    // Every way out of the sweep puts the panel's settings back, in both groups.
    updateData(mp);
    if (inst->session != 0) restoreGroups(*inst, groups);
    setVisible(tp, TP_TABLE, true);
    setVisible(tp, TP_WAIT, false);
    tk::displayPanel(mp);
    tk::displayPanel(tp);
    return 0;
}

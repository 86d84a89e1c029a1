// Starting and stopping the module, choosing the mode and the block or packet
// size, interrupts and reset; the loop's poll of a running module; and the
// two routines that copy settings between the main panel and the module.
#include <paneltk/paneltk.h>

#include <chrono>

#include "callback_guard.h"
#include "data_path.h"
#include "panel_controls.h"
#include "demo_frame.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

// How long a single-mode start may take before the module counts as stuck.
constexpr auto kSingleModeWait = std::chrono::microseconds(3000);

std::int16_t modeOnPanel(int mainPanel) {
    unsigned short mode = 0;
    tk::getValue(mainPanel, MP_MODE, mode);
    return static_cast<std::int16_t>(mode);
}

// Asks the loop to fetch once more (as on the end event), unless an event
// is waiting already.
void requestFetch(SorviInstance& inst) {
    std::int16_t none = 0;
    inst.dataPending.compare_exchange_strong(none, 1);
}

// Single mode: waits for the one poll to end and shows its frame.
void readSingleFrame(SorviInstance& inst) {
    const int mp = inst.mainPanel;
    if (inst.session != 0) {
        const auto deadline = std::chrono::steady_clock::now() + kSingleModeWait;
        ViInt16 state = 1;
        for (;;) {
            // The clock is read before the poll, so the last poll always
            // comes after the deadline, however late this thread ran.
            const bool late = std::chrono::steady_clock::now() >= deadline;
            if (checkError(inst, lumex_state(inst.session, &state)) < 0) return;
            if (state == 0 || late) break;
        }
        if (state != 0) {
            tk::messagePopup("Ошибка", "Процесс запущен");
            return;
        }
        inst.running = 0;
    }
    std::uint32_t frame = 0, firstTime = 0, lastTime = 0;
    const ViStatus status = readCurrentFrame(inst, frame, firstTime, lastTime);
    if (status >= 0) {
        tk::setValue(mp, MP_RESULT, frame & 0xFFFFu);
        tk::setValue(mp, MP_RESULT_2, frame >> 16);
    } else {
        checkError(inst, status);
    }
    dim(mp, MP_STOP, true);
    dim(mp, MP_CADR, true);
    tk::setAttribute(mp, MP_D_SHOW_RES, kDecorationAttribute, kEmphasised);
    if (inst.listFromRun) {
        tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
        inst.listFromRun = 0;
    }
}

// Block or cycle mode: the run goes on in the loop.
void prepareRunDisplays(SorviInstance& inst) {
    const int mp = inst.mainPanel;
    tk::setAttribute(mp, MP_D_SHOW_RES, kDecorationAttribute, 0);
    dim(mp, MP_CADR, false);
    dim(mp, MP_STOP, false);
    dim(mp, MP_START, true);
    tk::clearStripChart(inst.chartPanel, SP_STRIPCHART);
    inst.blockRead = 0;
    inst.totalRead = 0;
    inst.firstShown = 0;
    tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
    inst.listFromRun = 1;
    tk::resetControl(mp, MP_N_READ);
}

}  // namespace

// "Запуск".
int startP(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    inst->mode = modeOnPanel(mp);
    updateData(mp);
    discardScrollBar(*inst);
    tk::clearTextBox(inst->resultsPanel, RP_RESULTS_BOX);
    // A new run starts at the ring's start, so nothing of the last run mixes
    // into this one's windows.
    inst->writeIndex = 0;
    inst->wrapped = 0;
    inst->runLength = 0;
    resetFileRun(*inst);
    if (inst->session != 0 && checkError(*inst, lumex_start(inst->session)) < 0) return 0;
    ++inst->runNumber;
    inst->running = 1;
    if (inst->mode == kSingle) {
        readSingleFrame(*inst);
    } else {
        prepareRunDisplays(*inst);
    }
    return 0;
}

// "Останов": whatever is left is fetched on the next loop turn.
int stop(int panel, int control, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    if (inst->session != 0 && checkError(*inst, lumex_stop(inst->session)) < 0) return 0;
    dim(panel, control, true);
    dim(inst->mainPanel, MP_CADR, true);
    dim(inst->mainPanel, MP_START, false);
    if (inst->mode != kSingle) inst->dataPending.store(1);
    return 0;
}

// "Режим".
int change_mode(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    inst->mode = modeOnPanel(mp);
    if (inst->mode == kBlock) tk::setAttribute(mp, MP_B_P_SIZE, tk::ATTR_LABEL_TEXT, "Размер блока");
    if (inst->mode == kCycle) tk::setAttribute(mp, MP_B_P_SIZE, tk::ATTR_LABEL_TEXT, "Размер пакета");
    dim(mp, MP_B_P_SIZE, inst->mode == kSingle);
    tk::setAttribute(mp, MP_D_FILE_NAME, kDecorationAttribute, inst->mode == kCycle ? kEmphasised : 0);
    if (inst->session == 0) return 0;
    switch (inst->mode) {
    case kSingle:
        checkError(*inst, lumex_mode_1(inst->session));
        dim(mp, MP_GRAPH, true);
        break;
    case kBlock:
        dim(mp, MP_GRAPH, false);
        checkError(*inst, lumex_mode_block(inst->session, 0));
        break;
    case kCycle:
        dim(mp, MP_GRAPH, false);
        checkError(*inst, lumex_mode_cycle(inst->session, 0));
        break;
    default: break;
    }
    return 0;
}

// "Размер блока" / "Размер пакета".
int setSize(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    const std::int16_t mode = modeOnPanel(mp);
    unsigned size = 0;
    tk::getValue(mp, MP_B_P_SIZE, size);
    if (inst->session == 0) return 0;
    const auto samples = static_cast<ViInt32>(size);
    if (mode == kBlock) {
        checkError(*inst, lumex_mode_block(inst->session, samples));
        dim(mp, MP_B_P_SIZE, false);
    } else if (mode == kCycle) {
        // The packet size counts only once the driver took it.
        if (checkError(*inst, lumex_mode_cycle(inst->session, samples)) >= 0) inst->packetSize = samples;
        dim(mp, MP_B_P_SIZE, false);
    } else {
        dim(mp, MP_B_P_SIZE, true);
    }
    return 0;
}

// "Прерывания": data then comes on the driver's events instead of polling.
int enableInterrupt(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    int value = 0;
    tk::getValue(inst->mainPanel, MP_ENABLE_INTERRUPT, value);
    // Believing interrupts on while the module refused them would stop
    // polling and stall the run: the mask counts only once accepted.
    if (inst->session != 0 &&
        checkError(*inst, lumex_mask_interrupt(inst->session, static_cast<ViBoolean>(value != 0))) < 0) {
        return 0;
    }
    inst->interruptMask = static_cast<std::int16_t>(value != 0);
    return 0;
}

// "Сброс".
int cbReset(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    if (inst->session != 0) checkError(*inst, lumex_reset(inst->session));
    updatePanel(inst->mainPanel);
    return 0;
}

void checkState(int mainPanel) {
    SorviInstance* inst = instanceOfPanel(mainPanel);
    if (!inst || !inst->running || inst->session == 0) return;
    if (inst->mode != kBlock && inst->mode != kCycle) return;
    if (inst->interruptMask != 0 && inst->packetSize <= inst->bufferSize) return;  // events bring the data
    ViInt32 ready = 0;
    if (checkError(*inst, lumex_numReadyData(inst->session, &ready)) < 0) return;
    if (inst->mode == kBlock) ready -= inst->totalRead;
    if (ready >= kPollThreshold) {
        checkError(*inst, outData(*inst));
        return;
    }
    // A module that ended its run by itself (a block filled) leaves fewer
    // frames than a poll waits for: they are fetched as on the end event.
    if (ready > 0) {
        ViInt16 state = 1;
        if (lumex_state(inst->session, &state) >= 0 && state == 0) requestFetch(*inst);
    }
}

void updatePanel(int mainPanel) {
    SorviInstance* inst = instanceOfPanel(mainPanel);
    if (!inst) return;
    ViInt16 state = 0;
    if (inst->session != 0 && checkError(*inst, lumex_state(inst->session, &state)) < 0) return;
    if (state != 0) {
        dim(mainPanel, MP_START, true);
        dim(mainPanel, MP_STOP, false);
    } else if (inst->running) {
        tk::callCallback(mainPanel, MP_STOP, tk::EVENT_COMMIT);
    } else {
        dim(mainPanel, MP_START, false);
        dim(mainPanel, MP_STOP, true);
    }
    inst->running = state;
    if (inst->session == 0) return;

    const ViSession vi = inst->session;
    ViReal64 volts = 0;
    if (checkError(*inst, lumex_set_porog_q(vi, &volts)) >= 0) tk::setValue(mainPanel, MP_POROG_C, volts);
    // The per-group thresholds as the module holds them.
    if (lumex_set_porog_group_q(vi, 1, &volts) >= 0) tk::setValue(mainPanel, MP_POROG_1, volts);
    if (lumex_set_porog_group_q(vi, 2, &volts) >= 0) tk::setValue(mainPanel, MP_POROG_2, volts);
    ViReal64 period = 0;
    if (checkError(*inst, lumex_sample_period_q(vi, &period)) >= 0) {
        tk::setValue(mainPanel, MP_SAMPLE_PERIOD, period);
    }
    ViInt16 mode = 0;
    ViInt32 samples = 0;
    if (checkError(*inst, lumex_mode_q(vi, &mode, &samples)) >= 0) {
        tk::setValue(mainPanel, MP_MODE, static_cast<int>(mode));
        tk::setValue(mainPanel, MP_B_P_SIZE, samples);
    }
    ViInt32 memory = 0;
    if (checkError(*inst, lumex_alloc_q(vi, &memory)) >= 0) tk::setValue(mainPanel, MP_BASE_MEM, memory);
    ViBoolean relays = 0;
    if (checkError(*inst, lumex_input_trigger_q(vi, &relays)) >= 0) {
        tk::setValue(mainPanel, MP_RELE_SWITCH, static_cast<int>(relays));
    }
    ViBoolean mask = 0;
    if (checkError(*inst, lumex_mask_interrupt_q(vi, &mask)) >= 0) {
        tk::setValue(mainPanel, MP_ENABLE_INTERRUPT, static_cast<int>(mask));
    }
}

void updateData(int mainPanel) {
    static constexpr int kSettings[] = {MP_POROG_C,  MP_SAMPLE_PERIOD, MP_MODE,      MP_B_P_SIZE,
                                        MP_BASE_MEM, MP_RELE_SWITCH,   MP_START_TYPE};
    for (int control : kSettings) tk::callCallback(mainPanel, control, tk::EVENT_COMMIT);
}

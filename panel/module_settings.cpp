// The module's settings on the main panel, each applied at once through one
// driver operation: thresholds by group, sample period, memory, input relay
// and start type.
#include <paneltk/paneltk.h>

#include "callback_guard.h"
#include "data_path.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

// Ring MP_GROUP: 0 all channels, 1 channels 1-16, 2 channels 17-32.
int groupOnPanel(int mainPanel) {
    unsigned short group = 0;
    tk::getValue(mainPanel, MP_GROUP, group);
    return group;
}

}  // namespace

// Any of the three threshold controls: the group chosen in MP_GROUP decides
// where the value goes.
int change_porogC(int panel, int control, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    const int group = groupOnPanel(mp);
    double volts = 0;
    tk::getValue(panel, control, volts);
    if (group == 0) {
        if (inst->session != 0) checkError(*inst, lumex_set_porog(inst->session, volts));
        tk::setValue(mp, MP_POROG_1, volts);
        tk::setValue(mp, MP_POROG_2, volts);
    } else {
        if (inst->session != 0) {
            checkError(*inst, lumex_set_porog_group(inst->session, volts, static_cast<ViInt16>(group)));
        }
        tk::setValue(mp, group == 1 ? MP_POROG_1 : MP_POROG_2, volts);
    }
    return 0;
}

int selGroup(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (inst) updatePanel(inst->mainPanel);
    return 0;
}

// "Период опроса". The panel believes only a period the driver accepted.
int change_sampleP(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    double seconds = 0;
    tk::getValue(inst->mainPanel, MP_SAMPLE_PERIOD, seconds);
    if (inst->session != 0 && checkError(*inst, lumex_sample_period(inst->session, seconds)) < 0) return 0;
    inst->samplePeriod = seconds;
    return 0;
}

// Memory allocation in frames; only an accepted one is kept.
int change_baseMem(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    unsigned frames = 0;
    tk::getValue(inst->mainPanel, MP_BASE_MEM, frames);
    const auto value = static_cast<std::int32_t>(frames);
    if (value == inst->memorySize) return 0;
    if (inst->session != 0 && checkError(*inst, lumex_alloc(inst->session, value)) < 0) return 0;
    inst->memorySize = value;
    return 0;
}

// "Входное реле": all channels or the chosen group. Sent in demo mode too,
// where the driver answers that there is no module.
int releSwitch(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    const int mp = inst->mainPanel;
    unsigned short on = 0;
    tk::getValue(mp, MP_RELE_SWITCH, on);
    const int group = groupOnPanel(mp);
    const auto value = static_cast<ViBoolean>(on != 0);
    checkError(*inst, group == 0 ? lumex_input_trigger(inst->session, value)
                                 : lumex_input_trigger_group(inst->session, value, static_cast<ViInt16>(group)));
    return 0;
}

// "Тип запуска": individual or group start.
int setStartType(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst || inst->session == 0) return 0;
    unsigned short type = 0;
    tk::getValue(inst->mainPanel, MP_START_TYPE, type);
    checkError(*inst, lumex_config_trigger(inst->session, type));
    return 0;
}

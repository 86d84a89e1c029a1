// The four exports a host calls. Handles are checked against the open
// instances, so a stale or foreign handle gets -1 instead of a crash.
#include "sorvi.h"

#include <paneltk/paneltk.h>

#include "instance_table.h"
#include "lumex.h"
#include "sorvi_plugin.h"

namespace {

SorviInstance* openInstanceOf(sorvi_handle handle) {
    auto* inst = reinterpret_cast<SorviInstance*>(handle);
    return instances::isOpen(inst) ? inst : nullptr;
}

}  // namespace

// Only the exports are visible outside the plug-in.
#pragma GCC visibility push(default)

ViInt32 _VI_FUNC sorvi_init(ViSession carrierSession, ViInt16 mezIndex, ViBoolean idQuery, ViBoolean reset,
                            sorvi_handle* instance) {
    if (ensureRuntime() != tk::OK) return -1;
    if (!instance) {
        reportInitFailure(VI_ERROR_PARAMETER5);
        return VI_ERROR_PARAMETER5;
    }
    const int homePanel = static_cast<int>(*instance);
    *instance = 0;
    SorviInstance* inst = nullptr;
    const ViStatus status = openInstance(carrierSession, mezIndex, idQuery, reset, homePanel, inst);
    if (status < 0) {
        reportInitFailure(status);
        return status;
    }
    *instance = reinterpret_cast<sorvi_handle>(inst);
    return 0;
}

ViInt32 _VI_FUNC sorvi_display(sorvi_handle instance) {
    SorviInstance* inst = openInstanceOf(instance);
    if (!inst) return -1;
    if (inst->ending) return 0;  // asked to end: its panels stay hidden
    if (inst->panelsLoaded) {
        // Called again from inside the loop: refresh and show.
        updatePanel(inst->mainPanel);
        tk::displayPanel(inst->mainPanel);
        return 0;
    }
    const int status = loadInstancePanels(*inst);
    if (status < 0) return status;
    inst->panelsLoaded = 1;
    tk::displayPanel(inst->mainPanel);
    return runDisplayLoop(*inst);
}

ViInt32 _VI_FUNC sorvi_hide(sorvi_handle instance) {
    SorviInstance* inst = openInstanceOf(instance);
    if (!inst) return -1;
    hideInstance(*inst);
    return 0;
}

ViInt32 _VI_FUNC sorvi_close(sorvi_handle* instance) {
    if (!instance) return -1;
    SorviInstance* inst = openInstanceOf(*instance);
    if (!inst) return -1;
    if (!inst->panelsLoaded) {
        // No loop runs for it (never displayed, or its panels failed to
        // load), so none would ever release it: its module session, memory
        // and table entry go now, and the handle with them.
        releaseInstance(inst);
        *instance = 0;
        return 0;
    }
    inst->quitRequested = 1;
    return 0;
}

#pragma GCC visibility pop

// Opening an instance: the module session (or demo mode), identification on
// the carrier, memory reservation and the ring buffer; and releasing it.
#include <paneltk/paneltk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "instance_table.h"
#include "lumex.h"
#include "sorvi_plugin.h"
#include "tarvo_32.h"
#include "visa.h"

namespace {

constexpr int kRingBufferFrames = 10240;
constexpr ViUInt32 kDemoCarrierMemoryBytes = 32000000;
constexpr int kDemoCrate = 10;
constexpr int kDemoSlot = 11;
constexpr double kStartThresholdVolts = 2.0;

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// Opens the driver session on the carrier's position (the driver's two-call
// opening: it first learns the carrier's name, then its session) and
// registers the user handler.
ViStatus openModule(SorviInstance& inst, ViSession carrierSession, int mezIndex, ViBoolean idQuery, ViBoolean reset) {
    char resourceName[256] = {};
    ViStatus status = viGetAttribute(carrierSession, VI_ATTR_RSRC_NAME, resourceName);
    if (status < 0) return status;

    ViSession session = VI_NULL;
    status = lumex_init(resourceName, idQuery, reset, &session);
    if (status < 0) return status;
    status = lumex_connect(session, carrierSession, static_cast<ViInt16>(mezIndex), idQuery, reset);
    if (status < 0) {
        // A failed connection may still have left a session behind.
        if (session != VI_NULL) lumex_close(session);
        return status;
    }
    inst.session = session;
    if (status > 0) tk::messagePopup("СОРВИ", "Инициализация прошла с ошибками");

    status = lumex_set_user_ihandle(session, interrupt_handle);
    if (status < 0) return status;
    lumex_set_porog(session, kStartThresholdVolts);  // a start value only; its status does not matter
    return VI_SUCCESS;
}

// Crate, slot and the identification text of the module on its carrier.
ViStatus identify(SorviInstance& inst, ViSession carrierSession) {
    char interfaceName[256] = {};
    ViStatus status = viGetAttribute(carrierSession, VI_ATTR_INTF_INST_NAME, interfaceName);
    if (status < 0) return status;
    if (startsWith(interfaceName, "USB") || startsWith(interfaceName, "TCPIP")) {
        char resourceName[256] = {};
        status = viGetAttribute(carrierSession, VI_ATTR_RSRC_NAME, resourceName);
        if (status < 0) return status;
        inst.crate = 0;
        inst.slot = 0;
        std::snprintf(inst.title, sizeof inst.title, "%.200s, мез.№ %d", resourceName, inst.mezIndex);
        return VI_SUCCESS;
    }
    ViInt16 mainframe = 0;
    ViInt16 slot = 0;
    status = viGetAttribute(carrierSession, VI_ATTR_MAINFRAME_LA, &mainframe);
    if (status < 0) return status;
    status = viGetAttribute(carrierSession, VI_ATTR_SLOT, &slot);
    if (status < 0) return status;
    inst.crate = mainframe;
    inst.slot = slot;
    std::snprintf(inst.title, sizeof inst.title, "кр.%d, сл.%d, мез.№ %d", inst.crate, inst.slot, inst.mezIndex);
    return VI_SUCCESS;
}

// A quarter of the carrier memory, in 4-byte frames.
ViStatus reserveMemory(SorviInstance& inst, ViSession carrierSession) {
    ViUInt32 bytes = kDemoCarrierMemoryBytes;
    if (carrierSession != 0) {
        const ViStatus status = tarvo_mem_q(carrierSession, &bytes);
        if (status < 0) return status;
    }
    inst.memorySize = static_cast<std::int32_t>(bytes / 16);
    if (inst.session != 0) return lumex_alloc(inst.session, inst.memorySize);
    return VI_SUCCESS;
}

ViStatus openSteps(SorviInstance& inst, ViSession carrierSession, int mezIndex, ViBoolean idQuery, ViBoolean reset) {
    inst.mezIndex = mezIndex;
    if (carrierSession != 0) {
        const ViStatus status = openModule(inst, carrierSession, mezIndex, idQuery, reset);
        if (status < 0) return status;
        const ViStatus idStatus = identify(inst, carrierSession);
        if (idStatus < 0) return idStatus;
    } else {
        inst.crate = kDemoCrate;
        inst.slot = kDemoSlot;
    }
    inst.panelsLoaded = 0;
    inst.scrollBar = 0;

    const ViStatus status = reserveMemory(inst, carrierSession);
    if (status < 0) return status;

    inst.buffer = static_cast<ViUInt32*>(std::calloc(kRingBufferFrames, sizeof(ViUInt32)));
    if (!inst.buffer) return VI_ERROR_ALLOC;
    inst.bufferSize = kRingBufferFrames;
    inst.writeIndex = 0;
    inst.wrapped = 0;
    inst.samplePeriod = 0.001;
    inst.fileName[0] = '\0';

    // Only a complete instance enters the table, so a failed init never
    // touches the entry of another instance at the same position.
    instances::open(&inst);
    instances::put(mezIndex, inst.session, &inst);
    return VI_SUCCESS;
}

}  // namespace

int ensureRuntime() {
    if (tk::runtimeInitialised()) return tk::OK;
    static char name[] = "sorvi";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    return tk::initRuntime(argc, argv);
}

ViStatus openInstance(ViSession carrierSession, int mezIndex, ViBoolean idQuery, ViBoolean reset, int homePanel,
                      SorviInstance*& instance) {
    instance = nullptr;
    installResetPoster();
    // The table has room for positions 1..4 only.
    if (mezIndex < 1 || mezIndex >= instances::kTableEntries) return VI_ERROR_PARAMETER2;

    auto* inst = new (std::nothrow) SorviInstance{};
    if (!inst) return -1;
    inst->homePanel = homePanel;
    const ViStatus status = openSteps(*inst, carrierSession, mezIndex, idQuery, reset);
    if (status < 0) {
        releaseInstance(inst);
        return status;
    }
    instance = inst;
    return VI_SUCCESS;
}

void reportInitFailure(ViStatus status) {
    char text[LUMEX_TEXT_SIZE] = {};
    lumex_error_message(VI_NULL, status, text);
    tk::messagePopup("Ошибка инициализации", tk::fromCp1251(text));
}

void releaseInstance(SorviInstance* inst) {
    if (!inst) return;
    // Closing the session first stops the carrier's events for it; the
    // table entry goes next, under the lock the interrupt handler takes, so
    // no handler still holds the instance when it is freed.
    if (inst->session != 0) {
        // A close the carrier refused (it could not even say which record is
        // the session's) is tried once more, so the position is not held
        // for good; a second close of a session already let go is refused
        // harmlessly.
        if (lumex_close(inst->session) < 0) lumex_close(inst->session);
        inst->session = 0;
    }
    instances::close(inst);
    std::free(inst->buffer);
    inst->buffer = nullptr;
    delete inst;
}

// Events from the module: the driver's user handler, which runs on the
// carrier's event thread, and the deferred reset it posts to the
// user-interface thread. The "Прерывание" menu item feeds the same path.
#include <paneltk/paneltk.h>

#include <new>

#include "instance_table.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

constexpr int kEndOfAcquisition = 1;
constexpr int kPacketReady = 2;
constexpr int kCarrierReset = 3;

// What a deferred reset carries: the instance and the serial it had when
// the event came, so a reset that arrives after the instance ended (or
// after another one took its address) does nothing.
struct ResetRequest {
    SorviInstance* instance;
    std::uint64_t serial;
};

void runDeferredReset(void* data) {
    const ResetRequest request = *static_cast<ResetRequest*>(data);
    delete static_cast<ResetRequest*>(data);
    if (instances::isOpen(request.instance, request.serial)) resetCB(request.instance);
}

}  // namespace

void deliverEvent(SorviInstance& inst, std::uint64_t serial, int type) {
    if (type == kEndOfAcquisition || type == kPacketReady) {
        inst.dataPending.store(static_cast<std::int16_t>(type));
    } else if (type == kCarrierReset) {
        auto* request = new (std::nothrow) ResetRequest{&inst, serial};
        if (request && tk::postDeferredCall(runDeferredReset, request) != tk::OK) delete request;
    } else {
        inst.errorPending.store(static_cast<std::int16_t>(type));
    }
}

ViInt16 _VI_FUNCH interrupt_handle(ViSession session, ViInt32 type) {
    const bool found = instances::withInstanceOfSession(
        session, [type](SorviInstance& inst, std::uint64_t serial) { deliverEvent(inst, serial, type); });
    return found ? 1 : -1;
}

void resetCB(SorviInstance* inst) {
    if (inst && inst->panelsLoaded) tk::callCallback(inst->mainPanel, MP_RESET, tk::EVENT_COMMIT);
}

// Menu "Прерывание": simulates the data event of the current mode on this
// very instance (looking it up by session would be ambiguous in demo mode,
// where every instance has session 0).
void interrupt(int, int, void* callbackData, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (!inst) return;
    unsigned short mode = 0;
    if (tk::getValue(inst->mainPanel, MP_MODE, mode) < 0) return;
    if (mode == 0) return;  // single mode has no data event to simulate
    deliverEvent(*inst, 0, mode);
}

// Events on the user-interface thread: the deferred reset that a carrier
// reset posts, and the "Прерывание" menu item, which feeds the same path as
// the driver's events.
#include <paneltk/paneltk.h>

#include <new>

#include "instance_table.h"
#include "pending_events.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

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

void postReset(SorviInstance* instance, std::uint64_t serial) {
    auto* request = new (std::nothrow) ResetRequest{instance, serial};
    if (request && tk::postDeferredCall(runDeferredReset, request) != tk::OK) delete request;
}

}  // namespace

void installResetPoster() { setResetPoster(postReset); }

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

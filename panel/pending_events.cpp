#include "pending_events.h"

#include <atomic>

#include "instance_table.h"

namespace {
std::atomic<ResetPoster> resetPoster{nullptr};
}  // namespace

void setResetPoster(ResetPoster poster) { resetPoster.store(poster); }

void deliverEvent(SorviInstance& inst, std::uint64_t serial, int type) {
    if (type == kEventEndOfAcquisition || type == kEventPacketReady) {
        inst.dataPending.store(static_cast<std::int16_t>(type));
    } else if (type == kEventCarrierReset) {
        if (ResetPoster post = resetPoster.load()) post(&inst, serial);
    } else {
        inst.errorPending.store(static_cast<std::int16_t>(type));
    }
}

ViInt16 _VI_FUNCH interrupt_handle(ViSession session, ViInt32 type) {
    const bool found = instances::withInstanceOfSession(
        session, [type](SorviInstance& inst, std::uint64_t serial) { deliverEvent(inst, serial, type); });
    return found ? 1 : -1;
}

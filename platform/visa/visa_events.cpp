// Events: enabling, disabling and discarding are accepted and remembered; the
// bench raises no VISA events, so waiting for one always times out.
#include <chrono>
#include <thread>

#include "visa_sessions.h"

namespace visa {
namespace {

bool knownEvent(ViEventType type) {
    switch (type) {
    case VI_EVENT_IO_COMPLETION:
    case VI_EVENT_TRIG:
    case VI_EVENT_SERVICE_REQ:
    case VI_EVENT_CLEAR:
    case VI_EVENT_EXCEPTION:
    case VI_EVENT_GPIB_CIC:
    case VI_EVENT_GPIB_TALK:
    case VI_EVENT_GPIB_LISTEN:
    case VI_EVENT_VXI_VME_SYSFAIL:
    case VI_EVENT_VXI_VME_SYSRESET:
    case VI_EVENT_VXI_SIGP:
    case VI_EVENT_VXI_VME_INTR:
    case VI_EVENT_PXI_INTR:
    case VI_EVENT_TCPIP_CONNECT:
    case VI_EVENT_USB_INTR: return true;
    default: return false;
    }
}

bool validMechanism(ViUInt16 mechanism, bool allowAll) {
    if (allowAll && mechanism == VI_ALL_MECH) return true;
    return mechanism != 0 && (mechanism & ~(VI_QUEUE | VI_HNDLR | VI_SUSPEND_HNDLR)) == 0 &&
           !((mechanism & VI_HNDLR) && (mechanism & VI_SUSPEND_HNDLR));
}

// The checks enabling, disabling and discarding share. Disabling and
// discarding also take "every enabled event" and "every mechanism".
ViStatus eventRequest(ViSession vi, ViEventType eventType, ViUInt16 mechanism, bool orAll, ResourceSession& s) {
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    const bool allEvents = orAll && eventType == VI_ALL_ENABLED_EVENTS;
    if (!allEvents && !knownEvent(eventType)) return VI_ERROR_INV_EVENT;
    if (!validMechanism(mechanism, orAll)) return VI_ERROR_INV_MECH;
    return VI_SUCCESS;
}

}  // namespace
}  // namespace visa

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism, ViEventFilter context) {
    ResourceSession s;
    if (const ViStatus st = eventRequest(vi, eventType, mechanism, false, s); st != VI_SUCCESS) return st;
    if (context != VI_NULL) return VI_ERROR_INV_CONTEXT;
    std::lock_guard guard(s.state->mutex);
    bool already = true;
    if (mechanism & VI_QUEUE) already &= !s.state->queueEvents.insert(eventType).second;
    if (mechanism & (VI_HNDLR | VI_SUSPEND_HNDLR)) already &= !s.state->handlerEvents.insert(eventType).second;
    return already ? VI_SUCCESS_EVENT_EN : VI_SUCCESS;
}

ViStatus _VI_FUNC viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    ResourceSession s;
    if (const ViStatus st = eventRequest(vi, eventType, mechanism, true, s); st != VI_SUCCESS) return st;
    std::lock_guard guard(s.state->mutex);
    std::size_t removed = 0;
    const auto drop = [&](std::set<ViEventType>& set) {
        if (eventType == VI_ALL_ENABLED_EVENTS) {
            removed += set.size();
            set.clear();
        } else {
            removed += set.erase(eventType);
        }
    };
    if (mechanism & VI_QUEUE) drop(s.state->queueEvents);
    if (mechanism & (VI_HNDLR | VI_SUSPEND_HNDLR)) drop(s.state->handlerEvents);
    return removed ? VI_SUCCESS : VI_SUCCESS_EVENT_DIS;
}

ViStatus _VI_FUNC viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    ResourceSession s;
    if (const ViStatus st = eventRequest(vi, eventType, mechanism, true, s); st != VI_SUCCESS) return st;
    return VI_SUCCESS_QUEUE_EMPTY;
}

ViStatus _VI_FUNC viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32 timeout, ViPEventType outEventType,
                                ViPEvent outContext) {
    if (outEventType) *outEventType = 0;
    if (outContext) *outContext = VI_NULL;
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    if (inEventType != VI_ALL_ENABLED_EVENTS && !knownEvent(inEventType)) return VI_ERROR_INV_EVENT;
    {
        std::lock_guard guard(s.state->mutex);
        const bool enabled = inEventType == VI_ALL_ENABLED_EVENTS ? !s.state->queueEvents.empty()
                                                                  : s.state->queueEvents.count(inEventType) > 0;
        if (!enabled) return VI_ERROR_NENABLED;
    }
    // No event will come; an infinite wait would never end, so it fails at once.
    const long long wait = timeoutToWait(timeout);
    if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    return VI_ERROR_TMO;
}

ViStatus _VI_FUNC viInstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr) {
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    if (!knownEvent(eventType)) return VI_ERROR_INV_EVENT;
    return handler ? VI_SUCCESS : VI_ERROR_INV_HNDLR_REF;
}

ViStatus _VI_FUNC viUninstallHandler(ViSession vi, ViEventType eventType, ViHndlr, ViAddr) {
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    if (eventType != VI_ALL_ENABLED_EVENTS && !knownEvent(eventType)) return VI_ERROR_INV_EVENT;
    return VI_SUCCESS;
}

}  // extern "C"

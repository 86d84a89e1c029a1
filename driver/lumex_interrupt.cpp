// Carrier events, as the module driver sees them. The routine runs on the
// carrier's event thread, beside whatever the caller's threads are doing
// with the same session.
#include "lumex_interrupt.h"

#include "lumex_record.h"

namespace lumex {
namespace {

struct EventAction {
    ViInt32 userCode;  // passed to the user handler
    ViInt16 instrMark; // 0: data event, else the instrument-error mark
    bool resetModule;
};

EventAction classify(ViInt32 event)
{
    switch (event) {
    case -2: return {-2, -2, false};
    case -1: return {-1, -1, false};
    case 0: return {-4, -4, false};
    case 2: return {1, 0, false};
    case 4: return {2, 0, false};
    case 10: return {3, 0, true};
    default: return {-5, -5, false};
    }
}

} // namespace

ViInt16 _VI_FUNCH moduleInterrupt(ViSession vi, ViInt32 event)
{
    lumex_data* record = nullptr;
    if (enterRecord(vi, &record) < 0)
        return static_cast<ViInt16>(VI_ERROR_INV_SETUP);

    const EventAction action = classify(event);
    if (action.instrMark != 0)
        record->instrError.store(action.instrMark);
    if (action.resetModule)
        lumex_reset(vi);
    const lumex_user_handler handler = record->userHandler.load();
    // The record is not touched past this point, so the user handler may
    // even close the session.
    leaveRecord(record);

    ViInt16 handled = 1;
    if (handler != nullptr)
        handled = handler(vi, action.userCode);
    return (action.instrMark == 0 && handled != 0) ? 1 : 0;
}

} // namespace lumex

// Carrier events, as the module driver sees them. The routine runs on the
// carrier's event thread, beside whatever the caller's threads are doing
// with the same session.
#include "lumex_interrupt.h"

#include "lumex_record.h"

namespace lumex {
namespace {

struct EventAction {
    ViInt32 userCode;   // passed to the user handler
    ViInt16 instrMark;  // 0: data event, else the instrument-error mark
    bool resetModule;
};

// Carrier event numbers.
enum CarrierEvent : ViInt32 {
    kCarrierInputError2 = -2,
    kCarrierInputError1 = -1,
    kCarrierFifoOverflow = 0,
    kCarrierEndOfAcquisition = 2,
    kCarrierPacketReady = 4,
    kCarrierReset = 10,
};

// Codes the user handler gets; the negative ones are instrument errors and
// double as the mark left on the record.
enum UserCode : ViInt32 {
    kUserEndOfAcquisition = 1,
    kUserPacketReady = 2,
    kUserCarrierReset = 3,
    kUserInputError1 = -1,
    kUserInputError2 = -2,
    kUserFifoOverflow = -4,
    kUserUndefinedError = -5,
};

constexpr EventAction instrumentError(UserCode code)
{
    return {code, static_cast<ViInt16>(code), false};
}

EventAction classify(ViInt32 event)
{
    switch (event) {
    case kCarrierInputError2: return instrumentError(kUserInputError2);
    case kCarrierInputError1: return instrumentError(kUserInputError1);
    case kCarrierFifoOverflow: return instrumentError(kUserFifoOverflow);
    case kCarrierEndOfAcquisition: return {kUserEndOfAcquisition, 0, false};
    case kCarrierPacketReady: return {kUserPacketReady, 0, false};
    case kCarrierReset: return {kUserCarrierReset, 0, true};
    default: return instrumentError(kUserUndefinedError);
    }
}

}  // namespace

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

}  // namespace lumex

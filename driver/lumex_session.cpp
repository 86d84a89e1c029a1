// Opening, setting up, resetting and closing a module session; revision,
// error query and status texts.
#include <cstdint>

#include "lumex.h"
#include "lumex_interrupt.h"
#include "lumex_record.h"
#include "lumex_registers.h"
#include "lumex_status.h"
#include "tarvo_32.h"

using namespace lumex;

namespace {

constexpr ViInt32 kFirstDelay = 1440;
constexpr char kDriverRevision[] = "1.040";
constexpr char kInstrumentRevision[] = "<not available>";

// Everything lumex_init does once the session is open and the record hangs
// on it. Set-up failures are kept in initStatus and turned into a warning;
// only a wrong module type (idMismatch) and, without reset, a failed memory
// query come back as errors.
ViStatus setUpModule(ViSession vi, lumex_data& record, ViBoolean idQuery, ViBoolean reset, bool& idMismatch)
{
    idMismatch = false;
    record.initStatus.store(VI_SUCCESS);
    auto failed = [&record](ViStatus status) {
        record.initStatus.store(status);
        return static_cast<ViStatus>(LUMEX_WARN_INIT_ERRORS);
    };

    ViStatus status = VI_SUCCESS;
    if (idQuery == VI_TRUE) {
        ViUInt16 id = 0;
        if ((status = tarvo_m_in16(vi, RG_ID, &id)) < 0)
            return failed(status);
        if ((id & 0xFF) != TARVO_MODULE_TYPE_SORVI) {
            idMismatch = true;
            return VI_ERROR_FAIL_ID_QUERY;
        }
    }
    if ((status = tarvo_m_sample_width(vi, 0, 1)) < 0)
        return failed(status);
    if (reset == VI_TRUE) {
        if ((status = lumex_reset(vi)) < 0)
            return failed(status);
    } else {
        // The module keeps the 2.0 V codes written below, so the record says
        // 2.0 V too; a query then tells the truth and the next start writes
        // what the module already holds.
        setResetValues(record, kResetPorogV);
        ViInt32 samples = 0;
        if ((status = allocatedSamples(vi, &samples)) < 0)
            return status;
        record.memSamples.store(samples);
        if ((status = setControlResetBits(vi)) < 0)
            return failed(status);
    }
    if ((status = lumex_mask_interrupt(vi, VI_FALSE)) < 0)
        return failed(status);
    if ((status = tarvo_m_handler(vi, moduleInterrupt)) < 0)
        return failed(status);
    if ((status = tarvo_m_first_delay(vi, 0, kFirstDelay)) < 0)
        return failed(status);
    if ((status = writePorog(vi, 1, kResetPorogV)) < 0)
        return failed(status);
    if ((status = writePorog(vi, 2, kResetPorogV)) < 0)
        return failed(status);
    return VI_SUCCESS;
}

}  // namespace

ViStatus _VI_FUNC lumex_init(ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery, ViBoolean reset,
                             ViSession* vi)
{
    if (mezzanineNumber < 1 || mezzanineNumber > 4)
        return VI_ERROR_PARAMETER2;
    if (!isBoolean(idQuery))
        return VI_ERROR_PARAMETER3;
    if (!isBoolean(reset))
        return VI_ERROR_PARAMETER4;
    if (vi == nullptr)
        return VI_ERROR_PARAMETER5;

    lumex_data* record = createRecord();
    if (record == nullptr)
        return VI_ERROR_ALLOC;
    ViSession session = VI_NULL;
    ViStatus status = tarvo_m_init(carrierSession, mezzanineNumber, &session);
    if (status < 0) {
        releaseRecord(record);
        return status;
    }
    *vi = session;
    record->lumexTag.store(kRecordTag);

    auto abandon = [&](ViStatus failure) {
        tarvo_m_close(session);
        *vi = VI_NULL;
        releaseRecord(record);
        return failure;
    };
    status = tarvo_m_set_attribute(session, TARVO_ATTR_USER_DATA, recordAttribute(*record));
    if (status < 0)
        return abandon(status);
    if ((status = tarvo_m_set_attribute(session, TARVO_ATTR_MODULE_TYPE, TARVO_MODULE_TYPE_SORVI)) < 0)
        return abandon(status);

    bool idMismatch = false;
    status = setUpModule(session, *record, idQuery, reset, idMismatch);
    if (idMismatch) {
        tarvo_m_set_attribute(session, TARVO_ATTR_USER_DATA, 0);
        return abandon(status);
    }
    return status;
}

ViStatus _VI_FUNC lumex_init_rsrc(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* vi)
{
    if (resourceName == nullptr)
        return VI_ERROR_PARAMETER1;
    if (!isBoolean(idQuery))
        return VI_ERROR_PARAMETER2;
    if (!isBoolean(reset))
        return VI_ERROR_PARAMETER3;
    if (vi == nullptr)
        return VI_ERROR_PARAMETER4;
    *vi = VI_NULL;
    return VI_SUCCESS;
}

// Arguments of the second call, by their position in lumex_connect.
static ViStatus checkConnectArguments(ViInt16 mezzanineNumber, ViBoolean idQuery, ViBoolean reset)
{
    if (mezzanineNumber < 1 || mezzanineNumber > 4)
        return VI_ERROR_PARAMETER3;
    if (!isBoolean(idQuery))
        return VI_ERROR_PARAMETER4;
    if (!isBoolean(reset))
        return VI_ERROR_PARAMETER5;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC lumex_connect_ex(ViSession* vi, ViSession carrierSession, ViInt16 mezzanineNumber, ViBoolean idQuery,
                                   ViBoolean reset)
{
    if (vi == nullptr)
        return VI_ERROR_PARAMETER1;
    if (ViStatus status = checkConnectArguments(mezzanineNumber, idQuery, reset); status < 0)
        return status;
    return lumex_init(carrierSession, mezzanineNumber, idQuery, reset, vi);
}

// The C form, taking vi by value: it cannot hand a new session back, so it
// only re-runs the module set-up on a session that is already open. lumex.h
// declares it for C callers only, so it is marked for export here.
extern "C" __attribute__((visibility("default"))) ViStatus _VI_FUNC lumex_connect(ViSession vi,
                                                                                  ViSession /*carrierSession*/,
                                                                                  ViInt16 mezzanineNumber,
                                                                                  ViBoolean idQuery, ViBoolean reset)
{
    if (vi == VI_NULL)
        return VI_ERROR_PARAMETER1;
    if (ViStatus status = checkConnectArguments(mezzanineNumber, idQuery, reset); status < 0)
        return status;
    return withRecord(vi, [&](lumex_data& record) {
        bool idMismatch = false;
        return setUpModule(vi, record, idQuery, reset, idMismatch);
    });
}

ViStatus _VI_FUNC lumex_close(ViSession vi)
{
    lumex_data* record = nullptr;
    if (ViStatus status = enterRecord(vi, &record); status < 0)
        return status;
    tarvo_m_stop(vi, 0);
    lumex_input_trigger(vi, VI_FALSE);
    // Stop delivery and take the record off the session. Should the carrier
    // refuse both, the handle it keeps finds nothing once the record is
    // released, so a late event or a second close is turned away rather than
    // reaching freed memory or a newer session's record. Operations and
    // routines still at work on the record (another thread, an event that
    // came meanwhile) finish before it is freed.
    tarvo_m_config_event(vi, 0);
    tarvo_m_set_attribute(vi, TARVO_ATTR_USER_DATA, 0);
    releaseRecord(record, 1);
    return tarvo_m_close(vi);
}

ViStatus _VI_FUNC lumex_reset(ViSession vi)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        ViStatus status = setControlResetBits(vi);
        if (status < 0)
            return status;
        if ((status = tarvo_m_reset(vi, 0)) < 0)
            return status;
        if ((status = clearStatus(vi)) < 0)
            return status;
        setResetValues(record, 0.0);
        ViInt32 samples = 0;
        if ((status = allocatedSamples(vi, &samples)) < 0)
            return status;
        record.memSamples.store(samples);
        if ((status = writePorog(vi, 1, kResetPorogV)) < 0)
            return status;
        record.porog1.store(kResetPorogV);
        if ((status = writePorog(vi, 2, kResetPorogV)) < 0)
            return status;
        record.porog2.store(kResetPorogV);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_revision_query(ViSession /*vi*/, ViChar driverRevision[], ViChar instrumentRevision[])
{
    if (driverRevision == nullptr)
        return VI_ERROR_PARAMETER2;
    if (instrumentRevision == nullptr)
        return VI_ERROR_PARAMETER3;
    copyText(driverRevision, kDriverRevision);
    copyText(instrumentRevision, kInstrumentRevision);
    return VI_WARN_NSUP_REV_QUERY;
}

ViStatus _VI_FUNC lumex_error_query(ViSession /*vi*/, ViInt32* /*code*/, ViChar /*text*/[])
{
    return VI_WARN_NSUP_ERROR_QUERY;
}

ViStatus _VI_FUNC lumex_error_message(ViSession /*vi*/, ViStatus status, ViChar text[])
{
    if (text == nullptr)
        return VI_ERROR_PARAMETER3;
    if (const char* own = driverStatusText(status)) {
        copyText(text, own);
        return VI_SUCCESS;
    }
    // The carrier's own text, taken into a generous buffer of our own so a
    // long one is cut to fit the caller's 256 bytes rather than overflow it.
    char carrierText[4 * LUMEX_TEXT_SIZE] = {};
    if (tarvo_error_message(VI_NULL, status, carrierText) == VI_SUCCESS) {
        carrierText[sizeof carrierText - 1] = '\0';
        copyText(text, carrierText);
        return VI_SUCCESS;
    }
    copyText(text, text::unknownStatus().c_str());
    return VI_WARN_UNKNOWN_STATUS;
}

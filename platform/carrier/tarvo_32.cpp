// The carrier driver stand-in: tarvo_ functions over the simulated bench.
//
// Each function checks its arguments, finds the session and hands the work to
// the carrier model. Choices where callers leave freedom:
//  - a carrier may be opened by several sessions at once; they share the
//    carrier. tarvo_init with reset 1 resets the carrier (acquisitions
//    stopped, reservations released) only when no other session has it open;
//  - a mezzanine position is held by one session at a time; a second
//    tarvo_m_init of it returns VI_ERROR_RSRC_BUSY, an empty position
//    VI_ERROR_RSRC_NFOUND;
//  - tarvo_m_get_attribute writes a ViAttrState for TARVO_ATTR_USER_DATA and
//    a ViUInt16 for TARVO_ATTR_MODULE_TYPE;
//  - a start while the mezzanine runs begins a new run; a configured trigger
//    is kept but the bench has no trigger source, so runs start at once;
//  - tarvo_m_read_last gives in out3 the time of the first sample of the run
//    and in out4 that of the latest sample, in microseconds of bench time
//    (wrapping at 2^32);
//  - a cycle run whose FIFO is full when a sample comes raises event 0 and
//    stops; the samples already in the FIFO stay readable.
//
// Statuses: an unknown or closed session (or one of the wrong kind)
// VI_ERROR_INV_OBJECT; a carrier or module the bench has taken off the bus
// VI_ERROR_RSRC_NFOUND when opened, VI_ERROR_IO for every other call but a
// close and the session attributes (and an empty position in tarvo_m_type_q
// for a module taken away); a null output VI_ERROR_USER_BUF; a position outside
// 1..4 or a unit other than 0 VI_ERROR_PARAMETER2; an odd register offset or
// one outside the module's 32-byte window VI_ERROR_INV_OFFSET; a mode, size,
// clock (below 16 ticks, 1 us), delay, width or trigger out of range
// VI_ERROR_PARAMETER2/3 by argument position; a block read beyond the
// reservation VI_ERROR_INV_SIZE; reservations beyond the carrier memory, or a
// block or packet larger than the reservation at start, VI_ERROR_ALLOC; an
// unknown attribute VI_ERROR_NSUP_ATTR.
#include "tarvo_32.h"

#include <cstring>
#include <functional>
#include <memory>

#include "bench_simulation.h"
#include "operation_faults.h"
#include "session_registry.h"
#include "tarvo_status_text.h"
#include "visa.h"

namespace {

using bench::CarrierModel;
using bench::SessionEntry;
using bench::SessionKind;
using bench::SessionRegistry;

struct CarrierSession {
    std::shared_ptr<CarrierModel> model;
};

struct MezzanineSession {
    std::shared_ptr<CarrierModel> model;
    int position;
};

std::shared_ptr<CarrierSession> findCarrier(ViSession vi) {
    auto entry = SessionRegistry::instance().find(vi, SessionKind::Carrier);
    if (!entry || !entry->object) return nullptr;
    return std::static_pointer_cast<CarrierSession>(entry->object);
}

std::shared_ptr<MezzanineSession> findMezzanine(ViSession vi) {
    auto entry = SessionRegistry::instance().find(vi, SessionKind::Mezzanine);
    if (!entry || !entry->object) return nullptr;
    return std::static_pointer_cast<MezzanineSession>(entry->object);
}

// Runs `op` on the mezzanine session `mvi`, or says why not.
template <class Op>
ViStatus onMezzanine(const char* name, ViSession mvi, Op op) {
    if (ViStatus injected = bench::injectedFailure(name)) return injected;
    auto m = findMezzanine(mvi);
    if (!m) return VI_ERROR_INV_OBJECT;
    return op(*m->model, m->position);
}

// The same for the functions that take a unit: each works on unit 0 only.
// `op` is a lambda or a member of CarrierModel taking (position, mvi, args...).
template <class Op, class... Args>
ViStatus onUnit(const char* name, ViSession mvi, ViInt16 unit, Op op, Args&&... args) {
    return onMezzanine(name, mvi, [&](CarrierModel& c, int p) -> ViStatus {
        if (unit != 0) return VI_ERROR_PARAMETER2;
        return std::invoke(op, c, p, mvi, std::forward<Args>(args)...);
    });
}

void closeMezzanineSession(ViSession mvi) {
    auto m = findMezzanine(mvi);
    if (!m) return;
    m->model->closeMezzanine(m->position, mvi);
    SessionRegistry::instance().remove(mvi);
}

}  // namespace

extern "C" {

ViStatus _VI_FUNC tarvo_init(ViRsrc resourceName, ViBoolean idQuery, ViBoolean reset, ViSession* carrier) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!carrier) return VI_ERROR_USER_BUF;
    *carrier = VI_NULL;
    if (!resourceName) return VI_ERROR_RSRC_NFOUND;
    if (idQuery > 1) return VI_ERROR_PARAMETER2;
    if (reset > 1) return VI_ERROR_PARAMETER3;
    std::string canonical;
    auto model = bench::BenchSimulation::instance().carrier(resourceName, &canonical);
    if (!model || model->isRemoved(0)) return VI_ERROR_RSRC_NFOUND;
    if (reset && model->openCarrierSessions() == 0) model->resetCarrier();
    model->carrierSessionOpened();
    auto object = std::make_shared<CarrierSession>(CarrierSession{model});
    *carrier = SessionRegistry::instance().add(SessionEntry{SessionKind::Carrier, canonical, 0, object});
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_close(ViSession carrier) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    auto c = findCarrier(carrier);
    if (!c) return VI_ERROR_INV_OBJECT;
    for (ViSession child : SessionRegistry::instance().children(carrier)) closeMezzanineSession(child);
    if (SessionRegistry::instance().remove(carrier)) c->model->carrierSessionClosed();
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_mem_q(ViSession carrier, ViUInt32* bytes) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!bytes) return VI_ERROR_USER_BUF;
    auto c = findCarrier(carrier);
    if (!c) return VI_ERROR_INV_OBJECT;
    if (c->model->isRemoved(0)) return VI_ERROR_IO;
    *bytes = c->model->memoryBytes();
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_type_q(ViSession carrier, ViInt16 mezzanine, ViInt16* present, ViInt16* type) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!present || !type) return VI_ERROR_USER_BUF;
    auto c = findCarrier(carrier);
    if (!c) return VI_ERROR_INV_OBJECT;
    if (mezzanine < 1 || mezzanine > 4) return VI_ERROR_PARAMETER2;
    if (c->model->isRemoved(0)) return VI_ERROR_IO;
    const ViInt16 t = c->model->isRemoved(mezzanine) ? 0 : c->model->moduleType(mezzanine);
    *present = t != 0 ? 1 : 0;
    *type = t;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_error_message(ViSession, ViStatus status, ViChar text[]) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!text) return VI_ERROR_USER_BUF;
    const char* known = tarvo::statusText(status);
    if (!known) {
        text[0] = '\0';
        return VI_ERROR_PARAMETER2;
    }
    std::strncpy(text, known, 255);
    text[255] = '\0';
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_init(ViSession carrier, ViInt16 mezzanine, ViSession* mvi) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!mvi) return VI_ERROR_USER_BUF;
    *mvi = VI_NULL;
    auto c = findCarrier(carrier);
    if (!c) return VI_ERROR_INV_OBJECT;
    if (mezzanine < 1 || mezzanine > 4) return VI_ERROR_PARAMETER2;
    auto object = std::make_shared<MezzanineSession>(MezzanineSession{c->model, mezzanine});
    const ViSession handle = SessionRegistry::instance().add(
        SessionEntry{SessionKind::Mezzanine, c->model->resourceName(), carrier, object});
    const ViStatus s = c->model->openMezzanine(mezzanine, handle);
    if (s != VI_SUCCESS) {
        SessionRegistry::instance().remove(handle);
        return s;
    }
    *mvi = handle;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_close(ViSession mvi) {
    if (ViStatus injected = bench::injectedFailure(__func__)) return injected;
    if (!findMezzanine(mvi)) return VI_ERROR_INV_OBJECT;
    closeMezzanineSession(mvi);
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_set_attribute(ViSession mvi, ViAttr attribute, ViAttrState value) {
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.setAttribute(p, mvi, attribute, value); });
}

ViStatus _VI_FUNC tarvo_m_get_attribute(ViSession mvi, ViAttr attribute, void* value) {
    if (!value) return VI_ERROR_USER_BUF;
    return onMezzanine(__func__, mvi, [&](CarrierModel& c, int p) -> ViStatus {
        ViAttrState v = 0;
        const ViStatus s = c.getAttribute(p, mvi, attribute, &v);
        if (s != VI_SUCCESS) return s;
        if (attribute == TARVO_ATTR_MODULE_TYPE) *static_cast<ViUInt16*>(value) = static_cast<ViUInt16>(v);
        else *static_cast<ViAttrState*>(value) = v;
        return s;
    });
}

ViStatus _VI_FUNC tarvo_m_in16(ViSession mvi, ViUInt32 offset, ViUInt16* value) {
    if (!value) return VI_ERROR_USER_BUF;
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.in16(p, mvi, offset, value); });
}

ViStatus _VI_FUNC tarvo_m_out16(ViSession mvi, ViUInt32 offset, ViUInt16 value) {
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.out16(p, mvi, offset, value); });
}

ViStatus _VI_FUNC tarvo_m_reset(ViSession mvi, ViInt16 unit) {
    return onUnit(__func__, mvi, unit, &CarrierModel::reset);
}

ViStatus _VI_FUNC tarvo_m_start(ViSession mvi, ViInt16 unit) {
    return onUnit(__func__, mvi, unit, &CarrierModel::start);
}

ViStatus _VI_FUNC tarvo_m_stop(ViSession mvi, ViInt16 unit) { return onUnit(__func__, mvi, unit, &CarrierModel::stop); }

ViStatus _VI_FUNC tarvo_m_state(ViSession mvi, ViInt16 unit, ViInt16* state) {
    if (!state) return VI_ERROR_USER_BUF;
    return onUnit(__func__, mvi, unit, &CarrierModel::state, state);
}

ViStatus _VI_FUNC tarvo_m_mode(ViSession mvi, ViInt16 unit, ViInt16 mode) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setMode, mode);
}

ViStatus _VI_FUNC tarvo_m_trig_length(ViSession mvi, ViInt16 length) {
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.setTrigLength(p, mvi, length); });
}

ViStatus _VI_FUNC tarvo_m_block_size(ViSession mvi, ViInt16 unit, ViInt32 samples) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setBlockSize, samples);
}

ViStatus _VI_FUNC tarvo_m_packet_size(ViSession mvi, ViInt16 unit, ViInt32 samples) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setPacketSize, samples);
}

ViStatus _VI_FUNC tarvo_m_clock(ViSession mvi, ViInt16 unit, ViInt32 ticks) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setClock, ticks);
}

ViStatus _VI_FUNC tarvo_m_sample_width(ViSession mvi, ViInt16 unit, ViInt16 width) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setSampleWidth, width);
}

ViStatus _VI_FUNC tarvo_m_first_delay(ViSession mvi, ViInt16 unit, ViInt32 delay) {
    return onUnit(__func__, mvi, unit, &CarrierModel::setFirstDelay, delay);
}

ViStatus _VI_FUNC tarvo_m_alloc(ViSession mvi, ViInt16 unit, ViUInt32 bytes, ViUInt32* out) {
    return onUnit(__func__, mvi, unit, [&](CarrierModel& c, int p, ViSession) -> ViStatus {
        const ViStatus s = c.alloc(p, mvi, bytes);
        if (s == VI_SUCCESS && out) *out = 0;
        return s;
    });
}

ViStatus _VI_FUNC tarvo_m_alloc_q(ViSession mvi, ViInt16 unit, ViUInt32* bytes, ViUInt32* out) {
    if (!bytes) return VI_ERROR_USER_BUF;
    return onUnit(__func__, mvi, unit, [&](CarrierModel& c, int p, ViSession) -> ViStatus {
        const ViStatus s = c.allocQ(p, mvi, bytes);
        if (s == VI_SUCCESS && out) *out = 0;
        return s;
    });
}

ViStatus _VI_FUNC tarvo_m_handler(ViSession mvi, tarvo_m_routine routine) {
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.setRoutine(p, mvi, routine); });
}

ViStatus _VI_FUNC tarvo_m_config_event(ViSession mvi, ViInt16 on) {
    return onMezzanine(__func__, mvi, [&](CarrierModel& c, int p) -> ViStatus { return c.configEvent(p, mvi, on); });
}

ViStatus _VI_FUNC tarvo_m_config_event_q(ViSession mvi, ViInt16* a, ViInt16* b) {
    if (!a || !b) return VI_ERROR_USER_BUF;
    return onMezzanine(__func__, mvi, [&](CarrierModel& c, int p) -> ViStatus { return c.configEventQ(p, mvi, a, b); });
}

ViStatus _VI_FUNC tarvo_m_config_trigger(ViSession mvi, ViInt16 unit, ViInt32 config) {
    return onUnit(__func__, mvi, unit, &CarrierModel::configTrigger, config);
}

ViStatus _VI_FUNC tarvo_m_config_trigger_q(ViSession mvi, ViInt16 unit, ViInt16* config) {
    if (!config) return VI_ERROR_USER_BUF;
    return onUnit(__func__, mvi, unit, &CarrierModel::configTriggerQ, config);
}

ViStatus _VI_FUNC tarvo_m_howmuch_data_q(ViSession mvi, ViInt16 unit, ViInt32* count) {
    if (!count) return VI_ERROR_USER_BUF;
    return onUnit(__func__, mvi, unit, &CarrierModel::howMuchData, count);
}

ViStatus _VI_FUNC tarvo_m_read_last(ViSession mvi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4) {
    if (!sample) return VI_ERROR_USER_BUF;
    return onMezzanine(__func__, mvi,
                       [&](CarrierModel& c, int p) -> ViStatus { return c.readLast(p, mvi, sample, out3, out4); });
}

ViStatus _VI_FUNC tarvo_m_read_block(ViSession mvi, ViInt32 first, ViInt32 count, ViUInt32* buffer) {
    if (!buffer && count != 0) return VI_ERROR_USER_BUF;
    ViUInt32 none = 0;
    return onMezzanine(__func__, mvi, [&](CarrierModel& c, int p) -> ViStatus {
        return c.readBlock(p, mvi, first, count, buffer ? buffer : &none);
    });
}

ViStatus _VI_FUNC tarvo_m_read_packet(ViSession mvi, ViInt32 count, ViUInt32* buffer, ViInt32* got) {
    if (!got || (!buffer && count != 0)) return VI_ERROR_USER_BUF;
    ViUInt32 none = 0;
    return onMezzanine(__func__, mvi, [&](CarrierModel& c, int p) -> ViStatus {
        return c.readPacket(p, mvi, count, buffer ? buffer : &none, got);
    });
}

}  // extern "C"

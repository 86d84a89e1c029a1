#include "carrier_model.h"

#include <algorithm>

#include "event_dispatcher.h"
#include "sorvi_module.h"
#include "visa.h"

namespace bench {

struct CarrierModel::Position {
    std::int16_t type = 0;
    std::unique_ptr<SorviModule> module;  // set for SORVI modules; others are inert
    ViSession session = 0;
    // Settings of the session that holds the position.
    ViAttrState userData = 0;
    ViAttrState moduleTypeAttr = 0;
    MezzanineRoutine routine = nullptr;
    bool eventsOn = false;
    AcquisitionSettings settings;
    std::int16_t trigLength = 0;
    std::int16_t sampleWidth = 1;
    std::int16_t triggerConfig = 0;
    std::uint32_t reservedBytes = 0;
    std::uint32_t shortPacketLimit = 0;
    bool removed = false;  // the module is off the bus
    AcquisitionEngine engine;

    void dropSession() {
        engine.stop(0, module.get());
        engine.clear();
        session = 0;
        userData = 0;
        moduleTypeAttr = 0;
        routine = nullptr;
        eventsOn = false;
        settings = AcquisitionSettings{};
        trigLength = 0;
        sampleWidth = 1;
        triggerConfig = 0;
        reservedBytes = 0;
    }
};

namespace {
bool validPosition(int position) { return position >= 1 && position <= 4; }
}  // namespace

CarrierModel::CarrierModel(std::string resourceName, const CarrierDescription& description, const BenchClock& clock,
                           EventDispatcher& dispatcher)
    : resourceName_(std::move(resourceName)),
      memoryBytes_(description.memoryBytes),
      clock_(clock),
      dispatcher_(dispatcher) {
    for (int i = 0; i < 4; ++i) {
        auto p = std::make_unique<Position>();
        const PositionDescription& d = description.positions[i];
        p->type = d.moduleType;
        if (d.moduleType == kSorviModuleType)
            p->module = std::make_unique<SorviModule>(d.sorvi.value_or(SorviModuleDescription{}));
        positions_[i] = std::move(p);
    }
}

CarrierModel::~CarrierModel() = default;

std::int16_t CarrierModel::moduleType(int position) const {
    return validPosition(position) ? positions_[position - 1]->type : 0;
}

void CarrierModel::carrierSessionOpened() {
    std::lock_guard lock(mutex_);
    ++carrierSessions_;
}

void CarrierModel::carrierSessionClosed() {
    std::lock_guard lock(mutex_);
    if (carrierSessions_ > 0) --carrierSessions_;
}

int CarrierModel::openCarrierSessions() {
    std::lock_guard lock(mutex_);
    return carrierSessions_;
}

ViStatus CarrierModel::openMezzanine(int position, ViSession session) {
    if (!validPosition(position)) return VI_ERROR_PARAMETER2;
    std::lock_guard lock(mutex_);
    Position& p = *positions_[position - 1];
    if (p.type == 0 || p.removed || removed_) return VI_ERROR_RSRC_NFOUND;
    if (p.session != 0) return VI_ERROR_RSRC_BUSY;
    p.dropSession();
    p.session = session;
    return VI_SUCCESS;
}

void CarrierModel::closeMezzanine(int position, ViSession session) {
    if (!validPosition(position)) return;
    {
        std::lock_guard lock(mutex_);
        Position& p = *positions_[position - 1];
        if (p.session != session) return;
        p.dropSession();
    }
    dispatcher_.waitNotDelivering(session);
}

void CarrierModel::resetCarrier() {
    std::lock_guard lock(mutex_);
    for (auto& p : positions_) {
        p->engine.stop(clock_.now(), p->module.get());
        p->engine.clear();
        if (p->session == 0) p->reservedBytes = 0;
    }
}

ViStatus CarrierModel::withPosition(int position, ViSession session, const std::function<ViStatus(Position&)>& f,
                                    bool overTheBus) {
    if (!validPosition(position)) return VI_ERROR_INV_OBJECT;
    std::lock_guard lock(mutex_);
    Position& p = *positions_[position - 1];
    if (p.session == 0 || p.session != session) return VI_ERROR_INV_OBJECT;
    if (overTheBus && (removed_ || p.removed)) return VI_ERROR_IO;
    catchUpLocked(clock_.now());
    return f(p);
}

void CarrierModel::catchUpLocked(BenchNanos now) {
    struct Found {
        BenchNanos time;
        int position;
        int event;
    };
    std::vector<Found> found;
    for (int i = 0; i < 4; ++i) {
        Position& p = *positions_[i];
        if (!p.engine.running()) continue;
        std::vector<TimedEvent> events;
        p.engine.catchUp(now, p.module.get(), events);
        for (const TimedEvent& e : events) found.push_back({e.time, i + 1, e.event});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.time < b.time; });
    for (const Found& f : found) {
        const ViSession session = positions_[f.position - 1]->session;
        if (session != 0) dispatcher_.post({weak_from_this(), f.position, session, f.event});
    }
}

void CarrierModel::catchUp() {
    std::lock_guard lock(mutex_);
    catchUpLocked(clock_.now());
}

std::optional<BenchNanos> CarrierModel::nextEventTime() {
    std::lock_guard lock(mutex_);
    std::optional<BenchNanos> next;
    for (auto& p : positions_) {
        auto t = p->engine.nextEventTime();
        if (t && (!next || *t < *next)) next = t;
    }
    return next;
}

MezzanineRoutine CarrierModel::routineFor(int position, ViSession session) {
    if (!validPosition(position)) return nullptr;
    std::lock_guard lock(mutex_);
    Position& p = *positions_[position - 1];
    if (p.session == 0 || p.session != session || !p.eventsOn || p.removed || removed_) return nullptr;
    return p.routine;
}

bool CarrierModel::raiseEvent(int position, int event) {
    if (!validPosition(position)) return false;
    std::lock_guard lock(mutex_);
    catchUpLocked(clock_.now());
    const ViSession session = positions_[position - 1]->session;
    if (session == 0 || positions_[position - 1]->removed || removed_) return false;
    dispatcher_.post({weak_from_this(), position, session, event});
    return true;
}

bool CarrierModel::setRemoved(int position, bool removed) {
    if (position < 0 || position > 4) return false;
    std::lock_guard lock(mutex_);
    if (position > 0 && positions_[position - 1]->type == 0) return false;
    // What was due before it went is still taken; then its runs end.
    catchUpLocked(clock_.now());
    for (int i = 0; i < 4; ++i) {
        Position& p = *positions_[i];
        if (position != 0 && position != i + 1) continue;
        if (removed && p.engine.running()) {
            p.engine.stop(clock_.now(), p.module.get());
            p.engine.clear();
        }
        if (position != 0) p.removed = removed;
    }
    if (position == 0) removed_ = removed;
    return true;
}

bool CarrierModel::isRemoved(int position) {
    if (position < 0 || position > 4) return false;
    std::lock_guard lock(mutex_);
    return position == 0 ? removed_ : positions_[position - 1]->removed;
}

bool CarrierModel::withModule(int position, const std::function<void(SorviModule&)>& change) {
    if (!validPosition(position)) return false;
    std::lock_guard lock(mutex_);
    Position& p = *positions_[position - 1];
    if (!p.module) return false;
    catchUpLocked(clock_.now());
    change(*p.module);
    return true;
}

void CarrierModel::setShortPacketReads(int position, std::uint32_t maxSamples) {
    if (!validPosition(position)) return;
    std::lock_guard lock(mutex_);
    positions_[position - 1]->shortPacketLimit = maxSamples;
}

ViSession CarrierModel::sessionAt(int position) {
    if (!validPosition(position)) return 0;
    std::lock_guard lock(mutex_);
    return positions_[position - 1]->session;
}

PositionState CarrierModel::positionState(int position) {
    PositionState state;
    if (!validPosition(position)) return state;
    std::lock_guard lock(mutex_);
    catchUpLocked(clock_.now());
    const Position& p = *positions_[position - 1];
    state.session = p.session;
    state.running = p.engine.running();
    state.mode = p.settings.mode;
    state.ready = p.engine.readyCount();
    state.lastSample = p.engine.lastSample();
    return state;
}

ViStatus CarrierModel::setAttribute(int position, ViSession session, ViAttr attribute, ViAttrState value) {
    return withPosition(
        position, session,
        [&](Position& p) -> ViStatus {
            if (attribute == TARVO_ATTR_USER_DATA) {
                p.userData = value;
            } else if (attribute == TARVO_ATTR_MODULE_TYPE) {
                p.moduleTypeAttr = value;
            } else {
                return VI_ERROR_NSUP_ATTR;
            }
            return VI_SUCCESS;
        },
        false);
}

ViStatus CarrierModel::getAttribute(int position, ViSession session, ViAttr attribute, ViAttrState* value) {
    return withPosition(
        position, session,
        [&](Position& p) -> ViStatus {
            if (attribute == TARVO_ATTR_USER_DATA) {
                *value = p.userData;
            } else if (attribute == TARVO_ATTR_MODULE_TYPE) {
                *value = p.moduleTypeAttr;
            } else {
                return VI_ERROR_NSUP_ATTR;
            }
            return VI_SUCCESS;
        },
        false);
}

ViStatus CarrierModel::in16(int position, ViSession session, ViUInt32 offset, ViUInt16* value) {
    if (!SorviModule::isValidOffset(offset)) return VI_ERROR_INV_OFFSET;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *value = p.module ? p.module->read(offset) : 0;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::out16(int position, ViSession session, ViUInt32 offset, ViUInt16 value) {
    if (!SorviModule::isValidOffset(offset)) return VI_ERROR_INV_OFFSET;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        if (p.module) p.module->write(offset, value);
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::reset(int position, ViSession session) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.engine.stop(clock_.now(), p.module.get());
        p.engine.clear();
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::start(int position, ViSession session) {
    const ViStatus s = withPosition(position, session, [&](Position& p) -> ViStatus {
        const std::uint32_t capacity = p.reservedBytes / 4;
        const auto& st = p.settings;
        if (st.mode == AcquisitionMode::Block && static_cast<std::uint32_t>(st.blockSize) > capacity)
            return VI_ERROR_ALLOC;
        if (st.mode == AcquisitionMode::Cycle && static_cast<std::uint32_t>(st.packetSize) > capacity)
            return VI_ERROR_ALLOC;
        // A start while running begins a new run.
        const BenchNanos now = clock_.now();
        if (p.engine.running()) p.engine.stop(now, p.module.get());
        if (p.module) p.module->beginRun();
        p.engine.start(now, st, capacity);
        // A run whose first sample is due at once takes it before returning.
        catchUpLocked(now);
        return VI_SUCCESS;
    });
    if (s == VI_SUCCESS) dispatcher_.wake();
    return s;
}

ViStatus CarrierModel::stop(int position, ViSession session) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.engine.stop(clock_.now(), p.module.get());
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::state(int position, ViSession session, ViInt16* state) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *state = p.engine.running() ? 1 : 0;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setMode(int position, ViSession session, ViInt16 mode) {
    if (mode < 0 || mode > 2) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.settings.mode = static_cast<AcquisitionMode>(mode);
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setTrigLength(int position, ViSession session, ViInt16 length) {
    if (length < 0) return VI_ERROR_PARAMETER2;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.trigLength = length;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setBlockSize(int position, ViSession session, ViInt32 samples) {
    if (samples < 1) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.settings.blockSize = samples;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setPacketSize(int position, ViSession session, ViInt32 samples) {
    if (samples < 1) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.settings.packetSize = samples;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setClock(int position, ViSession session, ViInt32 ticks) {
    // The carrier samples at most once a microsecond.
    constexpr ViInt32 kShortestPeriodTicks = 16;
    if (ticks < kShortestPeriodTicks) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.settings.clockTicks = ticks;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setSampleWidth(int position, ViSession session, ViInt16 width) {
    if (width < 1 || width > 4) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.sampleWidth = width;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setFirstDelay(int position, ViSession session, ViInt32 delay) {
    if (delay < 0) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.settings.firstDelay = delay;
        return VI_SUCCESS;
    });
}

std::uint32_t CarrierModel::reservedByOthers(int position) const {
    std::uint64_t sum = 0;
    for (int i = 0; i < 4; ++i)
        if (i != position - 1) sum += positions_[i]->reservedBytes;
    return static_cast<std::uint32_t>(sum);
}

ViStatus CarrierModel::alloc(int position, ViSession session, ViUInt32 bytes) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        const std::uint64_t total = static_cast<std::uint64_t>(reservedByOthers(position)) + bytes;
        if (total > memoryBytes_) return VI_ERROR_ALLOC;
        // A running acquisition keeps the memory it started with until it ends.
        p.reservedBytes = bytes;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::allocQ(int position, ViSession session, ViUInt32* bytes) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *bytes = p.reservedBytes;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::setRoutine(int position, ViSession session, MezzanineRoutine routine) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.routine = routine;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::configEvent(int position, ViSession session, ViInt16 on) {
    if (on != 0 && on != 1) return VI_ERROR_PARAMETER2;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.eventsOn = on == 1;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::configEventQ(int position, ViSession session, ViInt16* a, ViInt16* b) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *a = p.eventsOn ? 1 : 0;
        *b = p.eventsOn ? 1 : 0;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::configTrigger(int position, ViSession session, ViInt32 config) {
    if (config < -32768 || config > 65535) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        p.triggerConfig = static_cast<std::int16_t>(static_cast<std::uint16_t>(config));
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::configTriggerQ(int position, ViSession session, ViInt16* config) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *config = p.triggerConfig;
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::howMuchData(int position, ViSession session, ViInt32* count) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *count = p.engine.readyCount();
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::readLast(int position, ViSession session, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4) {
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        *sample = p.engine.lastSample();
        if (out3) *out3 = p.engine.firstSampleMicros();
        if (out4) *out4 = p.engine.lastSampleMicros();
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::readBlock(int position, ViSession session, ViInt32 first, ViInt32 count, ViUInt32* buffer) {
    if (first < 0) return VI_ERROR_PARAMETER2;
    if (count < 0) return VI_ERROR_PARAMETER3;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        const std::uint64_t end = static_cast<std::uint64_t>(first) + static_cast<std::uint64_t>(count);
        if (end > p.reservedBytes / 4) return VI_ERROR_INV_SIZE;
        p.engine.readBlock(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(count), buffer);
        return VI_SUCCESS;
    });
}

ViStatus CarrierModel::readPacket(int position, ViSession session, ViInt32 count, ViUInt32* buffer, ViInt32* got) {
    if (count < 0) return VI_ERROR_PARAMETER2;
    return withPosition(position, session, [&](Position& p) -> ViStatus {
        std::uint32_t wanted = static_cast<std::uint32_t>(count);
        if (p.shortPacketLimit != 0 && wanted > p.shortPacketLimit) wanted = p.shortPacketLimit;
        *got = static_cast<ViInt32>(p.engine.readPacket(wanted, buffer));
        return VI_SUCCESS;
    });
}

}  // namespace bench

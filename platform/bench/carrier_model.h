// One simulated carrier: its memory, its four mezzanine positions, the
// acquisition of each position and the events it raises.
//
// Thread-safe: one lock guards the whole carrier. Events found while the lock
// is held are handed to the bench's event thread, which calls the routines
// without it.
//
// A position is opened by at most one mezzanine session at a time; the
// session's attributes, routine, event switch and memory reservation live
// with the position and are dropped when the session closes. Every operation
// names the position and the session, and fails with VI_ERROR_INV_OBJECT
// when that session no longer holds the position.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "acquisition_engine.h"
#include "bench_clock.h"
#include "bench_description.h"
#include "visatype.h"

namespace bench {

class EventDispatcher;
class SorviModule;

// The routine a mezzanine session installs for its events.
using MezzanineRoutine = ViInt16 (*)(ViSession session, ViInt32 event);

// What the bench window shows of a position: who holds it and how its
// acquisition stands, caught up to now.
struct PositionState {
    ViSession session = 0;  // 0: no session holds the position
    bool running = false;
    AcquisitionMode mode = AcquisitionMode::Single;
    std::int32_t ready = 0;        // samples in carrier memory
    std::uint32_t lastSample = 0;  // the latest frame taken
};

class CarrierModel : public std::enable_shared_from_this<CarrierModel> {
public:
    CarrierModel(std::string resourceName, const CarrierDescription& description, const BenchClock& clock,
                 EventDispatcher& dispatcher);
    ~CarrierModel();

    const std::string& resourceName() const { return resourceName_; }
    std::uint32_t memoryBytes() const { return memoryBytes_; }
    // Type of the module at position 1..4; 0 when the position is empty.
    std::int16_t moduleType(int position) const;

    // Carrier sessions open on this carrier (several may be).
    void carrierSessionOpened();
    void carrierSessionClosed();
    int openCarrierSessions();

    ViStatus openMezzanine(int position, ViSession session);
    // Stops the position's acquisition, drops the session's settings and
    // waits until no routine of the session runs (unless called from one).
    void closeMezzanine(int position, ViSession session);
    // Carrier reset: every acquisition stopped and its data dropped, the
    // reservations of positions no session holds released. Module registers
    // keep their values.
    void resetCarrier();

    // Mezzanine operations; `position` 1..4 held by `session`.
    ViStatus setAttribute(int position, ViSession session, ViAttr attribute, ViAttrState value);
    ViStatus getAttribute(int position, ViSession session, ViAttr attribute, ViAttrState* value);
    ViStatus in16(int position, ViSession session, ViUInt32 offset, ViUInt16* value);
    ViStatus out16(int position, ViSession session, ViUInt32 offset, ViUInt16 value);
    ViStatus reset(int position, ViSession session);
    ViStatus start(int position, ViSession session);
    ViStatus stop(int position, ViSession session);
    ViStatus state(int position, ViSession session, ViInt16* state);
    ViStatus setMode(int position, ViSession session, ViInt16 mode);
    ViStatus setTrigLength(int position, ViSession session, ViInt16 length);
    ViStatus setBlockSize(int position, ViSession session, ViInt32 samples);
    ViStatus setPacketSize(int position, ViSession session, ViInt32 samples);
    ViStatus setClock(int position, ViSession session, ViInt32 ticks);
    ViStatus setSampleWidth(int position, ViSession session, ViInt16 width);
    ViStatus setFirstDelay(int position, ViSession session, ViInt32 delay);
    ViStatus alloc(int position, ViSession session, ViUInt32 bytes);
    ViStatus allocQ(int position, ViSession session, ViUInt32* bytes);
    ViStatus setRoutine(int position, ViSession session, MezzanineRoutine routine);
    ViStatus configEvent(int position, ViSession session, ViInt16 on);
    ViStatus configEventQ(int position, ViSession session, ViInt16* a, ViInt16* b);
    ViStatus configTrigger(int position, ViSession session, ViInt32 config);
    ViStatus configTriggerQ(int position, ViSession session, ViInt16* config);
    ViStatus howMuchData(int position, ViSession session, ViInt32* count);
    ViStatus readLast(int position, ViSession session, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4);
    ViStatus readBlock(int position, ViSession session, ViInt32 first, ViInt32 count, ViUInt32* buffer);
    ViStatus readPacket(int position, ViSession session, ViInt32 count, ViUInt32* buffer, ViInt32* got);

    // Bench side.
    void catchUp();
    std::optional<BenchNanos> nextEventTime();
    // The routine to call for an event of `session`, or null when the session
    // no longer holds the position, has events off or has no routine.
    MezzanineRoutine routineFor(int position, ViSession session);
    // Test hooks.
    // Raises `event` for the session holding `position`; false when none does.
    bool raiseEvent(int position, int event);
    // Runs `change` on the SORVI module at `position` under the carrier lock;
    // false when there is none.
    bool withModule(int position, const std::function<void(SorviModule&)>& change);
    // Caps what one read_packet delivers (0: no cap).
    void setShortPacketReads(int position, std::uint32_t maxSamples);
    // The session holding `position`, 0 when none.
    ViSession sessionAt(int position);
    // Takes the carrier (position 0) or the module at `position` off the bus,
    // or puts it back. While off, its running acquisitions are over (their
    // data gone), no event of it arrives, new sessions are refused with
    // VI_ERROR_RSRC_NFOUND and the sessions still open fail every operation
    // with VI_ERROR_IO; they can still be closed. False for an empty
    // position or one outside 0..4.
    bool setRemoved(int position, bool removed);
    // The carrier (position 0) or the module at `position` is off the bus.
    bool isRemoved(int position);
    PositionState positionState(int position);

private:
    struct Position;
    // Locks, checks that `session` holds `position` (and, when the operation
    // goes over the bus, that the carrier and module are there), catches up,
    // then runs `f`.
    ViStatus withPosition(int position, ViSession session, const std::function<ViStatus(Position&)>& f,
                          bool overTheBus = true);
    void catchUpLocked(BenchNanos now);
    void postLocked(int position, const std::vector<TimedEvent>& events);
    std::uint32_t reservedByOthers(int position) const;

    const std::string resourceName_;
    const std::uint32_t memoryBytes_;
    const BenchClock& clock_;
    EventDispatcher& dispatcher_;
    std::mutex mutex_;
    int carrierSessions_ = 0;
    bool removed_ = false;
    std::array<std::unique_ptr<Position>, 4> positions_;
};

}  // namespace bench

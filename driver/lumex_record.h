// The per-session record of the module driver and how it is found again.
//
// The carrier's mezzanine session keeps the record's handle (a number never
// given out twice) as its user attribute; every operation fetches the handle
// and finds the record by it. A session that still carries the handle of a
// record closed long ago (its carrier refused to forget it) thus finds
// nothing, never freed memory and never another session's record. The carrier's event thread runs
// the interrupt routine while caller threads use the same record, so every
// field is atomic: no field is ever torn or raced, and no lock is held
// around a carrier call.
#ifndef LUMEX_RECORD_H
#define LUMEX_RECORD_H

#include <atomic>
#include <cstdint>

#include "lumex.h"
#include "tarvo_32.h"

namespace lumex {

// Marks a live record of this driver: the module type.
inline constexpr ViUInt16 kRecordTag = TARVO_MODULE_TYPE_SORVI;

// A ViBoolean argument holds VI_TRUE or VI_FALSE and nothing else.
inline bool isBoolean(ViBoolean value)
{
    return value == VI_FALSE || value == VI_TRUE;
}

// Values the record takes on reset.
inline constexpr double kResetPeriodS = 0.0001;
inline constexpr ViUInt32 kResetBlockSize = 1000;
inline constexpr ViUInt32 kResetCyclePacket = 1000;
inline constexpr double kResetPorogV = 2.0;

struct lumex_data {
    // What the carrier session keeps to find this record; set once.
    std::uint64_t handle = 0;
    std::atomic<ViUInt16> lumexTag{0};
    std::atomic<ViInt32> memSamples{0};
    std::atomic<lumex_user_handler> userHandler{nullptr};
    std::atomic<ViStatus> initStatus{0};
    std::atomic<double> samplePeriodS{0.0};
    std::atomic<ViUInt16> acqMode{0};
    std::atomic<ViUInt32> blockSize{0};
    std::atomic<ViUInt32> cyclePacket{0};
    std::atomic<double> porog1{0.0};
    std::atomic<double> porog2{0.0};
    std::atomic<ViUInt16> irqMask{0};
    std::atomic<ViInt16> instrError{0};
    std::atomic<ViUInt16> runFlag{0};

    // Operations and interrupt routines currently working on this record;
    // closing waits for them to finish before the record is freed.
    std::atomic<int> routinesInside{0};
};

// A new zeroed record with a handle of its own, known to the lookup until
// releaseRecord. Null when memory runs out.
lumex_data* createRecord();

// The user-attribute value that finds `record` again.
ViAttrState recordAttribute(const lumex_data& record);

// Forgets the record (lookups fail from now on), waits until no operation or
// interrupt routine still works on it (but the caller's own `ownEntries`),
// and frees it. Null is ignored.
void releaseRecord(lumex_data* record, int ownEntries = 0);

// Finds the record of a session and marks it as worked on, so that it is not
// freed until leaveRecord: VI_SUCCESS and *record set, or VI_ERROR_INV_SETUP
// when the carrier has no attribute or it finds no live record of this
// driver.
ViStatus enterRecord(ViSession vi, lumex_data** record);
void leaveRecord(lumex_data* record);

// enterRecord, then LUMEX_ERROR_INSTR_INTERRUPT (and the record left again)
// while an instrument-error event is marked on the record.
ViStatus enterUnmarkedRecord(ViSession vi, lumex_data** record);

// The lookup every operation starts with: runs operation(record) on the
// record found by lookup, or returns the lookup's error without running it.
// The record stays alive while the operation runs, even when another thread
// closes the session meanwhile.
template <typename Operation>
ViStatus withRecordFrom(ViStatus (*lookup)(ViSession, lumex_data**), ViSession vi, Operation&& operation)
{
    lumex_data* record = nullptr;
    ViStatus status = lookup(vi, &record);
    if (status < 0)
        return status;
    struct Leave {
        lumex_data* record;
        ~Leave() { leaveRecord(record); }
    } leave{record};
    return operation(*record);
}

template <typename Operation>
ViStatus withRecord(ViSession vi, Operation&& operation)
{
    return withRecordFrom(enterRecord, vi, operation);
}

// For operations refused while an instrument-error event is marked.
template <typename Operation>
ViStatus withUnmarkedRecord(ViSession vi, Operation&& operation)
{
    return withRecordFrom(enterUnmarkedRecord, vi, operation);
}

// The record fields that reset restores (thresholds set separately).
void setResetValues(lumex_data& record, double porog);

}  // namespace lumex

#endif

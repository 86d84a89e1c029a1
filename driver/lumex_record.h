// The per-session record of the module driver and how it is found again.
//
// The record hangs on the carrier's mezzanine session as its user attribute;
// every operation fetches it back from there. The carrier's event thread runs
// the interrupt routine while caller threads use the same record, so every
// field is atomic: no field is ever torn or raced, and no lock is held
// around a carrier call.
#ifndef LUMEX_RECORD_H
#define LUMEX_RECORD_H

#include <atomic>

#include "lumex.h"
#include "tarvo_32.h"

namespace lumex {

// Marks a live record of this driver: the module type.
inline constexpr ViUInt16 kRecordTag = TARVO_MODULE_TYPE_SORVI;

// Values the record takes on reset.
inline constexpr double kResetPeriodS = 0.0001;
inline constexpr ViUInt32 kResetBlockSize = 1000;
inline constexpr ViUInt32 kResetCyclePacket = 1000;
inline constexpr double kResetPorogV = 2.0;

struct lumex_data {
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

    // Interrupt routines currently working on this record; closing waits for
    // them to finish before the record is freed.
    std::atomic<int> routinesInside{0};
};

// A new zeroed record, known to the lookup until releaseRecord. Null when
// memory runs out.
lumex_data* createRecord();

// Forgets the record (lookups fail from now on), waits until no interrupt
// routine still works on it, and frees it. Null is ignored.
void releaseRecord(lumex_data* record);

// Fetches the record of a session: VI_SUCCESS and *record set, or
// VI_ERROR_INV_SETUP when the carrier has no attribute, it holds no record of
// this driver, or the tag is wrong.
ViStatus lookupRecord(ViSession vi, lumex_data** record);

// lookupRecord, then LUMEX_ERROR_INSTR_INTERRUPT while an instrument-error
// event is marked on the record.
ViStatus lookupUnmarkedRecord(ViSession vi, lumex_data** record);

// Like lookupRecord, but also marks an interrupt routine as working on the
// record; the caller must call leaveRecord afterwards.
ViStatus enterRecord(ViSession vi, lumex_data** record);
void leaveRecord(lumex_data* record);

// The lookup every operation starts with: runs operation(record) on the
// record found by lookup, or returns the lookup's error without running it.
template <typename Operation>
ViStatus withRecordFrom(ViStatus (*lookup)(ViSession, lumex_data**), ViSession vi, Operation&& operation)
{
    lumex_data* record = nullptr;
    ViStatus status = lookup(vi, &record);
    if (status < 0)
        return status;
    return operation(*record);
}

template <typename Operation>
ViStatus withRecord(ViSession vi, Operation&& operation)
{
    return withRecordFrom(lookupRecord, vi, operation);
}

// For operations refused while an instrument-error event is marked.
template <typename Operation>
ViStatus withUnmarkedRecord(ViSession vi, Operation&& operation)
{
    return withRecordFrom(lookupUnmarkedRecord, vi, operation);
}

// The record fields that reset restores (thresholds set separately).
void setResetValues(lumex_data& record, double porog);

} // namespace lumex

#endif

// Record allocation and lookup. The carrier keeps only a pointer-sized
// value for the driver; before that value is trusted as a record it must be
// one this driver created and has not freed, so a stale or foreign value can
// never be dereferenced.
#include "lumex_record.h"

#include <mutex>
#include <new>
#include <thread>
#include <unordered_set>

#include "tarvo_32.h"

namespace lumex {
namespace {

std::mutex& liveMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<lumex_data*>& liveRecords()
{
    static std::unordered_set<lumex_data*> records;
    return records;
}

// Fetches the attribute and checks the record under the live-set lock;
// when pin is set the record is marked busy before the lock is dropped.
ViStatus findRecord(ViSession vi, lumex_data** record, bool pin)
{
    ViAttrState value = 0;
    if (tarvo_m_get_attribute(vi, TARVO_ATTR_USER_DATA, &value) < 0 || value == 0)
        return VI_ERROR_INV_SETUP;
    auto* candidate = reinterpret_cast<lumex_data*>(static_cast<uintptr_t>(value));
    std::lock_guard lock(liveMutex());
    if (!liveRecords().contains(candidate) || candidate->lumexTag.load() != kRecordTag)
        return VI_ERROR_INV_SETUP;
    if (pin)
        candidate->routinesInside.fetch_add(1);
    *record = candidate;
    return VI_SUCCESS;
}

} // namespace

lumex_data* createRecord()
{
    auto* record = new (std::nothrow) lumex_data;
    if (record == nullptr)
        return nullptr;
    try {
        std::lock_guard lock(liveMutex());
        liveRecords().insert(record);
    } catch (...) {
        delete record;
        return nullptr;
    }
    return record;
}

void releaseRecord(lumex_data* record)
{
    if (record == nullptr)
        return;
    {
        std::lock_guard lock(liveMutex());
        liveRecords().erase(record);
        record->lumexTag.store(0);
    }
    // A routine that found the record before it was forgotten finishes its
    // short register work first; it never waits for us, so this ends.
    while (record->routinesInside.load() != 0)
        std::this_thread::yield();
    delete record;
}

ViStatus lookupRecord(ViSession vi, lumex_data** record)
{
    return findRecord(vi, record, false);
}

ViStatus lookupUnmarkedRecord(ViSession vi, lumex_data** record)
{
    ViStatus status = findRecord(vi, record, false);
    if (status < 0)
        return status;
    return (*record)->instrError.load() != 0 ? LUMEX_ERROR_INSTR_INTERRUPT : VI_SUCCESS;
}

ViStatus enterRecord(ViSession vi, lumex_data** record)
{
    return findRecord(vi, record, true);
}

void leaveRecord(lumex_data* record)
{
    record->routinesInside.fetch_sub(1);
}

void setResetValues(lumex_data& record, double porog)
{
    record.samplePeriodS.store(kResetPeriodS);
    record.acqMode.store(0);
    record.blockSize.store(kResetBlockSize);
    record.cyclePacket.store(kResetCyclePacket);
    record.porog1.store(porog);
    record.porog2.store(porog);
    record.irqMask.store(0);
    record.instrError.store(0);
    record.runFlag.store(0);
}

} // namespace lumex

// Record allocation and lookup. The carrier keeps only a pointer-sized
// value for the driver: the record's handle, looked up in the table of live
// records, so a stale or foreign value is never taken for a record.
#include "lumex_record.h"

#include <mutex>
#include <new>
#include <thread>
#include <unordered_map>

#include "tarvo_32.h"

namespace lumex {
namespace {

// Records by handle. Handles count up from 1 and are never reused, so an
// old handle left on a carrier session can never find a newer record.
struct LiveRecords {
    std::mutex mutex;
    std::unordered_map<std::uint64_t, lumex_data*> byHandle;
    std::uint64_t lastHandle = 0;
};

LiveRecords& live()
{
    static LiveRecords records;
    return records;
}

}  // namespace

lumex_data* createRecord()
{
    auto* record = new (std::nothrow) lumex_data;
    if (record == nullptr)
        return nullptr;
    try {
        LiveRecords& l = live();
        std::lock_guard lock(l.mutex);
        record->handle = ++l.lastHandle;
        l.byHandle.emplace(record->handle, record);
    } catch (...) {
        delete record;
        return nullptr;
    }
    return record;
}

ViAttrState recordAttribute(const lumex_data& record)
{
    return static_cast<ViAttrState>(record.handle);
}

void releaseRecord(lumex_data* record, int ownEntries)
{
    if (record == nullptr)
        return;
    {
        LiveRecords& l = live();
        std::lock_guard lock(l.mutex);
        l.byHandle.erase(record->handle);
        record->lumexTag.store(0);
    }
    // An operation or routine that found the record before it was forgotten
    // finishes first; none of them waits for us, so this ends.
    while (record->routinesInside.load() != ownEntries)
        std::this_thread::yield();
    delete record;
}

ViStatus enterRecord(ViSession vi, lumex_data** record)
{
    ViAttrState value = 0;
    if (tarvo_m_get_attribute(vi, TARVO_ATTR_USER_DATA, &value) < 0 || value == 0)
        return VI_ERROR_INV_SETUP;
    LiveRecords& l = live();
    std::lock_guard lock(l.mutex);
    const auto found = l.byHandle.find(static_cast<std::uint64_t>(value));
    if (found == l.byHandle.end() || found->second->lumexTag.load() != kRecordTag)
        return VI_ERROR_INV_SETUP;
    found->second->routinesInside.fetch_add(1);
    *record = found->second;
    return VI_SUCCESS;
}

void leaveRecord(lumex_data* record)
{
    record->routinesInside.fetch_sub(1);
}

ViStatus enterUnmarkedRecord(ViSession vi, lumex_data** record)
{
    ViStatus status = enterRecord(vi, record);
    if (status < 0)
        return status;
    if ((*record)->instrError.load() != 0) {
        leaveRecord(*record);
        return LUMEX_ERROR_INSTR_INTERRUPT;
    }
    return VI_SUCCESS;
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

}  // namespace lumex

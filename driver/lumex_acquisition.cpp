// Carrier memory, start, stop, state and the three ways of reading data.
#include "lumex.h"
#include "lumex_record.h"
#include "lumex_registers.h"
#include "tarvo_32.h"

using namespace lumex;

namespace {

// The largest sample count whose size in bytes still fits 32 bits.
constexpr ViInt32 kMaxSamples = 0x3FFFFFFF;

} // namespace

ViStatus _VI_FUNC lumex_alloc(ViSession vi, ViInt32 samples)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupRecord(vi, &record);
    if (status < 0)
        return status;
    if (samples < 0 || samples > kMaxSamples)
        return VI_ERROR_PARAMETER2;
    ViUInt32 ignored = 0;
    status = tarvo_m_alloc(vi, 0, static_cast<ViUInt32>(samples) * 4u, &ignored);
    if (status >= 0)
        record->memSamples.store(samples);
    return status;
}

ViStatus _VI_FUNC lumex_alloc_q(ViSession vi, ViInt32* samples)
{
    if (samples == nullptr)
        return VI_ERROR_PARAMETER2;
    ViUInt32 bytes = 0;
    ViUInt32 ignored = 0;
    ViStatus status = tarvo_m_alloc_q(vi, 0, &bytes, &ignored);
    if (status >= 0)
        *samples = static_cast<ViInt32>(bytes / 4u);
    return status;
}

ViStatus _VI_FUNC lumex_start(ViSession vi)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupUnmarkedRecord(vi, &record);
    if (status < 0)
        return status;
    if ((status = refuseWhileRunning(vi, record)) < 0)
        return status;
    if (record->memSamples.load() == 0)
        return LUMEX_ERROR_NO_CARRIER_MEMORY;

    const ViUInt16 mode = record->acqMode.load();
    ViUInt16 period = 0;
    if ((status = tarvo_m_in16(vi, RG_PERIOD, &period)) < 0)
        return status;
    period = static_cast<ViUInt16>(mode == 0 ? (period | kSingleModeBit) : (period & ~kSingleModeBit));
    if ((status = tarvo_m_out16(vi, RG_PERIOD, period)) < 0)
        return status;

    if ((status = tarvo_m_mode(vi, 0, static_cast<ViInt16>(mode))) < 0)
        return status;
    if ((status = tarvo_m_trig_length(vi, mode == 0 ? 0 : 1)) < 0)
        return status;
    if (mode == 1)
        status = tarvo_m_block_size(vi, 0, static_cast<ViInt32>(record->blockSize.load()));
    else if (mode == 2)
        status = tarvo_m_packet_size(vi, 0, static_cast<ViInt32>(record->cyclePacket.load()));
    if (status < 0)
        return status;

    if ((status = writePorog(vi, 1, record->porog1.load())) < 0)
        return status;
    if ((status = writePorog(vi, 2, record->porog2.load())) < 0)
        return status;
    if ((status = writePeriod(vi, record->samplePeriodS.load())) < 0)
        return status;
    if (record->irqMask.load() == 1 && (status = tarvo_m_config_event(vi, 1)) < 0)
        return status;
    return startProcess(vi);
}

ViStatus _VI_FUNC lumex_stop(ViSession vi)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupRecord(vi, &record);
    if (status < 0)
        return status;
    status = tarvo_m_stop(vi, 0);
    if (status >= 0)
        record->runFlag.store(0);
    return status;
}

ViStatus _VI_FUNC lumex_state(ViSession vi, ViInt16* state)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupRecord(vi, &record);
    if (status < 0)
        return status;
    if (state == nullptr)
        return VI_ERROR_PARAMETER2;
    status = tarvo_m_state(vi, 0, state);
    if (status >= 0)
        record->runFlag.store(static_cast<ViUInt16>(*state));
    return status;
}

ViStatus _VI_FUNC lumex_numReadyData(ViSession vi, ViInt32* count)
{
    if (count == nullptr)
        return VI_ERROR_PARAMETER2;
    return tarvo_m_howmuch_data_q(vi, 0, count);
}

ViStatus _VI_FUNC lumex_read_sample(ViSession vi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupUnmarkedRecord(vi, &record);
    if (status < 0)
        return status;
    if (record->runFlag.load() == 1 && record->acqMode.load() == 0) {
        // A single-sample start must have finished its poll.
        ViInt16 state = 0;
        if ((status = lumex_state(vi, &state)) < 0)
            return status;
        ViUInt16 moduleState = 0;
        if ((status = tarvo_m_in16(vi, RG_STATE, &moduleState)) < 0)
            return status;
        if ((moduleState & kPollDoneBit) == 0)
            return LUMEX_ERROR_NO_POLL_ACK;
    }
    ViUInt32 value = 0;
    status = tarvo_m_read_last(vi, &value, out3, out4);
    if (status >= 0 && sample != nullptr)
        *sample = value;
    return status;
}

ViStatus _VI_FUNC lumex_read_block(ViSession vi, ViInt32 first, ViInt32 count, ViUInt32* buffer)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupUnmarkedRecord(vi, &record);
    if (status < 0)
        return status;
    if (first < 0)
        return VI_ERROR_PARAMETER2;
    if (count < 0)
        return VI_ERROR_PARAMETER3;
    if (buffer == nullptr)
        return VI_ERROR_PARAMETER4;
    return tarvo_m_read_block(vi, first, count, buffer);
}

ViStatus _VI_FUNC lumex_read_packet(ViSession vi, ViInt32 count, ViUInt32* buffer, ViInt32* got)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupUnmarkedRecord(vi, &record);
    if (status < 0)
        return status;
    if (count < 0)
        return VI_ERROR_PARAMETER2;
    if (buffer == nullptr)
        return VI_ERROR_PARAMETER3;
    if (got == nullptr)
        return VI_ERROR_PARAMETER4;
    return tarvo_m_read_packet(vi, count, buffer, got);
}

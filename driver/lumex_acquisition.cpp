// Carrier memory, start, stop, state and the three ways of reading data.
#include "lumex.h"
#include "lumex_record.h"
#include "lumex_registers.h"
#include "tarvo_32.h"

using namespace lumex;

namespace {

// The largest sample count whose size in bytes still fits 32 bits.
constexpr ViInt32 kMaxSamples = 0x3FFFFFFF;

}  // namespace

ViStatus _VI_FUNC lumex_alloc(ViSession vi, ViInt32 samples)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (samples < 0 || samples > kMaxSamples)
            return VI_ERROR_PARAMETER2;
        ViUInt32 ignored = 0;
        ViStatus status = tarvo_m_alloc(vi, 0, static_cast<ViUInt32>(samples) * 4u, &ignored);
        if (status >= 0)
            record.memSamples.store(samples);
        return status;
    });
}

ViStatus _VI_FUNC lumex_alloc_q(ViSession vi, ViInt32* samples)
{
    if (samples == nullptr)
        return VI_ERROR_PARAMETER2;
    return allocatedSamples(vi, samples);
}

// Everything lumex_start writes before the carrier starts.
static ViStatus writeRunSettings(ViSession vi, const lumex_data& record)
{
    const ViUInt16 mode = record.acqMode.load();
    ViUInt16 period = 0;
    ViStatus status = tarvo_m_in16(vi, RG_PERIOD, &period);
    if (status < 0)
        return status;
    period = static_cast<ViUInt16>(mode == 0 ? (period | kSingleModeBit) : (period & ~kSingleModeBit));
    if ((status = tarvo_m_out16(vi, RG_PERIOD, period)) < 0)
        return status;

    if ((status = tarvo_m_mode(vi, 0, static_cast<ViInt16>(mode))) < 0)
        return status;
    if ((status = tarvo_m_trig_length(vi, mode == 0 ? 0 : 1)) < 0)
        return status;
    if (mode == 1)
        status = tarvo_m_block_size(vi, 0, static_cast<ViInt32>(record.blockSize.load()));
    else if (mode == 2)
        status = tarvo_m_packet_size(vi, 0, static_cast<ViInt32>(record.cyclePacket.load()));
    if (status < 0)
        return status;

    if ((status = writePorog(vi, 1, record.porog1.load())) < 0)
        return status;
    if ((status = writePorog(vi, 2, record.porog2.load())) < 0)
        return status;
    if ((status = writePeriod(vi, record.samplePeriodS.load())) < 0)
        return status;
    if (record.irqMask.load() == 1 && (status = tarvo_m_config_event(vi, 1)) < 0)
        return status;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC lumex_start(ViSession vi)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        ViStatus status = refuseWhileRunning(vi, &record);
        if (status < 0)
            return status;
        if (record.memSamples.load() == 0)
            return LUMEX_ERROR_NO_CARRIER_MEMORY;
        if ((status = writeRunSettings(vi, record)) < 0)
            return status;
        return startProcess(vi);
    });
}

ViStatus _VI_FUNC lumex_stop(ViSession vi)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        ViStatus status = tarvo_m_stop(vi, 0);
        if (status >= 0)
            record.runFlag.store(0);
        return status;
    });
}

ViStatus _VI_FUNC lumex_state(ViSession vi, ViInt16* state)
{
    return readRunState(vi, state);
}

ViStatus _VI_FUNC lumex_numReadyData(ViSession vi, ViInt32* count)
{
    if (count == nullptr)
        return VI_ERROR_PARAMETER2;
    return tarvo_m_howmuch_data_q(vi, 0, count);
}

ViStatus _VI_FUNC lumex_read_sample(ViSession vi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4)
{
    return readSample(vi, sample, out3, out4);
}

ViStatus _VI_FUNC lumex_read_block(ViSession vi, ViInt32 first, ViInt32 count, ViUInt32* buffer)
{
    return withUnmarkedRecord(vi, [&](lumex_data&) -> ViStatus {
        if (first < 0)
            return VI_ERROR_PARAMETER2;
        if (count < 0)
            return VI_ERROR_PARAMETER3;
        if (buffer == nullptr)
            return VI_ERROR_PARAMETER4;
        return tarvo_m_read_block(vi, first, count, buffer);
    });
}

ViStatus _VI_FUNC lumex_read_packet(ViSession vi, ViInt32 count, ViUInt32* buffer, ViInt32* got)
{
    return withUnmarkedRecord(vi, [&](lumex_data&) -> ViStatus {
        if (count < 0)
            return VI_ERROR_PARAMETER2;
        if (buffer == nullptr)
            return VI_ERROR_PARAMETER3;
        if (got == nullptr)
            return VI_ERROR_PARAMETER4;
        return tarvo_m_read_packet(vi, count, buffer, got);
    });
}

// Register-level steps shared by the operations. Each returns the first
// failing carrier status at once and never retries.
#include "lumex_registers.h"

#include <cmath>

#include "lumex_record.h"
#include "tarvo_32.h"

namespace lumex {

ViUInt32 controlRegister(int group)
{
    return group == 1 ? RG_COM1 : RG_COM3;
}

ViStatus controlError(int group)
{
    return group == 1 ? LUMEX_ERROR_RG_COM1 : LUMEX_ERROR_RG_COM3;
}

ViUInt16 thresholdCode(double volts)
{
    // Same order of operations as the module's documentation gives, then
    // truncation toward zero.
    double scaled = ((volts * 0.5) / 10.0) * 4096.0;
    auto code = static_cast<ViInt32>(std::trunc(scaled));
    if (code > 0x7FF)
        code = 0x7FF;
    return static_cast<ViUInt16>(code & 0x0FFF);
}

PeriodEncoding encodePeriod(double seconds)
{
    auto count = static_cast<ViInt32>(std::trunc(seconds * 200000.0));
    if (count < 2047) {
        // Whole 100 us in 5 us ticks, as long as that fits the 11-bit field;
        // 10.205 ms to 10.235 ms would need 2060 ticks and go coarse instead.
        auto n = static_cast<ViInt32>(20 * std::ceil(count / 20.0));
        if (n < 20)
            n = 20;
        if (n <= 2048)
            return {static_cast<ViUInt16>(n - 1), false, n * 80};
    }
    auto n = static_cast<ViInt32>(std::ceil(count / 100.0));
    return {static_cast<ViUInt16>((n - 1) & 0x07FF), true, n * 8000};
}

ViStatus writeControlVerified(ViSession vi, int group, ViUInt16 value)
{
    ViUInt32 offset = controlRegister(group);
    ViStatus status = tarvo_m_out16(vi, offset, value);
    if (status < 0)
        return status;
    ViUInt16 readBack = 0;
    status = tarvo_m_in16(vi, offset, &readBack);
    if (status < 0)
        return status;
    return readBack == value ? VI_SUCCESS : controlError(group);
}

ViStatus updateControl(ViSession vi, int group, ViUInt16 keep, ViUInt16 set, ViUInt16* written)
{
    ViUInt16 old = 0;
    ViStatus status = tarvo_m_in16(vi, controlRegister(group), &old);
    if (status < 0)
        return status;
    auto value = static_cast<ViUInt16>((old & keep) | set);
    if (written != nullptr)
        *written = value;
    return writeControlVerified(vi, group, value);
}

ViStatus writePorog(ViSession vi, int group, double volts)
{
    ViStatus status = updateControl(vi, group, 0xF000, thresholdCode(volts));
    if (status < 0)
        return status;
    return tarvo_m_out16(vi, group == 1 ? RG_LOAD1 : RG_LOAD3, 0);
}

ViStatus writePeriod(ViSession vi, double seconds)
{
    PeriodEncoding period = encodePeriod(seconds);
    ViUInt16 old = 0;
    ViStatus status = tarvo_m_in16(vi, RG_PERIOD, &old);
    if (status < 0)
        return status;
    auto value = static_cast<ViUInt16>(((old & 0xF800) | period.field) & ~kCoarseUnitBit);
    if (period.coarseUnit)
        value |= kCoarseUnitBit;
    status = tarvo_m_out16(vi, RG_PERIOD, value);
    if (status < 0)
        return status;
    return tarvo_m_clock(vi, 0, period.clock);
}

ViStatus clearStatus(ViSession vi)
{
    ViUInt16 discarded = 0;
    ViStatus status = tarvo_m_in16(vi, RG_STATE, &discarded);
    if (status < 0)
        return status;
    return tarvo_m_in16(vi, RG_STATE2, &discarded);
}

ViStatus setRelays(ViSession vi, int group, bool on)
{
    if (on)
        return updateControl(vi, group, static_cast<ViUInt16>(~kRelaysOffBit), 0);
    return updateControl(vi, group, 0xFFFF, kRelaysOffBit);
}

ViStatus refuseWhileRunning(ViSession vi, lumex_data* record)
{
    if (record->runFlag.load() == 0)
        return VI_SUCCESS;
    ViInt16 state = 0;
    ViStatus status = lumex_state(vi, &state);
    if (status < 0)
        return status;
    if (state != 0)
        return LUMEX_ERROR_RUNNING;
    record->runFlag.store(0);
    return VI_SUCCESS;
}

ViStatus startProcess(ViSession vi)
{
    lumex_data* record = nullptr;
    ViStatus status = lookupRecord(vi, &record);
    if (status < 0)
        return status;
    if ((status = clearStatus(vi)) < 0)
        return status;
    if ((status = updateControl(vi, 1, 0x3FFF, 0x4000)) < 0)
        return status;
    ViUInt16 group2 = 0;
    if ((status = updateControl(vi, 2, 0x3FFF, 0x4000, &group2)) < 0)
        return status;
    if ((status = tarvo_m_start(vi, 0)) < 0)
        return status;
    record->runFlag.store(1);
    return (group2 & kRelaysOffBit) != 0 ? LUMEX_WARN_RELAYS_OFF : VI_SUCCESS;
}

ViStatus checkRegister(ViSession vi, ViUInt32 offset, int bits)
{
    ViUInt16 last = 0;
    ViStatus status = tarvo_m_in16(vi, offset, &last);
    if (status < 0)
        return status;
    const auto mask = static_cast<ViUInt16>((1u << bits) - 1u);
    for (int i = 0; i < bits; ++i) {
        const auto bit = static_cast<ViUInt16>(1u << i);
        if ((status = tarvo_m_out16(vi, offset, static_cast<ViUInt16>((last & ~mask) | bit))) < 0)
            return status;
        if ((status = tarvo_m_in16(vi, offset, &last)) < 0)
            return status;
        if ((last & mask) != bit)
            return LUMEX_ERROR_SELF_TEST;
    }
    return VI_SUCCESS;
}

} // namespace lumex

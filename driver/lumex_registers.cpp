// Register-level steps shared by the operations. Each returns the first
// failing carrier status at once and never retries.
#include "lumex_registers.h"

#include <chrono>
#include <cmath>

#include "lumex_clock.h"
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
    return static_cast<ViUInt16>(code & kThresholdField);
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
    return {static_cast<ViUInt16>((n - 1) & kPeriodCountField), true, n * 8000};
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
    ViStatus status = updateControl(vi, group, static_cast<ViUInt16>(~kThresholdField), thresholdCode(volts));
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
    auto value = static_cast<ViUInt16>(((old & ~kPeriodCountField) | period.field) & ~kCoarseUnitBit);
    if (period.coarseUnit)
        value |= kCoarseUnitBit;
    status = tarvo_m_out16(vi, RG_PERIOD, value);
    if (status < 0)
        return status;
    return tarvo_m_clock(vi, 0, period.clock);
}

ViStatus setControlResetBits(ViSession vi)
{
    ViStatus status = updateControl(vi, 1, 0xFFFF, kControlResetBits);
    if (status < 0)
        return status;
    return updateControl(vi, 2, 0xFFFF, kControlResetBits);
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

ViStatus readRunState(ViSession vi, ViInt16* state)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (state == nullptr)
            return VI_ERROR_PARAMETER2;
        ViStatus status = tarvo_m_state(vi, 0, state);
        if (status >= 0)
            record.runFlag.store(static_cast<ViUInt16>(*state));
        return status;
    });
}

ViStatus readSample(ViSession vi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        ViStatus status = VI_SUCCESS;
        if (record.runFlag.load() == 1 && record.acqMode.load() == 0) {
            // A single-sample start must have finished its poll.
            ViInt16 state = 0;
            if ((status = readRunState(vi, &state)) < 0)
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
    });
}

ViStatus allocatedSamples(ViSession vi, ViInt32* samples)
{
    ViUInt32 bytes = 0;
    ViUInt32 ignored = 0;
    ViStatus status = tarvo_m_alloc_q(vi, 0, &bytes, &ignored);
    if (status >= 0)
        *samples = static_cast<ViInt32>(bytes / 4u);
    return status;
}

ViStatus waitForStateBit(ViSession vi, ViUInt16 bit, bool wanted, bool followRun)
{
    constexpr auto kWait = std::chrono::seconds(1);
    WaitClock& clock = waitClock();
    ViUInt16 moduleState = 0;
    const auto reached = [&] { return ((moduleState & bit) != 0) == wanted; };
    const auto started = clock.now();
    do {
        ViStatus status = tarvo_m_in16(vi, RG_STATE, &moduleState);
        if (status < 0)
            return status;
        ViInt16 state = 0;
        if (followRun && (status = readRunState(vi, &state)) < 0)
            return status;
        if (reached())
            return VI_SUCCESS;
        clock.pause();
    } while (clock.now() - started < kWait);
    return reached() ? VI_SUCCESS : LUMEX_ERROR_NO_POLL_ACK;
}

ViStatus refuseWhileRunning(ViSession vi, lumex_data* record)
{
    if (record->runFlag.load() == 0)
        return VI_SUCCESS;
    ViInt16 state = 0;
    ViStatus status = readRunState(vi, &state);
    if (status < 0)
        return status;
    if (state != 0)
        return LUMEX_ERROR_RUNNING;
    record->runFlag.store(0);
    return VI_SUCCESS;
}

ViStatus startProcess(ViSession vi)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        ViStatus status = clearStatus(vi);
        if (status < 0)
            return status;
        const auto keep = static_cast<ViUInt16>(~kSourceField);
        if ((status = updateControl(vi, 1, keep, kSourceInputs)) < 0)
            return status;
        ViUInt16 group2 = 0;
        if ((status = updateControl(vi, 2, keep, kSourceInputs, &group2)) < 0)
            return status;
        if ((status = tarvo_m_start(vi, 0)) < 0)
            return status;
        record.runFlag.store(1);
        return (group2 & kRelaysOffBit) != 0 ? LUMEX_WARN_RELAYS_OFF : VI_SUCCESS;
    });
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

}  // namespace lumex

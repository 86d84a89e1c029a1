// Configuration operations: thresholds, sample period, acquisition mode,
// input relays, start trigger, interrupt enable and user handler. Setting
// operations store into the record; relays, interrupt enable and trigger go
// to the module at once.
#include <chrono>
#include <cmath>
#include <initializer_list>

#include "lumex.h"
#include "lumex_clock.h"
#include "lumex_record.h"
#include "lumex_registers.h"
#include "tarvo_32.h"

using namespace lumex;

namespace {

constexpr auto kRelaySettling = std::chrono::milliseconds(10);

bool isGroup(ViInt16 group)
{
    return group == 1 || group == 2;
}

// Written so that NaN fails too.
bool isThreshold(ViReal64 volts)
{
    return volts >= -10.0 && volts <= 10.0;
}

// Raised to the next multiple of 0.05 V.
double roundPorog(ViReal64 volts)
{
    const double scaled = volts * 20.0;
    return std::ceil(scaled) / 20.0;
}

std::atomic<double>& porogOf(lumex_data& record, ViInt16 group)
{
    return group == 1 ? record.porog1 : record.porog2;
}

// A query of one stored setting; `out` must be given.
template <class T, class Stored>
ViStatus querySetting(ViSession vi, T* out, std::atomic<Stored> lumex_data::*setting)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (out == nullptr)
            return VI_ERROR_PARAMETER2;
        *out = (record.*setting).load();
        return VI_SUCCESS;
    });
}

}  // namespace

ViStatus _VI_FUNC lumex_set_porog(ViSession vi, ViReal64 volts)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (!isThreshold(volts))
            return VI_ERROR_PARAMETER2;
        record.porog1.store(roundPorog(volts));
        record.porog2.store(roundPorog(volts));
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_set_porog_group(ViSession vi, ViReal64 volts, ViInt16 group)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (!isGroup(group))
            return VI_ERROR_PARAMETER3;
        if (!isThreshold(volts))
            return VI_ERROR_PARAMETER2;
        porogOf(record, group).store(roundPorog(volts));
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_set_porog_q(ViSession vi, ViReal64* volts)
{
    return querySetting(vi, volts, &lumex_data::porog1);
}

ViStatus _VI_FUNC lumex_set_porog_group_q(ViSession vi, ViInt16 group, ViReal64* volts)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (!isGroup(group))
            return VI_ERROR_PARAMETER2;
        if (volts == nullptr)
            return VI_ERROR_PARAMETER3;
        *volts = porogOf(record, group).load();
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_sample_period(ViSession vi, ViReal64 seconds)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (!(seconds >= 0.0001 && seconds <= 1.0))
            return VI_ERROR_PARAMETER2;
        record.samplePeriodS.store(seconds);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_sample_period_q(ViSession vi, ViReal64* seconds)
{
    return querySetting(vi, seconds, &lumex_data::samplePeriodS);
}

ViStatus _VI_FUNC lumex_sample_width_q(ViSession /*vi*/, ViInt16* width, ViInt16* bytes)
{
    if (width != nullptr)
        *width = 1;
    if (bytes != nullptr)
        *bytes = 4;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC lumex_mode_1(ViSession vi)
{
    return withUnmarkedRecord(vi, [](lumex_data& record) -> ViStatus {
        record.acqMode.store(0);
        return VI_SUCCESS;
    });
}

// Block and cycle mode: the mode, and its size unless samples is 0.
static ViStatus setSizedMode(ViSession vi, ViUInt16 mode, ViInt32 samples, std::atomic<ViUInt32> lumex_data::*size)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (samples < 0)
            return VI_ERROR_PARAMETER2;
        record.acqMode.store(mode);
        if (samples != 0)
            (record.*size).store(static_cast<ViUInt32>(samples));
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_mode_block(ViSession vi, ViInt32 samples)
{
    return setSizedMode(vi, 1, samples, &lumex_data::blockSize);
}

ViStatus _VI_FUNC lumex_mode_cycle(ViSession vi, ViInt32 samples)
{
    return setSizedMode(vi, 2, samples, &lumex_data::cyclePacket);
}

ViStatus _VI_FUNC lumex_mode_q(ViSession vi, ViInt16* mode, ViInt32* samples)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (mode == nullptr)
            return VI_ERROR_PARAMETER2;
        if (samples == nullptr)
            return VI_ERROR_PARAMETER3;
        const ViUInt16 current = record.acqMode.load();
        *mode = static_cast<ViInt16>(current);
        *samples = static_cast<ViInt32>(current == 2 ? record.cyclePacket.load() : record.blockSize.load());
        return VI_SUCCESS;
    });
}

// Switches the relays of the given groups and lets them settle.
static ViStatus switchRelays(ViSession vi, ViBoolean on, std::initializer_list<int> groups)
{
    for (int group : groups)
        if (ViStatus status = setRelays(vi, group, on == VI_TRUE); status < 0)
            return status;
    waitClock().sleepFor(kRelaySettling);
    return VI_SUCCESS;
}

ViStatus _VI_FUNC lumex_input_trigger(ViSession vi, ViBoolean on)
{
    return withUnmarkedRecord(vi, [&](lumex_data&) -> ViStatus {
        if (!isBoolean(on))
            return VI_ERROR_PARAMETER2;
        return switchRelays(vi, on, {1, 2});
    });
}

ViStatus _VI_FUNC lumex_input_trigger_group(ViSession vi, ViBoolean on, ViInt16 group)
{
    return withUnmarkedRecord(vi, [&](lumex_data&) -> ViStatus {
        if (!isBoolean(on))
            return VI_ERROR_PARAMETER2;
        if (!isGroup(group))
            return VI_ERROR_PARAMETER3;
        return switchRelays(vi, on, {group});
    });
}

// Relays are on while the group's relays-off bit is clear.
static ViStatus relaysOn(ViSession vi, int group, ViBoolean* on)
{
    ViUInt16 value = 0;
    ViStatus status = tarvo_m_in16(vi, controlRegister(group), &value);
    if (status < 0)
        return status;
    *on = (value & kRelaysOffBit) == 0 ? VI_TRUE : VI_FALSE;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC lumex_input_trigger_q(ViSession vi, ViBoolean* on)
{
    if (on == nullptr)
        return VI_ERROR_PARAMETER2;
    return relaysOn(vi, 1, on);
}

ViStatus _VI_FUNC lumex_input_trigger_group_q(ViSession vi, ViInt16 group, ViBoolean* on)
{
    if (on == nullptr)
        return VI_ERROR_PARAMETER3;
    if (!isGroup(group))
        return VI_ERROR_PARAMETER2;
    return relaysOn(vi, group, on);
}

ViStatus _VI_FUNC lumex_config_trigger(ViSession vi, ViInt32 configuration)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (ViStatus status = refuseWhileRunning(vi, &record); status < 0)
            return status;
        return tarvo_m_config_trigger(vi, 0, configuration);
    });
}

ViStatus _VI_FUNC lumex_mask_interrupt(ViSession vi, ViBoolean mask)
{
    return withUnmarkedRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (!isBoolean(mask))
            return VI_ERROR_PARAMETER2;
        ViStatus status = tarvo_m_out16(vi, RG_IMASK, mask);
        if (status < 0)
            return status;
        if ((status = tarvo_m_config_event(vi, static_cast<ViInt16>(mask))) < 0)
            return status;
        record.irqMask.store(mask);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_mask_interrupt_q(ViSession vi, ViBoolean* mask)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (mask == nullptr)
            return VI_ERROR_PARAMETER2;
        const ViUInt16 stored = record.irqMask.load();
        *mask = stored;
        if (stored != 1)
            return VI_SUCCESS;
        ViInt16 first = 0;
        ViInt16 second = 0;
        if (ViStatus status = tarvo_m_config_event_q(vi, &first, &second); status < 0)
            return status;
        if (first == 0 || second == 0)
            *mask = 0;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC lumex_set_user_ihandle(ViSession vi, lumex_user_handler handler)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        record.userHandler.store(handler);
        return VI_SUCCESS;
    });
}

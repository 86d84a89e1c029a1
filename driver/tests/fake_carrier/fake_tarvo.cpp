// The tarvo_ functions of the fake carrier.
#include <algorithm>
#include <cstring>

#include "fake_carrier.h"

using fake::FakeCarrier;
using fake::Mezzanine;

namespace {

constexpr ViStatus kInvOffset = VI_ERROR_INV_OFFSET;
constexpr ViStatus kNsupAttr = VI_ERROR_NSUP_ATTR;
constexpr ViStatus kParameter3 = static_cast<ViStatus>(0xBFFC0003);
constexpr ViUInt32 kRgState = 0x0A;

FakeCarrier& carrier()
{
    return FakeCarrier::instance();
}

// Logs the call, applies injected failures, then runs fn on the session's
// state under the carrier lock.
template <typename Fn>
ViStatus onSession(const char* name, ViSession mvi, std::int64_t a, std::int64_t b, int offset, Fn fn)
{
    ViStatus status = carrier().enter(name, a, b, offset);
    if (status != VI_SUCCESS)
        return status;
    std::lock_guard lock(carrier().mutex());
    Mezzanine* m = carrier().find(mvi);
    if (m == nullptr)
        return fake::kInvObject;
    return fn(*m);
}

template <typename Fn>
ViStatus onSession(const char* name, ViSession mvi, std::int64_t a, std::int64_t b, Fn fn)
{
    return onSession(name, mvi, a, b, -1, fn);
}

bool badOffset(ViUInt32 offset)
{
    return (offset & 1u) != 0 || offset >= 0x40;
}

}  // namespace

extern "C" {

ViStatus _VI_FUNC tarvo_init(ViRsrc, ViBoolean, ViBoolean, ViSession* session)
{
    ViStatus status = carrier().enter("tarvo_init");
    if (status != VI_SUCCESS)
        return status;
    *session = fake::kCarrier;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_close(ViSession)
{
    return carrier().enter("tarvo_close");
}

ViStatus _VI_FUNC tarvo_mem_q(ViSession, ViUInt32* bytes)
{
    ViStatus status = carrier().enter("tarvo_mem_q");
    if (status == VI_SUCCESS)
        *bytes = carrier().memoryBytes();
    return status;
}

ViStatus _VI_FUNC tarvo_m_type_q(ViSession, ViInt16 position, ViInt16* present, ViInt16* type)
{
    ViStatus status = carrier().enter("tarvo_m_type_q", position);
    if (status != VI_SUCCESS)
        return status;
    if (position < 1 || position > 4)
        return fake::kParameter2;
    *type = carrier().moduleType(position);
    *present = *type != 0;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_error_message(ViSession, ViStatus status, ViChar text[])
{
    ViStatus result = carrier().enter("tarvo_error_message", status);
    if (result != VI_SUCCESS)
        return result;
    if (text == nullptr)
        return kParameter3;
    auto known = carrier().errorText(status);
    if (!known)
        return fake::kParameter2;
    // A carrier may write more than a caller expects; this one stops at 600.
    std::string cut = known->substr(0, 600);
    std::memcpy(text, cut.c_str(), cut.size() + 1);
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_init(ViSession carrierSession, ViInt16 position, ViSession* mvi)
{
    ViStatus status = carrier().enter("tarvo_m_init", position);
    if (status != VI_SUCCESS)
        return status;
    if (carrierSession != fake::kCarrier)
        return fake::kInvObject;
    if (position < 1 || position > 4 || carrier().moduleType(position) == 0)
        return fake::kParameter2;
    std::lock_guard lock(carrier().mutex());
    *mvi = carrier().open(position);
    return VI_SUCCESS;
}

ViStatus _VI_FUNC tarvo_m_close(ViSession mvi)
{
    return onSession("tarvo_m_close", mvi, 0, 0, [mvi](Mezzanine&) -> ViStatus {
        carrier().close(mvi);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_set_attribute(ViSession mvi, ViAttr attribute, ViAttrState value)
{
    return onSession("tarvo_m_set_attribute", mvi, attribute, static_cast<std::int64_t>(value),
                     [&](Mezzanine& m) -> ViStatus {
                         m.attributes[attribute] = value;
                         return VI_SUCCESS;
                     });
}

ViStatus _VI_FUNC tarvo_m_get_attribute(ViSession mvi, ViAttr attribute, void* value)
{
    return onSession("tarvo_m_get_attribute", mvi, attribute, 0, [&](Mezzanine& m) -> ViStatus {
        auto it = m.attributes.find(attribute);
        if (it == m.attributes.end())
            return kNsupAttr;
        *static_cast<ViAttrState*>(value) = it->second;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_in16(ViSession mvi, ViUInt32 offset, ViUInt16* value)
{
    return onSession("tarvo_m_in16", mvi, offset, 0, static_cast<int>(offset), [&](Mezzanine& m) -> ViStatus {
        if (badOffset(offset))
            return kInvOffset;
        *value = carrier().readRegister(m, offset);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_out16(ViSession mvi, ViUInt32 offset, ViUInt16 value)
{
    return onSession("tarvo_m_out16", mvi, offset, value, static_cast<int>(offset), [&](Mezzanine& m) -> ViStatus {
        if (badOffset(offset))
            return kInvOffset;
        m.registers[offset / 2] = value;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_reset(ViSession mvi, ViInt16 unit)
{
    return onSession("tarvo_m_reset", mvi, unit, 0, [](Mezzanine& m) -> ViStatus {
        ++m.resets;
        m.running = false;
        m.registers[kRgState / 2] &= static_cast<ViUInt16>(~0x0002);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_start(ViSession mvi, ViInt16 unit)
{
    return onSession("tarvo_m_start", mvi, unit, 0, [](Mezzanine& m) -> ViStatus {
        ViUInt16& state = m.registers[kRgState / 2];
        state &= static_cast<ViUInt16>(~0x0002);
        const ViUInt32 sample = carrier().sampleNow(m);
        if (m.mode == 0) {
            m.lastSample = sample;
            if (m.pollAcknowledges)
                state |= 0x0002;
            m.running = false;
        } else {
            if (m.mode == 1)
                m.memory.assign(static_cast<size_t>(m.blockSize), sample);
            m.lastSample = sample;
            m.running = true;
        }
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_stop(ViSession mvi, ViInt16 unit)
{
    return onSession("tarvo_m_stop", mvi, unit, 0, [](Mezzanine& m) -> ViStatus {
        m.running = false;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_state(ViSession mvi, ViInt16 unit, ViInt16* state)
{
    return onSession("tarvo_m_state", mvi, unit, 0, [&](Mezzanine& m) -> ViStatus {
        *state = m.running ? 1 : 0;
        return VI_SUCCESS;
    });
}

#define FAKE_SETTER(function, field, Type)                                            \
    ViStatus _VI_FUNC function(ViSession mvi, ViInt16 unit, Type value)               \
    {                                                                                 \
        return onSession(#function, mvi, unit, value, [&](Mezzanine& m) -> ViStatus { \
            m.field = value;                                                          \
            return VI_SUCCESS;                                                        \
        });                                                                           \
    }

FAKE_SETTER(tarvo_m_mode, mode, ViInt16)
FAKE_SETTER(tarvo_m_block_size, blockSize, ViInt32)
FAKE_SETTER(tarvo_m_packet_size, packetSize, ViInt32)
FAKE_SETTER(tarvo_m_clock, clock, ViInt32)
FAKE_SETTER(tarvo_m_sample_width, sampleWidth, ViInt16)
FAKE_SETTER(tarvo_m_first_delay, firstDelay, ViInt32)
FAKE_SETTER(tarvo_m_config_trigger, triggerConfig, ViInt32)
#undef FAKE_SETTER

ViStatus _VI_FUNC tarvo_m_trig_length(ViSession mvi, ViInt16 length)
{
    return onSession("tarvo_m_trig_length", mvi, length, 0, [&](Mezzanine& m) -> ViStatus {
        m.trigLength = length;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_alloc(ViSession mvi, ViInt16 unit, ViUInt32 bytes, ViUInt32* out)
{
    return onSession("tarvo_m_alloc", mvi, unit, bytes, [&](Mezzanine& m) -> ViStatus {
        if (bytes > carrier().memoryBytes())
            return fake::kInvSize;
        m.allocatedBytes = bytes;
        if (out != nullptr)
            *out = 0;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_alloc_q(ViSession mvi, ViInt16 unit, ViUInt32* bytes, ViUInt32* out)
{
    return onSession("tarvo_m_alloc_q", mvi, unit, 0, [&](Mezzanine& m) -> ViStatus {
        *bytes = m.allocatedBytes;
        if (out != nullptr)
            *out = 0;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_handler(ViSession mvi, tarvo_m_routine routine)
{
    return onSession("tarvo_m_handler", mvi, 0, 0, [&](Mezzanine& m) -> ViStatus {
        m.routine = routine;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_config_event(ViSession mvi, ViInt16 on)
{
    return onSession("tarvo_m_config_event", mvi, on, 0, [&](Mezzanine& m) -> ViStatus {
        m.eventsOn = on != 0;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_config_event_q(ViSession mvi, ViInt16* a, ViInt16* b)
{
    return onSession("tarvo_m_config_event_q", mvi, 0, 0, [&](Mezzanine& m) -> ViStatus {
        *a = *b = m.eventsOn ? 1 : 0;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_config_trigger_q(ViSession mvi, ViInt16 unit, ViInt16* config)
{
    return onSession("tarvo_m_config_trigger_q", mvi, unit, 0, [&](Mezzanine& m) -> ViStatus {
        *config = static_cast<ViInt16>(m.triggerConfig);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_howmuch_data_q(ViSession mvi, ViInt16 unit, ViInt32* count)
{
    return onSession("tarvo_m_howmuch_data_q", mvi, unit, 0, [&](Mezzanine& m) -> ViStatus {
        *count = static_cast<ViInt32>(m.mode == 1 ? m.memory.size() : m.fifo.size());
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_read_last(ViSession mvi, ViUInt32* sample, ViUInt32* out3, ViUInt32* out4)
{
    return onSession("tarvo_m_read_last", mvi, 0, 0, [&](Mezzanine& m) -> ViStatus {
        if (sample == nullptr)
            return fake::kParameter2;
        *sample = m.mode == 0 ? m.lastSample : carrier().sampleNow(m);
        if (out3 != nullptr)
            *out3 = 111;
        if (out4 != nullptr)
            *out4 = 222;
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_read_block(ViSession mvi, ViInt32 first, ViInt32 count, ViUInt32* buffer)
{
    return onSession("tarvo_m_read_block", mvi, first, count, [&](Mezzanine& m) -> ViStatus {
        if (first < 0 || count < 0 || static_cast<size_t>(first) + static_cast<size_t>(count) > m.memory.size())
            return fake::kInvSize;
        std::copy_n(m.memory.begin() + first, count, buffer);
        return VI_SUCCESS;
    });
}

ViStatus _VI_FUNC tarvo_m_read_packet(ViSession mvi, ViInt32 count, ViUInt32* buffer, ViInt32* got)
{
    return onSession("tarvo_m_read_packet", mvi, count, 0, [&](Mezzanine& m) -> ViStatus {
        ViInt32 delivered = 0;
        while (delivered < count && !m.fifo.empty()) {
            buffer[delivered++] = m.fifo.front();
            m.fifo.pop_front();
        }
        *got = delivered;
        return VI_SUCCESS;
    });
}

}  // extern "C"

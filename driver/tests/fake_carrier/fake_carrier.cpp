// The fake carrier's state, failure injection, log and events.
#include "fake_carrier.h"

#include <algorithm>
#include <cstdio>

#include "lumex_registers.h"

namespace fake {
namespace {

constexpr size_t kLogLimit = 200000;

}  // namespace

double codeVolts(ViUInt16 field)
{
    int code = field & 0x0FFF;
    if ((code & 0x800) != 0)
        code -= 0x1000;
    return code / 204.8;
}

FakeCarrier& FakeCarrier::instance()
{
    static FakeCarrier carrier;
    return carrier;
}

void FakeCarrier::clear()
{
    std::lock_guard lock(mutex_);
    sessions_.clear();
    failures_.clear();
    log_.clear();
    hook_ = nullptr;
    errorTexts_.clear();
    moduleTypes_ = {9, 9, 9, 9};
    idRegister_ = 9;
    memoryBytes_ = 16u << 20;
}

void FakeCarrier::failCall(const std::string& name, ViStatus status, int skip, int times, int offset)
{
    std::lock_guard lock(mutex_);
    failures_.push_back({name, status, skip, times, offset});
}

ViUInt16 FakeCarrier::reg(ViSession mvi, ViUInt32 offset)
{
    std::lock_guard lock(mutex_);
    return readRegister(mezzanine(mvi), offset);
}

void FakeCarrier::setReg(ViSession mvi, ViUInt32 offset, ViUInt16 value)
{
    std::lock_guard lock(mutex_);
    mezzanine(mvi).registers.at(offset / 2) = value;
}

std::vector<Call> FakeCarrier::log()
{
    std::lock_guard lock(mutex_);
    return log_;
}

void FakeCarrier::clearLog()
{
    std::lock_guard lock(mutex_);
    log_.clear();
}

std::vector<ViUInt16> FakeCarrier::writes(ViUInt32 offset)
{
    std::vector<ViUInt16> values;
    for (const Call& call : log()) {
        if (call.name == "tarvo_m_out16" && call.a == offset)
            values.push_back(static_cast<ViUInt16>(call.b));
    }
    return values;
}

std::vector<std::string> FakeCarrier::callNames()
{
    std::vector<std::string> names;
    for (const Call& call : log()) {
        if (call.name == "tarvo_m_in16" || call.name == "tarvo_m_out16") {
            char offset[16];
            std::snprintf(offset, sizeof offset, " 0x%02X", static_cast<unsigned>(call.a));
            names.push_back(call.name.substr(8) + offset);
        } else {
            names.push_back(call.name);
        }
    }
    return names;
}

std::optional<ViInt16> FakeCarrier::raiseEvent(ViSession mvi, ViInt32 event)
{
    tarvo_m_routine routine = nullptr;
    {
        std::lock_guard lock(mutex_);
        Mezzanine* m = find(mvi);
        if (m == nullptr || !m->eventsOn || m->routine == nullptr)
            return std::nullopt;
        routine = m->routine;
    }
    ViInt16 result = 0;
    std::thread eventThread([&] { result = routine(mvi, event); });
    eventThread.join();
    return result;
}

std::thread FakeCarrier::raiseEventsInBackground(ViSession mvi, std::vector<ViInt32> events)
{
    return std::thread([this, mvi, events = std::move(events)] {
        for (ViInt32 event : events) {
            tarvo_m_routine routine = nullptr;
            {
                std::lock_guard lock(mutex_);
                Mezzanine* m = find(mvi);
                if (m != nullptr && m->eventsOn)
                    routine = m->routine;
            }
            if (routine != nullptr)
                routine(mvi, event);
        }
    });
}

void FakeCarrier::setErrorText(ViStatus status, const std::string& text)
{
    std::lock_guard lock(mutex_);
    errorTexts_[status] = text;
}

void FakeCarrier::setModuleType(ViInt16 position, ViInt16 type)
{
    std::lock_guard lock(mutex_);
    moduleTypes_.at(position - 1) = type;
}

void FakeCarrier::setCallHook(std::function<void(const std::string&)> hook)
{
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

ViStatus FakeCarrier::enter(const std::string& name, std::int64_t a, std::int64_t b, int offset)
{
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard lock(mutex_);
        hook = hook_;
    }
    if (hook)
        hook(name);
    std::lock_guard lock(mutex_);
    if (log_.size() < kLogLimit)
        log_.push_back({name, a, b});
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->name != name || (it->offset >= 0 && it->offset != offset))
            continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        ViStatus status = it->status;
        if (it->times > 0 && --it->times == 0)
            failures_.erase(it);
        return status;
    }
    return VI_SUCCESS;
}

Mezzanine* FakeCarrier::find(ViSession mvi)
{
    auto it = sessions_.find(mvi);
    return it == sessions_.end() ? nullptr : &it->second;
}

Mezzanine& FakeCarrier::mezzanine(ViSession mvi)
{
    return sessions_.at(mvi);
}

ViSession FakeCarrier::open(ViInt16 position)
{
    ViSession session = nextSession_++;
    Mezzanine& m = sessions_[session];
    m.position = position;
    m.registers[lumex::RG_ID / 2] = idRegister_;
    return session;
}

void FakeCarrier::close(ViSession mvi)
{
    sessions_.erase(mvi);
}

ViUInt32 FakeCarrier::sampleNow(const Mezzanine& m) const
{
    ViUInt32 sample = 0;
    for (int channel = 0; channel < 32; ++channel) {
        ViUInt16 control = readRegister(m, channel < 16 ? lumex::RG_COM1 : lumex::RG_COM3);
        double threshold = codeVolts(control);
        int source = (control >> 13) & 7;
        double volts = 0.0;
        if (source == 3)
            volts = m.testHighVolts;
        else if (source == 5)
            volts = 1.2;
        else if ((control & 0x2000) != 0)
            continue;  // relays off: input disconnected
        else
            volts = m.inputs[channel];
        if (volts > threshold)
            sample |= 1u << channel;
    }
    return (sample | m.stuckHigh) & ~m.stuckLow;
}

ViUInt16 FakeCarrier::readRegister(const Mezzanine& m, ViUInt32 offset) const
{
    const size_t index = offset / 2;
    auto value = static_cast<ViUInt16>((m.registers[index] | m.stuckSet[index]) & ~m.stuckClear[index]);
    if (offset == lumex::RG_STATE && (m.running || m.keepsRunning))
        value |= 0x0008;
    return value;
}

std::optional<std::string> FakeCarrier::errorText(ViStatus status)
{
    std::lock_guard lock(mutex_);
    auto it = errorTexts_.find(status);
    if (it == errorTexts_.end())
        return std::nullopt;
    return it->second;
}

}  // namespace fake

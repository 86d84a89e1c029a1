// Reads one SORVI module of a bench file: the signals on its 32 inputs and the
// faults it is built with.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>

#include "bench_file_reader.h"
#include "bench_units.h"
#include "signal_limits.h"

namespace bench::file {
namespace {

// The ranges are those of signal_limits.h; each value is checked here as it
// is read, so that the message points at its line, and the whole signal again
// by the one check every way into the bench uses.
constexpr double kMaxVolts = kMaxInputVolts;
constexpr double kMaxOhms = kMaxSensorOhms;
constexpr double kMinTime = kMinSignalTimeS;
constexpr double kMaxTime = kMaxSignalTimeS;
constexpr std::size_t kMaxSequence = kMaxSequenceLevels;

double readVolts(const Where& where, const YAML::Node& node) {
    const std::string text = expectText(where, node);
    auto v = parseQuantity(text, Quantity::Volts);
    if (!v) fail(where, node, quoted(text) + " is not a voltage (e.g. 3V, 250mV, -1.5)");
    if (std::fabs(*v) > kMaxVolts) fail(where, node, quoted(text) + " is out of range (-100V to 100V)");
    return *v;
}

double readOhms(const Where& where, const YAML::Node& node) {
    const std::string text = expectText(where, node);
    auto v = parseQuantity(text, Quantity::Ohms);
    if (!v) fail(where, node, quoted(text) + " is not a resistance (e.g. 5ohm, 100k, 4.7kOhm)");
    if (*v < 0 || *v > kMaxOhms) fail(where, node, quoted(text) + " is out of range (0 to 1000MOhm)");
    return *v;
}

double readTime(const Where& where, const YAML::Node& node, double lo) {
    const std::string text = expectText(where, node);
    auto v = parseQuantity(text, Quantity::Seconds);
    if (!v) fail(where, node, quoted(text) + " is not a time (e.g. 10ms, 250us, 1.5s)");
    if (*v < lo || *v > kMaxTime)
        fail(where, node, quoted(text) + " is out of range (" + (lo > 0 ? "1us" : "0") + " to 3600s)");
    return *v;
}

ChannelInput readSquare(const Where& where, const YAML::Node& node) {
    expectMap(where, node);
    checkKeys(where, node, {"low", "high", "period", "duty", "phase"});
    ChannelInput in;
    in.kind = ChannelInput::Kind::Square;
    in.low = 0.0;
    in.high = 5.0;
    if (auto n = field(node, "low"); n.IsDefined()) in.low = readVolts(where / "low", n);
    if (auto n = field(node, "high"); n.IsDefined()) in.high = readVolts(where / "high", n);
    const YAML::Node period = field(node, "period");
    if (!period.IsDefined()) fail(where, node, "'period' is missing (e.g. period: 10ms)");
    in.periodS = readTime(where / "period", period, kMinTime);
    if (auto n = field(node, "duty"); n.IsDefined()) {
        const std::string text = expectText(where / "duty", n);
        auto d = parseNumber(text);
        if (!d || *d < 0.0 || *d > 1.0) fail(where / "duty", n, quoted(text) + " is not a duty cycle from 0 to 1");
        in.duty = *d;
    }
    if (auto n = field(node, "phase"); n.IsDefined()) in.phaseS = readTime(where / "phase", n, 0.0);
    return in;
}

ChannelInput readSequence(const Where& where, const YAML::Node& node) {
    expectMap(where, node);
    checkKeys(where, node, {"volts", "step"});
    ChannelInput in;
    in.kind = ChannelInput::Kind::Sequence;
    const YAML::Node volts = field(node, "volts");
    if (!volts.IsDefined()) fail(where, node, "'volts' is missing (a list of levels, e.g. [0, 5, 0])");
    expectList(where / "volts", volts);
    if (volts.size() == 0 || volts.size() > kMaxSequence)
        fail(where / "volts", volts, "a sequence holds 1 to 100000 levels");
    for (std::size_t i = 0; i < volts.size(); ++i) in.sequence.push_back(readVolts((where / "volts")[i], volts[i]));
    const YAML::Node step = field(node, "step");
    if (!step.IsDefined()) fail(where, node, "'step' is missing (how long each level lasts, e.g. step: 1ms)");
    in.stepS = readTime(where / "step", step, kMinTime);
    return in;
}

ChannelInput readInput(const Where& where, const YAML::Node& node) {
    ChannelInput in;
    if (node.IsScalar() && node.Scalar() == "counter") {
        // Channel k shows bit k-1 of the module's poll count.
        in.kind = ChannelInput::Kind::Counter;
        return in;
    }
    if (node.IsScalar()) {
        auto s = parseScalarInput(node.Scalar());
        if (!s)
            fail(where, node,
                 quoted(node.Scalar()) + " is not a voltage (3V) or a resistance (5ohm, 100k); signals are maps");
        if (s->resistance) {
            in.kind = ChannelInput::Kind::Resistance;
            in.ohms = readOhms(where, node);
        } else {
            in.kind = ChannelInput::Kind::Voltage;
            in.volts = readVolts(where, node);
        }
        return in;
    }
    if (!node.IsMap() || node.size() != 1)
        fail(where, node, "expected a voltage, a resistance or one of {volts: }, {ohms: }, {square: }, {sequence: }");
    checkKeys(where, node, {"volts", "ohms", "square", "sequence"});
    const std::string kind = node.begin()->first.Scalar();
    const YAML::Node value = node.begin()->second;
    if (kind == "volts") {
        in.kind = ChannelInput::Kind::Voltage;
        in.volts = readVolts(where / kind, value);
    } else if (kind == "ohms") {
        in.kind = ChannelInput::Kind::Resistance;
        in.ohms = readOhms(where / kind, value);
    } else if (kind == "square") {
        in = readSquare(where / kind, value);
    } else {
        in = readSequence(where / kind, value);
    }
    if (const std::string error = signalError(in); !error.empty()) fail(where, node, error);
    return in;
}

// A channel number "7" or a range "1-16"; returns the first and last channel.
std::pair<int, int> readChannels(const Where& where, const YAML::Node& key) {
    const std::string text = expectText(where, key);
    const auto dash = text.find('-', 1);
    if (dash == std::string::npos) {
        auto k = parseInteger(text, 1, 32);
        if (!k) fail(where, key, quoted(text) + " is not a channel number from 1 to 32, a range like 1-16 or 'all'");
        return {static_cast<int>(*k), static_cast<int>(*k)};
    }
    auto first = parseInteger(text.substr(0, dash), 1, 32);
    auto last = parseInteger(text.substr(dash + 1), 1, 32);
    if (!first || !last || *first > *last)
        fail(where, key, quoted(text) + " is not a channel range like 1-16 (channels 1 to 32)");
    return {static_cast<int>(*first), static_cast<int>(*last)};
}

void readInputs(const Where& where, const YAML::Node& node, SorviModuleDescription& m) {
    expectMap(where, node);
    // "all" first, then ranges and single channels; a channel may be named once
    // besides "all".
    if (auto all = field(node, "all"); all.IsDefined()) {
        const ChannelInput in = readInput(where / "all", all);
        m.inputs.fill(in);
    }
    std::array<int, 32> setAtLine{};
    for (const auto& entry : node) {
        const std::string key = expectText(where, entry.first);
        if (key == "all") continue;
        const Where cw = where / key;
        auto [first, last] = readChannels(cw, entry.first);
        const ChannelInput in = readInput(cw, entry.second);
        for (int k = first; k <= last; ++k) {
            if (setAtLine[k - 1] != 0)
                fail(cw, entry.first,
                     "channel " + std::to_string(k) + " is already given at line " + std::to_string(setAtLine[k - 1]));
            setAtLine[k - 1] = entry.first.Mark().line + 1;
            m.inputs[static_cast<std::size_t>(k - 1)] = in;
        }
    }
    std::size_t allCount = 0;
    for (const auto& entry : node)
        if (entry.first.IsScalar() && entry.first.Scalar() == "all") ++allCount;
    if (allCount > 1) fail(where / "all", field(node, "all"), "key 'all' is given twice");
}

std::uint32_t readChannelSet(const Where& where, const YAML::Node& node) {
    std::uint32_t mask = 0;
    const auto add = [&](const Where& w, const YAML::Node& item) {
        auto [first, last] = readChannels(w, item);
        for (int k = first; k <= last; ++k) mask |= 1u << (k - 1);
    };
    if (node.IsScalar()) {
        add(where, node);
        return mask;
    }
    expectList(where, node);
    for (std::size_t i = 0; i < node.size(); ++i) add(where[i], node[i]);
    return mask;
}

struct RegisterName {
    const char* name;
    std::uint32_t offset;
};
constexpr RegisterName kRegisters[] = {
    {"RG_ID", 0x02},   {"RG_COM1", 0x04},   {"RG_PERIOD", 0x06}, {"RG_IMASK", 0x08}, {"RG_STATE", 0x0A},
    {"RG_COM3", 0x0C}, {"RG_STATE2", 0x10}, {"RG_LOAD1", 0x12},  {"RG_LOAD3", 0x14},
};

std::uint32_t readRegister(const Where& where, const YAML::Node& node) {
    std::string text = expectText(where, node);
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    for (const auto& r : kRegisters)
        if (upper == r.name) return r.offset;
    auto offset = parseInteger(text, 0, 0xFE);
    if (!offset || *offset % 2 != 0)
        fail(where, node, quoted(text) + " is not a register name (RG_COM1, ...) or an even byte offset 0 to 0xFE");
    return static_cast<std::uint32_t>(*offset);
}

void readFaults(const Where& where, const YAML::Node& node, ModuleFaults& f) {
    expectMap(where, node);
    checkKeys(where, node, {"stuck_high", "stuck_low", "stuck_bits", "no_poll_ack", "id_value"});
    if (auto n = field(node, "stuck_high"); n.IsDefined())
        f.stuckHighChannels = readChannelSet(where / "stuck_high", n);
    if (auto n = field(node, "stuck_low"); n.IsDefined()) f.stuckLowChannels = readChannelSet(where / "stuck_low", n);
    if (const std::uint32_t both = f.stuckHighChannels & f.stuckLowChannels; both != 0) {
        int k = 1;
        while ((both & (1u << (k - 1))) == 0) ++k;
        fail(where / "stuck_low", field(node, "stuck_low"),
             "channel " + std::to_string(k) + " cannot be stuck high and stuck low at once");
    }
    if (auto n = field(node, "stuck_bits"); n.IsDefined()) {
        const Where bw = where / "stuck_bits";
        expectList(bw, n);
        for (std::size_t i = 0; i < n.size(); ++i) {
            const Where iw = bw[i];
            const YAML::Node item = n[i];
            expectMap(iw, item);
            checkKeys(iw, item, {"register", "set", "clear"});
            const YAML::Node reg = field(item, "register");
            if (!reg.IsDefined()) fail(iw, item, "'register' is missing (a name like RG_COM1 or a byte offset)");
            const std::uint32_t offset = readRegister(iw / "register", reg);
            StuckBits bits;
            if (auto s = field(item, "set"); s.IsDefined())
                bits.setMask = static_cast<std::uint16_t>(readInteger(iw / "set", s, 0, 0xFFFF));
            if (auto c = field(item, "clear"); c.IsDefined())
                bits.clearMask = static_cast<std::uint16_t>(readInteger(iw / "clear", c, 0, 0xFFFF));
            if (bits.setMask & bits.clearMask) fail(iw, item, "a bit cannot be stuck at 1 and at 0 at once");
            if (!f.stuckRegisterBits.emplace(offset, bits).second)
                fail(iw / "register", reg, "this register already has stuck bits in this list");
        }
    }
    if (auto n = field(node, "no_poll_ack"); n.IsDefined()) f.noPollAck = readBool(where / "no_poll_ack", n);
    if (auto n = field(node, "id_value"); n.IsDefined())
        f.idValue = static_cast<std::uint8_t>(readInteger(where / "id_value", n, 0, 255));
}

}  // namespace

SorviModuleDescription readSorviModule(const Where& where, const YAML::Node& position) {
    SorviModuleDescription m;
    if (auto n = field(position, "inputs"); n.IsDefined() && !n.IsNull()) readInputs(where / "inputs", n, m);
    if (auto n = field(position, "faults"); n.IsDefined() && !n.IsNull()) readFaults(where / "faults", n, m.faults);
    return m;
}

}  // namespace bench::file

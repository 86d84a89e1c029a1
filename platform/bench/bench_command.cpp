#include "bench_command.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench_view.h"
#include "bench_loader.h"
#include "bench_simulation.h"
#include "bench_test_interface.h"
#include "signal_limits.h"
#include "sorvi_module.h"

namespace bench {
namespace {

struct Target {
    std::string carrier;
    int position;
};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::optional<double> number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> integer(const std::string& text) {
    auto v = number(text);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 1e9) return std::nullopt;
    return static_cast<int>(*v);
}

// A number followed by a unit: returns the number when `text` ends with `unit`.
std::optional<double> withUnit(const std::string& text, const std::string& unit) {
    if (text.size() <= unit.size() || text.compare(text.size() - unit.size(), unit.size(), unit) != 0)
        return std::nullopt;
    return number(text.substr(0, text.size() - unit.size()));
}

// Parses a signal from words[i..]; sets `error` on failure.
std::optional<ChannelInput> parseSignal(const std::vector<std::string>& words, std::size_t i, std::string& error) {
    if (i >= words.size()) {
        error = "signal missing";
        return std::nullopt;
    }
    const std::string w = lower(words[i]);
    ChannelInput in;
    if (w == "square") {
        std::vector<double> v;
        for (std::size_t k = i + 1; k < words.size(); ++k) {
            auto n = number(words[k]);
            if (!n) {
                error = "bad number '" + words[k] + "'";
                return std::nullopt;
            }
            v.push_back(*n);
        }
        if (v.size() < 3 || v.size() > 5 || !(v[2] > 0.0)) {
            error = "square needs <low> <high> <periodS> [<duty> [<phaseS>]] with a positive period";
            return std::nullopt;
        }
        in.kind = ChannelInput::Kind::Square;
        in.low = v[0];
        in.high = v[1];
        in.periodS = v[2];
        in.duty = v.size() > 3 ? v[3] : 0.5;
        in.phaseS = v.size() > 4 ? v[4] : 0.0;
        if (in.duty < 0.0 || in.duty > 1.0) {
            error = "duty must lie in 0..1";
            return std::nullopt;
        }
        return in;
    }
    if (w == "seq") {
        std::vector<double> v;
        for (std::size_t k = i + 1; k < words.size(); ++k) {
            auto n = number(lower(words[k]).back() == 'v' ? words[k].substr(0, words[k].size() - 1) : words[k]);
            if (!n) {
                error = "bad number '" + words[k] + "'";
                return std::nullopt;
            }
            v.push_back(*n);
        }
        if (v.size() < 2 || !(v[0] > 0.0)) {
            error = "seq needs <stepS> and at least one level, with a positive step";
            return std::nullopt;
        }
        in.kind = ChannelInput::Kind::Sequence;
        in.stepS = v[0];
        in.sequence.assign(v.begin() + 1, v.end());
        return in;
    }
    if (i + 1 != words.size()) {
        error = "unexpected words after the signal";
        return std::nullopt;
    }
    if (w == "counter") {
        in.kind = ChannelInput::Kind::Counter;
        return in;
    }
    if (w == "open") {
        in.kind = ChannelInput::Kind::Resistance;
        in.ohms = std::numeric_limits<double>::infinity();
        return in;
    }
    const std::pair<const char*, double> resistanceUnits[] = {{"kohm", 1e3},
                                                              {"mohm", 1e6},
                                                              {"ohm", 1.0},
                                                              {"k", 1e3},
                                                              {"m", 1e6}};
    // "mv" must be read before "m" (megaohm).
    if (auto mv = withUnit(w, "mv")) {
        in.volts = *mv / 1000.0;
        return in;
    }
    if (auto v = withUnit(w, "v")) {
        in.volts = *v;
        return in;
    }
    for (const auto& [unit, scale] : resistanceUnits) {
        if (auto r = withUnit(w, unit)) {
            if (*r < 0.0) break;
            in.kind = ChannelInput::Kind::Resistance;
            in.ohms = *r * scale;
            return in;
        }
    }
    if (auto v = number(w)) {
        in.volts = *v;
        return in;
    }
    error = "bad signal '" + words[i] + "'";
    return std::nullopt;
}

// Channels from "7", "5-8" or "all", as a bit mask (bit k-1: channel k).
std::optional<std::uint32_t> parseChannels(const std::string& text) {
    if (lower(text) == "all") return 0xFFFFFFFFu;
    const auto dash = text.find('-');
    const auto first = integer(text.substr(0, dash));
    const auto last = dash == std::string::npos ? first : integer(text.substr(dash + 1));
    if (!first || !last || *first < 1 || *last > 32 || *first > *last) return std::nullopt;
    std::uint32_t mask = 0;
    for (int k = *first; k <= *last; ++k) mask |= 1u << (k - 1);
    return mask;
}

std::vector<Target> everySorviModule() {
    std::vector<Target> targets;
    BenchSimulation& sim = BenchSimulation::instance();
    for (const std::string& name : sim.carrierNames()) {
        auto model = sim.carrier(name);
        for (int p = 1; p <= 4; ++p)
            if (model && model->moduleType(p) == kSorviModuleType) targets.push_back({name, p});
    }
    return targets;
}

// Runs one command; returns the error text, empty on success.
std::string run(const std::vector<std::string>& all) {
    std::vector<std::string> words = all;
    std::vector<Target> targets;
    if (!words.empty() && lower(words[0]) == "at") {
        if (words.size() < 4) return "'at' needs <resource> <position> <command>";
        const auto position = integer(words[2]);
        if (!position || *position < 1 || *position > 4) return "position must be 1..4";
        auto model = BenchSimulation::instance().carrier(words[1]);
        if (!model) return "no carrier '" + words[1] + "' on the bench";
        if (model->moduleType(*position) != kSorviModuleType) return "no SORVI module at that position";
        targets.push_back({words[1], *position});
        words.erase(words.begin(), words.begin() + 3);
    } else {
        targets = everySorviModule();
    }
    if (words.empty()) return "empty command";
    const std::string verb = lower(words[0]);

    if (verb == "clock" && words.size() == 2) {
        const std::string how = lower(words[1]);
        if (how == "virtual") {
            testing::useVirtualClock();
        } else if (how == "real") {
            BenchSimulation::instance().clock().switchToReal();
            BenchSimulation::instance().dispatcher().wake();
        } else {
            return "clock virtual|real";
        }
        return {};
    }
    if (verb == "advance" && words.size() == 2) {
        const auto seconds = number(words[1]);
        if (!seconds || *seconds < 0.0 || *seconds > 1e6) return "advance <seconds>, 0 or more";
        testing::advanceSeconds(*seconds);
        return {};
    }
    if (verb == "remove" || verb == "restore") {
        if (lower(all[0]) == "at") return "'" + verb + "' names its carrier itself, without 'at'";
        if (words.size() < 2 || words.size() > 3) return verb + " <resource> [<position>]";
        // The carrier, or with a position the module there.
        std::optional<int> position = 0;
        if (words.size() == 3) {
            position = integer(words[2]);
            if (!position || *position < 1 || *position > 4) return "position must be 1..4";
        }
        auto model = BenchSimulation::instance().carrier(words[1]);
        if (!model) return "no carrier '" + words[1] + "' on the bench";
        if (*position > 0 && model->moduleType(*position) == 0) return "no module at that position";
        testing::setRemoved(words[1], *position, verb == "remove");
        return {};
    }
    if (targets.empty()) return "no SORVI module on the bench";

    if (verb == "input") {
        if (words.size() < 3) return "input <channels> <signal>";
        const auto channels = parseChannels(words[1]);
        if (!channels) return "bad channels '" + words[1] + "'";
        if (lower(words[2]) == "live" && words.size() == 3) {
            for (const Target& t : targets)
                for (int k = 1; k <= 32; ++k)
                    if (*channels & (1u << (k - 1))) testing::setInput(t.carrier, t.position, k, defaultLiveInput(k));
            return {};
        }
        std::string error;
        const auto signal = parseSignal(words, 2, error);
        if (!signal) return error;
        if (error = signalError(*signal); !error.empty()) return error;
        for (const Target& t : targets)
            for (int k = 1; k <= 32; ++k)
                if (*channels & (1u << (k - 1))) testing::setInput(t.carrier, t.position, k, *signal);
        return {};
    }
    if (verb == "follow" && words.size() == 2) {
        const std::string how = lower(words[1]);
        if (how != "on" && how != "off") return "follow on|off";
        setFollowingPrompts(how == "on");
        return {};
    }
    if (verb == "prompt" && words.size() >= 2) {
        // What the verification program asks the operator to connect: put on
        // every channel of every open module when the bench follows prompts.
        std::string error;
        const auto signal = parseSignal(words, 1, error);
        if (!signal) return error;
        if (error = signalError(*signal); !error.empty()) return error;
        if (!followingPrompts()) return {};
        for (const Target& t : targets)
            if (isOpen(t.carrier, t.position))
                for (int k = 1; k <= 32; ++k) testing::setInput(t.carrier, t.position, k, *signal);
        return {};
    }
    if (verb == "stuck" && words.size() == 3) {
        const auto channels = parseChannels(words[1]);
        if (!channels) return "bad channels '" + words[1] + "'";
        const std::string how = lower(words[2]);
        if (how != "high" && how != "low" && how != "off") return "stuck <channels> high|low|off";
        for (const Target& t : targets) {
            auto model = BenchSimulation::instance().carrier(t.carrier);
            model->withModule(t.position, [&](SorviModule& m) {
                ModuleFaults& f = m.faults();
                f.stuckHighChannels &= ~*channels;
                f.stuckLowChannels &= ~*channels;
                if (how == "high") f.stuckHighChannels |= *channels;
                if (how == "low") f.stuckLowChannels |= *channels;
            });
        }
        return {};
    }
    if (verb == "nopollack" && words.size() == 2) {
        const std::string how = lower(words[1]);
        if (how != "on" && how != "off") return "nopollack on|off";
        for (const Target& t : targets) testing::setNoPollAck(t.carrier, t.position, how == "on");
        return {};
    }
    if (verb == "id" && words.size() == 2) {
        const auto id = integer(words[1]);
        if (!id || *id < 0 || *id > 255) return "id <0..255>";
        for (const Target& t : targets) testing::setModuleId(t.carrier, t.position, static_cast<std::uint8_t>(*id));
        return {};
    }
    if (verb == "event" && words.size() == 2) {
        // integer() bounds the number before it is converted.
        const auto event = integer(words[1]);
        if (!event || !isEventCode(*event)) return "event <number>, a whole number from -32768 to 32767";
        bool raised = false;
        for (const Target& t : targets) raised = testing::raiseEvent(t.carrier, t.position, *event) || raised;
        if (!raised) return "no open session to raise the event for";
        testing::waitForEvents();
        return {};
    }
    return "unknown command '" + words[0] + "'";
}

void writeReply(char* reply, int replySize, const std::string& text) {
    if (!reply || replySize <= 0) return;
    std::snprintf(reply, static_cast<std::size_t>(replySize), "%s", text.c_str());
}

}  // namespace
}  // namespace bench

extern "C" int sorvi_bench_command(const char* command, char* reply, int replySize) {
    if (!command) {
        bench::writeReply(reply, replySize, "error: no command");
        return -1;
    }
    std::istringstream in(command);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    const std::string error = bench::run(words);
    if (!error.empty()) {
        bench::writeReply(reply, replySize, "error: " + error);
        return -1;
    }
    bench::writeReply(reply, replySize, "ok");
    return 0;
}

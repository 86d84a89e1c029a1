#include "bench_text.h"

#include <charconv>
#include <cmath>

#include "benchwin_uir.h"

namespace benchwin {
namespace {

// Shortest text that reads back as `value`; a comma for the window's texts.
std::string shortest(double value, bool comma) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (comma)
        for (char& c : text)
            if (c == '.') c = ',';
    return text;
}

// Values for the eye: to a millionth, so that sums of decimal steps read as typed.
double rounded(double v) { return std::round(v * 1e6) / 1e6; }

std::string volts(double v) { return shortest(rounded(v), true) + " В"; }

std::string seconds(double s) {
    if (s < 1e-3) return shortest(std::round(s * 1e9) / 1e3, true) + " мкс";
    if (s < 1.0) return shortest(std::round(s * 1e6) / 1e3, true) + " мс";
    return shortest(rounded(s), true) + " с";
}

std::string ohms(double r) {
    if (std::isinf(r)) return "разомкнут";
    if (r >= 1e6) return shortest(rounded(r / 1e6), true) + " МОм";
    if (r >= 1e3) return shortest(rounded(r / 1e3), true) + " кОм";
    return shortest(rounded(r), true) + " Ом";
}

}  // namespace

std::string commandNumber(double value) { return shortest(value, false); }

std::string channelWords(int choice, int channel) {
    switch (choice) {
    case 1: return "1-16";
    case 2: return "17-32";
    case 3: return std::to_string(channel);
    default: return "all";
    }
}

std::string signalWords(const SignalChoice& c) {
    switch (c.signal) {
    case SIGNAL_100K: return "100k";
    case SIGNAL_5OHM: return "5ohm";
    case SIGNAL_1V: return "1V";
    case SIGNAL_3V: return "3V";
    case SIGNAL_VOLTS: return commandNumber(c.volts) + "V";
    case SIGNAL_SQUARE:
        return "square " + commandNumber(c.low) + " " + commandNumber(c.high) + " " + commandNumber(c.periodS);
    case SIGNAL_COUNTER: return "counter";
    case SIGNAL_LIVE: return "live";
    default: return "";
    }
}

std::string describeInput(const bench::ChannelInput& in) {
    using Kind = bench::ChannelInput::Kind;
    switch (in.kind) {
    case Kind::Voltage: return volts(in.volts);
    case Kind::Resistance: return ohms(in.ohms);
    case Kind::Square:
        return "меандр " + shortest(rounded(in.low), true) + "…" + volts(in.high) + ", " + seconds(in.periodS);
    case Kind::Sequence:
        return "последовательность из " + std::to_string(in.sequence.size()) + ", шаг " + seconds(in.stepS);
    case Kind::Counter: return "двоичный счётчик";
    }
    return "";
}

std::string describeChannel(const bench::ModuleView& module, int channel) {
    const std::uint32_t bit = 1u << (channel - 1);
    std::string text = describeInput(module.inputs[static_cast<std::size_t>(channel - 1)]);
    if (module.faults.stuckHighChannels & bit) text += " (залип в 1)";
    if (module.faults.stuckLowChannels & bit) text += " (залип в 0)";
    return text;
}

std::string describeState(const bench::ModuleView& m) {
    if (!m.open) return "не открыт";
    static const char* const modes[] = {"однократный", "блочный", "циклический"};
    const char* mode = m.mode >= 0 && m.mode <= 2 ? modes[m.mode] : "?";
    return std::string("открыт, ") + (m.running ? "идёт сбор" : "остановлен") + ", режим " + mode +
           ", кадров в памяти: " + std::to_string(m.framesInMemory);
}

std::string frameText(std::uint32_t frame) {
    std::string text;
    for (int bit = 31; bit >= 0; --bit) {
        text += (frame >> bit) & 1u ? '1' : '0';
        if (bit == 16) text += ' ';
    }
    return text;
}

}  // namespace benchwin

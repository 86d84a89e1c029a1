#include "bench_units.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace bench {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Splits "4.7 kOhm" into 4.7 and "kOhm".
bool splitNumber(std::string_view text, double& number, std::string_view& unit) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(begin, end, number, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(number)) return false;
    unit = trim(std::string_view(stop, static_cast<std::size_t>(end - stop)));
    return true;
}

struct Unit {
    std::string_view text;
    double factor;
};

std::optional<double> scaled(double number, std::string_view unit, std::initializer_list<Unit> units) {
    for (const auto& u : units)
        if (unit == u.text) return number * u.factor;
    return std::nullopt;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    double number = 0.0;
    std::string_view unit;
    if (!splitNumber(text, number, unit) || !unit.empty()) return std::nullopt;
    return number;
}

std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t lo, std::int64_t hi) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<double> parseQuantity(std::string_view text, Quantity quantity) {
    double n = 0.0;
    std::string_view unit;
    if (!splitNumber(text, n, unit)) return std::nullopt;
    switch (quantity) {
    case Quantity::Volts: return scaled(n, unit, {{"", 1.0}, {"V", 1.0}, {"v", 1.0}, {"mV", 1e-3}});
    case Quantity::Ohms:
        return scaled(n, unit,
                      {{"", 1.0},
                       {"ohm", 1.0},
                       {"Ohm", 1.0},
                       {"ohms", 1.0},
                       {"Ω", 1.0},
                       {"k", 1e3},
                       {"kohm", 1e3},
                       {"kOhm", 1e3},
                       {"kΩ", 1e3},
                       {"M", 1e6},
                       {"Mohm", 1e6},
                       {"MOhm", 1e6},
                       {"MΩ", 1e6}});
    case Quantity::Seconds:
        return scaled(n, unit, {{"", 1.0}, {"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"µs", 1e-6}, {"ns", 1e-9}});
    }
    return std::nullopt;
}

std::optional<std::uint64_t> parseMemorySize(std::string_view text) {
    text = trim(text);
    std::size_t digits = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        digits = 2;
        while (digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    } else {
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    }
    const auto number = parseInteger(text.substr(0, digits), 0, INT64_MAX);
    if (!number) return std::nullopt;
    std::string unit(trim(text.substr(digits)));
    std::transform(unit.begin(), unit.end(), unit.begin(), [](unsigned char c) { return std::toupper(c); });
    int shift = -1;
    if (unit.empty() || unit == "B") shift = 0;
    for (const auto& [letter, bits] : {std::pair{'K', 10}, std::pair{'M', 20}, std::pair{'G', 30}})
        if (unit == std::string(1, letter) || unit == std::string(1, letter) + "B" ||
            unit == std::string(1, letter) + "IB")
            shift = bits;
    if (shift < 0) return std::nullopt;
    const auto value = static_cast<std::uint64_t>(*number);
    if (value > (std::uint64_t{1} << 62) >> shift) return std::nullopt;
    return value << shift;
}

std::optional<ScalarInput> parseScalarInput(std::string_view text) {
    double n = 0.0;
    std::string_view unit;
    if (!splitNumber(text, n, unit)) return std::nullopt;
    if (unit.empty() || unit == "V" || unit == "v" || unit == "mV") {
        auto volts = parseQuantity(text, Quantity::Volts);
        if (!volts) return std::nullopt;
        return ScalarInput{false, *volts};
    }
    auto ohms = parseQuantity(text, Quantity::Ohms);
    if (!ohms) return std::nullopt;
    return ScalarInput{true, *ohms};
}

}  // namespace bench

// Display formats of numeric controls, independent of the locale: the
// text is built with std::to_chars, never with printf or QLocale.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <limits>

#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

bool isIntegerType(ValueType t) {
    return t == ValueType::Int16 || t == ValueType::UInt16 || t == ValueType::Int32 || t == ValueType::UInt32;
}

int typeBits(ValueType t) { return (t == ValueType::Int16 || t == ValueType::UInt16) ? 16 : 32; }

std::string chars(double v, std::chars_format f, int precision) {
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, v, f, precision);
    if (r.ec != std::errc()) return "?";
    return std::string(buf, r.ptr);
}

// The integer a hexadecimal or binary display shows: negative values of
// signed types are shown in the type's two's complement.
std::uint64_t bitsOf(double value, ValueType type) {
    long long v = std::llround(value);
    int bits = typeBits(type);
    std::uint64_t mask = (bits >= 64) ? ~0ull : ((1ull << bits) - 1);
    if (v < 0) return std::uint64_t(v) & mask;
    return std::uint64_t(v);
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\n' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\n' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace

bool parseNumber(std::string_view text, Format format, double& value) {
    std::string s = trim(text);
    if (s.empty()) return false;
    if (format.kind == FormatKind::Hex || format.kind == FormatKind::Binary) {
        int base = format.kind == FormatKind::Hex ? 16 : 2;
        size_t start = 0;
        if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) start = 2;
        std::uint64_t v = 0;
        auto r = std::from_chars(s.data() + start, s.data() + s.size(), v, base);
        if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
        value = double(v);
        return true;
    }
    for (char& ch : s)
        if (ch == ',') ch = '.';  // a decimal comma typed on a Russian keyboard
    if (s[0] == '+') s.erase(0, 1);
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

double clampToType(double value, ValueType type, const ControlDef& def) {
    if (std::isnan(value)) value = 0;
    if (def.min && value < *def.min) value = *def.min;
    if (def.max && value > *def.max) value = *def.max;
    switch (type) {
    case ValueType::Int16: value = std::clamp(value, -32768.0, 32767.0); break;
    case ValueType::UInt16: value = std::clamp(value, 0.0, 65535.0); break;
    case ValueType::Int32: value = std::clamp(value, -2147483648.0, 2147483647.0); break;
    case ValueType::UInt32: value = std::clamp(value, 0.0, 4294967295.0); break;
    default: break;
    }
    if (isIntegerType(type)) value = std::round(value);
    return value;
}

}  // namespace detail

std::string formatNumber(double value, ValueType type, Format format) {
    using namespace detail;
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
    if (value == 0) value = 0;  // no "-0"
    int digits = std::max(0, std::min(format.digits, 60));
    switch (format.kind) {
    case FormatKind::Integer:
        if (isIntegerType(type)) return std::to_string(std::llround(value));
        return chars(value, std::chars_format::fixed, 0);
    case FormatKind::Fixed: return chars(value, std::chars_format::fixed, digits);
    case FormatKind::Scientific: {
        // "1.500000e-06" -> "1.500000E-6"
        std::string s = chars(value, std::chars_format::scientific, digits);
        size_t e = s.find('e');
        if (e == std::string::npos) return s;
        std::string mant = s.substr(0, e);
        int exp = std::atoi(s.c_str() + e + 1);
        return mant + (exp < 0 ? "E-" : "E+") + std::to_string(std::abs(exp));
    }
    case FormatKind::Hex:
    case FormatKind::Binary: {
        bool hex = format.kind == FormatKind::Hex;
        std::uint64_t v = bitsOf(value, type);
        char buf[80];
        auto r = std::to_chars(buf, buf + sizeof buf, v, hex ? 16 : 2);
        std::string s(buf, r.ptr);
        for (char& ch : s) ch = char(std::toupper(static_cast<unsigned char>(ch)));
        if (int(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), '0');
        return s;
    }
    }
    return {};
}

}  // namespace tk

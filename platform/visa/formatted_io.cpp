#include "formatted_io.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace visa {
namespace {

struct Conversion {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool widthFromArgs = false;
    bool sizeFromArgs = false;  // VISA '#': the buffer size is an argument
    bool suppress = false;      // scanf '*'
    std::string length;         // "", "h", "l", "ll", "L", "z"
    char conversion = 0;
    std::string set;  // %[...]
};

// Widths and precisions above this are refused: no field of an instrument
// message is this long, and a bigger one would only cost time and memory.
constexpr int kMaxField = 65536;

// A decimal number of a format at fmt[i], advancing i; -1 when it is too big.
int readField(const char* fmt, std::size_t& i) {
    int value = 0;
    while (std::isdigit(static_cast<unsigned char>(fmt[i]))) {
        if (value > kMaxField) value = kMaxField + 1;  // stays too big, never wraps
        else value = value * 10 + (fmt[i] - '0');
        ++i;
    }
    return value > kMaxField ? -1 : value;
}

// Parses the conversion that starts after '%' at fmt[i]; advances i to the
// conversion character. False for a malformed conversion.
bool parseConversion(const char* fmt, std::size_t& i, Conversion& conv, bool scanning) {
    while (fmt[i] && std::strchr(scanning ? "*#" : "-+ #0", fmt[i])) {
        if (fmt[i] == '#') conv.sizeFromArgs = true;
        if (fmt[i] == '*' && scanning) conv.suppress = true;
        if (!scanning) conv.flags += fmt[i];
        ++i;
    }
    if (fmt[i] == '*' && !scanning) {
        conv.widthFromArgs = true;
        ++i;
    } else if (std::isdigit(static_cast<unsigned char>(fmt[i]))) {
        conv.width = readField(fmt, i);
        if (conv.width < 0) return false;
    }
    if (fmt[i] == '.' && !scanning) {
        ++i;
        conv.precision = 0;
        if (fmt[i] == '*') {
            conv.precision = -2;  // from the arguments
            ++i;
        } else {
            conv.precision = readField(fmt, i);
            if (conv.precision < 0) return false;
        }
    }
    if (fmt[i] == 'h' || fmt[i] == 'l' || fmt[i] == 'L' || fmt[i] == 'z') {
        conv.length = fmt[i++];
        if (conv.length == "l" && fmt[i] == 'l') conv.length += fmt[i++];
    }
    conv.conversion = fmt[i];
    if (conv.conversion == '[' && scanning) {
        std::size_t j = i + 1;
        if (fmt[j] == '^') ++j;
        if (fmt[j] == ']') ++j;
        while (fmt[j] && fmt[j] != ']') ++j;
        if (!fmt[j]) return false;
        conv.set.assign(fmt + i + 1, j - i - 1);
        i = j;
    }
    return conv.conversion != 0;
}

template <typename... A>
void appendf(std::string& out, const std::string& f, A... values) {
    char small[128];
    const int n = std::snprintf(small, sizeof small, f.c_str(), values...);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::snprintf(big.data(), big.size(), f.c_str(), values...);
    out.append(big.data(), static_cast<std::size_t>(n));
}

}  // namespace

ViStatus formatText(std::string& out, const char* fmt, va_list& args) {
    if (!fmt) return VI_ERROR_INV_FMT;
    for (std::size_t i = 0; fmt[i]; ++i) {
        if (fmt[i] != '%') {
            out += fmt[i];
            continue;
        }
        ++i;
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        Conversion conv;
        if (!parseConversion(fmt, i, conv, false)) return VI_ERROR_INV_FMT;
        int width = conv.width, precision = conv.precision;
        if (conv.widthFromArgs) {
            width = va_arg(args, int);
            if (width < -kMaxField || width > kMaxField) return VI_ERROR_INV_FMT;
            if (width < 0) {  // a negative width from the arguments means left-justified
                conv.flags += '-';
                width = -width;
            }
        }
        if (precision == -2) {
            precision = va_arg(args, int);
            if (precision > kMaxField) return VI_ERROR_INV_FMT;
            if (precision < 0) precision = -1;  // as if none was given
        }
        std::string f = "%" + conv.flags;
        if (width >= 0) f += std::to_string(width);
        if (precision >= 0) f += "." + std::to_string(precision);
        switch (conv.conversion) {
        case 'd':
        case 'i':
            if (conv.length == "ll" || conv.length == "L") appendf(out, f + "lld", va_arg(args, long long));
            else if (conv.length == "z") appendf(out, f + "zd", va_arg(args, std::ptrdiff_t));
            else if (conv.length == "h") appendf(out, f + "d", static_cast<short>(va_arg(args, int)));
            else appendf(out, f + "d", va_arg(args, int));  // 'l' is ViInt32 in VISA
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            if (conv.length == "ll" || conv.length == "L")
                appendf(out, f + "ll" + conv.conversion, va_arg(args, unsigned long long));
            else if (conv.length == "z") appendf(out, f + "z" + conv.conversion, va_arg(args, std::size_t));
            else if (conv.length == "h")
                appendf(out, f + conv.conversion, static_cast<unsigned short>(va_arg(args, unsigned)));
            else appendf(out, f + conv.conversion, va_arg(args, unsigned));
            break;
        case 'f':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
            if (conv.length == "L") appendf(out, f + "L" + conv.conversion, va_arg(args, long double));
            else appendf(out, f + conv.conversion, va_arg(args, double));
            break;
        case 'c': appendf(out, f + "c", va_arg(args, int)); break;
        case 's': {
            const char* s = va_arg(args, const char*);
            if (!s) return VI_ERROR_USER_BUF;
            appendf(out, f + "s", s);
            break;
        }
        case 'b':
        case 'B':
        case 'y': return VI_ERROR_NSUP_FMT;
        default: return VI_ERROR_INV_FMT;
        }
    }
    return VI_SUCCESS;
}

ViStatus scanText(std::string& input, std::size_t& pos, const char* fmt, va_list& args,
                  const std::function<ViStatus(std::string&)>& more) {
    if (!fmt) return VI_ERROR_INV_FMT;
    // Makes sure at least one unread character is there, fetching the next
    // message when the input is used up.
    const auto available = [&]() -> ViStatus {
        if (pos < input.size()) return VI_SUCCESS;
        if (!more) return VI_ERROR_TMO;
        return more(input);
    };
    const auto skipSpace = [&]() -> ViStatus {
        while (true) {
            if (const ViStatus st = available(); st != VI_SUCCESS) return st;
            if (!std::isspace(static_cast<unsigned char>(input[pos]))) return VI_SUCCESS;
            ++pos;
        }
    };

    for (std::size_t i = 0; fmt[i]; ++i) {
        const char c = fmt[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            while (pos < input.size() && std::isspace(static_cast<unsigned char>(input[pos]))) ++pos;
            continue;
        }
        if (c != '%' || fmt[i + 1] == '%') {
            if (c == '%') ++i;
            if (const ViStatus st = available(); st != VI_SUCCESS) return st;
            if (input[pos] != fmt[i]) return VI_SUCCESS;  // input does not match: stop here
            ++pos;
            continue;
        }
        ++i;
        Conversion conv;
        if (!parseConversion(fmt, i, conv, true)) return VI_ERROR_INV_FMT;
        // Where a text goes and how much it may hold.
        ViInt32* sizeArg = nullptr;
        std::size_t capacity = SIZE_MAX;
        if (conv.sizeFromArgs && !conv.suppress) {
            sizeArg = va_arg(args, ViInt32*);
            if (!sizeArg || *sizeArg <= 0) return VI_ERROR_USER_BUF;
            capacity = static_cast<std::size_t>(*sizeArg);
        }
        if (conv.width > 0) capacity = std::min<std::size_t>(capacity, static_cast<std::size_t>(conv.width) + 1);
        const auto storeText = [&](const std::string& text, bool terminate) -> ViStatus {
            if (conv.suppress) return VI_SUCCESS;
            char* dest = va_arg(args, char*);
            if (!dest) return VI_ERROR_USER_BUF;
            std::size_t n = text.size();
            if (capacity != SIZE_MAX) n = std::min(n, terminate ? capacity - 1 : capacity);
            std::memcpy(dest, text.data(), n);
            if (terminate) dest[n] = '\0';
            if (sizeArg) *sizeArg = static_cast<ViInt32>(n);
            return VI_SUCCESS;
        };

        switch (conv.conversion) {
        case 't':
        case 'T': {
            // The rest of the message, its end included.
            if (const ViStatus st = available(); st != VI_SUCCESS) return st;
            const std::string text = input.substr(pos);
            pos = input.size();
            if (const ViStatus st = storeText(text, true); st != VI_SUCCESS) return st;
            break;
        }
        case 's': {
            if (const ViStatus st = skipSpace(); st != VI_SUCCESS) return st;
            std::size_t end = pos;
            const std::size_t limit = conv.width > 0 ? pos + static_cast<std::size_t>(conv.width) : SIZE_MAX;
            while (end < input.size() && end < limit && !std::isspace(static_cast<unsigned char>(input[end]))) ++end;
            const std::string text = input.substr(pos, end - pos);
            pos = end;
            if (const ViStatus st = storeText(text, true); st != VI_SUCCESS) return st;
            break;
        }
        case '[': {
            if (const ViStatus st = available(); st != VI_SUCCESS) return st;
            const bool negate = !conv.set.empty() && conv.set[0] == '^';
            const std::string set = negate ? conv.set.substr(1) : conv.set;
            const auto inSet = [&](char ch) {
                for (std::size_t k = 0; k < set.size(); ++k) {
                    if (k + 2 < set.size() && set[k + 1] == '-') {
                        if (ch >= set[k] && ch <= set[k + 2]) return true;
                        k += 2;
                    } else if (set[k] == ch) {
                        return true;
                    }
                }
                return false;
            };
            std::size_t end = pos;
            while (end < input.size() && inSet(input[end]) != negate &&
                   (conv.width <= 0 || end - pos < static_cast<std::size_t>(conv.width)))
                ++end;
            if (end == pos) return VI_SUCCESS;
            const std::string text = input.substr(pos, end - pos);
            pos = end;
            if (const ViStatus st = storeText(text, true); st != VI_SUCCESS) return st;
            break;
        }
        case 'c': {
            // The width (1 when none) is how many characters are read; with
            // '#' no more than the size argument are stored, and it is set
            // to how many were.
            const std::size_t n = conv.width > 0 ? static_cast<std::size_t>(conv.width) : 1;
            std::string text;
            while (text.size() < n) {
                if (const ViStatus st = available(); st != VI_SUCCESS) return st;
                const std::size_t take = std::min(n - text.size(), input.size() - pos);
                text.append(input, pos, take);
                pos += take;
            }
            capacity = sizeArg ? static_cast<std::size_t>(*sizeArg) : SIZE_MAX;
            if (const ViStatus st = storeText(text, false); st != VI_SUCCESS) return st;
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o': {
            if (const ViStatus st = skipSpace(); st != VI_SUCCESS) return st;
            const int base = conv.conversion == 'x' || conv.conversion == 'X' ? 16 : conv.conversion == 'o' ? 8 : 10;
            const std::string rest = input.substr(pos, 64);
            char* end = nullptr;
            const long long value = conv.conversion == 'i' ? std::strtoll(rest.c_str(), &end, 0)
                                                           : std::strtoll(rest.c_str(), &end, base);
            if (end == rest.c_str()) return VI_SUCCESS;
            pos += static_cast<std::size_t>(end - rest.c_str());
            if (conv.suppress) break;
            void* dest = va_arg(args, void*);
            if (!dest) return VI_ERROR_USER_BUF;
            if (conv.length == "h") *static_cast<std::int16_t*>(dest) = static_cast<std::int16_t>(value);
            else if (conv.length == "ll" || conv.length == "L") *static_cast<std::int64_t*>(dest) = value;
            else *static_cast<std::int32_t*>(dest) = static_cast<std::int32_t>(value);
            break;
        }
        case 'f':
        case 'e':
        case 'E':
        case 'g':
        case 'G': {
            if (const ViStatus st = skipSpace(); st != VI_SUCCESS) return st;
            std::size_t start = pos;
            if (start < input.size() && input[start] == '+') ++start;
            double value = 0.0;
            auto [end, ec] = std::from_chars(input.data() + start, input.data() + input.size(), value);
            if (ec != std::errc()) return VI_SUCCESS;
            pos = static_cast<std::size_t>(end - input.data());
            if (conv.suppress) break;
            void* dest = va_arg(args, void*);
            if (!dest) return VI_ERROR_USER_BUF;
            if (conv.length == "l" || conv.length == "L") *static_cast<double*>(dest) = value;
            else *static_cast<float*>(dest) = static_cast<float>(value);
            break;
        }
        case 'b':
        case 'B':
        case 'y': return VI_ERROR_NSUP_FMT;
        default: return VI_ERROR_INV_FMT;
        }
    }
    return VI_SUCCESS;
}

}  // namespace visa

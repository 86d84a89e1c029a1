// The formatted reading of viScanf/viQueryf over any reply. The first byte
// picks a format (with buffers of the right size, checked for overruns), or
// asks for a format taken from the input, with every conversion suppressed
// so that it needs no arguments. The reply is split at line feeds into the
// messages that the reading fetches one by one.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "formatted_io.h"

namespace {

std::vector<std::string> messages;
std::size_t nextMessage = 0;

ViStatus more(std::string& input) {
    if (nextMessage >= messages.size()) return VI_ERROR_TMO;
    input += messages[nextMessage++];
    return VI_SUCCESS;
}

ViStatus scan(const char* fmt, ...) {
    std::string input;
    std::size_t pos = 0;
    va_list args;
    va_start(args, fmt);
    const ViStatus st = visa::scanText(input, pos, fmt, args, more);
    va_end(args);
    if (pos > input.size()) __builtin_trap();
    return st;
}

// A buffer with a guard zone after its usable size.
struct Guarded {
    static constexpr std::size_t kGuard = 16;
    std::vector<char> bytes;
    explicit Guarded(std::size_t size) : bytes(size + kGuard, '\x5A') {}
    char* data() { return bytes.data(); }
    void check(std::size_t size) const {
        for (std::size_t i = size; i < bytes.size(); ++i)
            if (bytes[i] != '\x5A') __builtin_trap();
    }
};

void fixedFormat(unsigned which) {
    ViInt32 i32 = 0;
    ViInt16 i16 = 0;
    long long i64 = 0;
    float f = 0;
    double d = 0;
    Guarded text(32);
    ViInt32 size = 32;
    switch (which % 14) {
    case 0: scan("%d", &i32); break;
    case 1: scan("%hd,%lld;%x", &i16, &i64, &i32); break;
    case 2: scan("%f %lf", &f, &d); break;
    case 3: scan("%31s", text.data()); break;
    case 4: scan("%#s", &size, text.data()); break;
    case 5: scan("%#t", &size, text.data()); break;
    case 6: scan("%31t", text.data()); break;
    case 7: scan("%31[^,],%d", text.data(), &i32); break;
    case 8: scan("%#[A-Z0-9]", &size, text.data()); break;
    case 9: scan("%#c", &size, text.data()); break;
    case 10: scan("%#40c", &size, text.data()); break;
    case 11: scan("%32c", text.data()); break;
    case 12: scan("%*d%*s%31s", text.data()); break;
    case 13: scan("%i %o %X", &i32, &i32, &i32); break;
    }
    text.check(32);
    if (size < 0 || size > 32) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned mode = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string format;
    if (mode >= 0xE0) {
        // A format from the input, up to the first NUL, every conversion suppressed.
        const std::size_t nul = rest.find('\0');
        const std::string_view raw = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view{} : rest.substr(nul + 1);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            format += raw[i];
            if (raw[i] != '%') continue;
            if (i + 1 < raw.size() && raw[i + 1] == '%') format += raw[++i];
            else format += '*';
        }
    }
    messages.clear();
    nextMessage = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::size_t n = end == std::string_view::npos ? rest.size() : end + 1;
        messages.emplace_back(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    if (mode >= 0xE0) scan(format.c_str());
    else fixedFormat(mode);
    return 0;
}

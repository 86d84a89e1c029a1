// Windows-1251 <-> UTF-8 with iconv. Bad input never stops the conversion:
// it is replaced and the rest goes on.
#include <paneltk/text_cp1251.h>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace tk {
namespace {

// Length of the UTF-8 sequence that starts with this byte (1 for a bad one).
size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// Converts with iconv; on a byte sequence it cannot take, appends
// replacement and skips skip(bytes) input bytes.
template <typename Skip>
std::string convert(const char* to, const char* from, std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::string(in);
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, size_t(dst - buf));
        if (r != size_t(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ (bad or unmappable) or EINVAL (cut short at the end).
        out.append(replacement);
        size_t n = std::min(skip(static_cast<unsigned char>(*src)), srcLeft);
        if (errno == EINVAL) n = srcLeft;
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string fromCp1251(std::string_view cp1251) {
    return convert("UTF-8", "CP1251", cp1251, "\xEF\xBF\xBD", [](unsigned char) { return size_t(1); });
}

std::string toCp1251(std::string_view utf8) { return convert("CP1251", "UTF-8", utf8, "?", utf8Length); }

}  // namespace tk

#include "driver_text.h"

#include <iconv.h>

#include <cstdio>
#include <vector>

#include "command_error.h"
#include "lumex.h"
#include "tarvo_32.h"

namespace sorvictl {

std::string fromCp1251(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return bytes;
    std::vector<char> out(bytes.size() * 3 + 1);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) return bytes;
    return std::string(out.data(), static_cast<size_t>(outPtr - out.data()));
}

std::string statusText(ViSession vi, ViStatus status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    char text[LUMEX_TEXT_SIZE] = {};
    const ViStatus found = vi != VI_NULL ? lumex_error_message(vi, status, text)
                                         : tarvo_error_message(VI_NULL, status, text);
    if (found < VI_SUCCESS || text[0] == '\0') return code;
    return std::string(code) + " " + fromCp1251(text);
}

void check(ViSession vi, ViStatus status, const std::string& what) {
    if (status < VI_SUCCESS) throw CommandError(what + ": " + statusText(vi, status));
}

}  // namespace sorvictl

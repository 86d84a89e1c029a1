// VISA resource names: viParseRsrc, viParseRsrcEx and viOpen over any text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "visa.h"
#include "visa_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const ViSession rm = fuzzResourceManager();
    ViUInt16 type = 0, number = 0;
    viParseRsrc(rm, name.c_str(), &type, &number);
    ViChar cls[VI_FIND_BUFLEN + 8], expanded[VI_FIND_BUFLEN + 8], alias[VI_FIND_BUFLEN + 8];
    std::memset(cls, 0x5A, sizeof cls);
    std::memset(expanded, 0x5A, sizeof expanded);
    std::memset(alias, 0x5A, sizeof alias);
    if (viParseRsrcEx(rm, name.c_str(), &type, &number, cls, expanded, alias) >= VI_SUCCESS) {
        // Nothing past the documented buffer size is written.
        for (ViChar* buf : {cls, expanded, alias})
            for (std::size_t i = VI_FIND_BUFLEN; i < VI_FIND_BUFLEN + 8; ++i)
                if (buf[i] != 0x5A) __builtin_trap();
    }
    ViSession vi = VI_NULL;
    if (viOpen(rm, name.c_str(), VI_NULL, VI_TMO_IMMEDIATE, &vi) >= VI_SUCCESS) viClose(vi);
    return 0;
}

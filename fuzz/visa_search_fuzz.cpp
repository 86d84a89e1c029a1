// VISA search expressions with attribute filters (viFindRsrc) over any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "visa.h"
#include "visa_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string expr(reinterpret_cast<const char*>(data), size);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    if (viFindRsrc(fuzzResourceManager(), expr.c_str(), &list, &count, desc) >= VI_SUCCESS) {
        for (ViUInt32 i = 1; i < count; ++i) viFindNext(list, desc);
        viClose(list);
    }
    return 0;
}

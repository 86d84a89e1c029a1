// The identification reply of a USB or TCP/IP resource, any bytes and any
// length, as the verification program and the host take it apart. The first
// byte picks the interface type.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "carrier_discovery.h"
#include "si.h"
#include "visa.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const ViUInt16 type = (data[0] & 1) ? VI_INTF_TCPIP : VI_INTF_USB;
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);

    // verisk reads at most 255 characters into a zeroed buffer (%255t).
    char buffer[256] = {};
    std::memcpy(buffer, reply.data(), reply.size() < 255 ? reply.size() : 255);
    InstrInfo rec;
    rec.intfType = type;
    if (kuboltFromReply(buffer, "192.168.1.20", rec)) {
        if (rec.serial.size() > 4 * kSerialChars || rec.label.size() > 4 * kNameChars) __builtin_trap();
    }

    // The host reads at most 255 bytes with viRead.
    discovery::CarrierInfo info;
    if (discovery::kuboltFromReply(reply.substr(0, 255), type, "192.168.1.20", info)) {
        if (info.serial.size() > 31) __builtin_trap();
    }
    return 0;
}

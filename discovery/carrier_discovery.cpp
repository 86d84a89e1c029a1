#include "carrier_discovery.h"

#include <cstdio>

#include "visa.h"

namespace discovery {
namespace {

std::string format(const char* pattern, auto... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

CarrierInfo withLabel(Carrier carrier) {
    CarrierInfo info;
    info.label = carrierLabel(carrier);
    static_cast<Carrier&>(info) = std::move(carrier);
    return info;
}

}  // namespace

std::string carrierLabel(const Carrier& c) {
    switch (c.kind) {
    case CarrierKind::Vxi: {
        const std::string_view family = discovery::vxiCarrierFamily(c.modelCode);
        return format("%.*s  Л.А.крейта:0x%02X, слот:%d  (%s)", int(family.size()), family.data(),
                      unsigned(c.crateLA) & 0xFFu, int(c.slot), c.resourceName.c_str());
    }
    case CarrierKind::KuboltTcpip: return format("Kubolt, LXI (%s, №:%s)", c.address.c_str(), c.serial.c_str());
    case CarrierKind::KuboltUsb: return format("Kubolt, USB (№:%s)", c.serial.c_str());
    }
    return {};
}

bool kuboltFromReply(std::string_view reply, ViUInt16 intfType, const char* address, CarrierInfo& info) {
    Carrier carrier;
    carrier.resourceName = info.resourceName;
    carrier.intfType = intfType;
    if (intfType == VI_INTF_TCPIP && address != nullptr) carrier.address = address;
    if (!discovery::kuboltFromReply(reply, carrier)) return false;
    info = withLabel(std::move(carrier));
    return true;
}

DiscoveryResult discoverCarriers() {
    discovery::SearchResult found = discovery::findCarriers();
    DiscoveryResult result;
    // An empty bus is not a failure of the search.
    result.status = found.status == VI_ERROR_RSRC_NFOUND ? VI_SUCCESS : found.status;
    for (Carrier& carrier : found.carriers) result.carriers.push_back(withLabel(std::move(carrier)));
    return result;
}

}  // namespace discovery

// The carriers the host lists: the shared carrier search, with the host's
// one-line labels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "carrier_search.h"
#include "visatype.h"

namespace discovery {

struct CarrierInfo : Carrier {
    std::string label;  // one line, for the host's carrier list
};

struct DiscoveryResult {
    // Negative when the bus could not be searched at all (no resource
    // manager, or the search failed). "Nothing found" is success with an
    // empty list.
    ViStatus status = 0;
    std::vector<CarrierInfo> carriers;
};

// Searches "?*INSTR" and keeps the carriers, in the order of the search.
DiscoveryResult discoverCarriers();

// The host's label of a carrier the search found.
std::string carrierLabel(const Carrier& carrier);

// What a USB or TCP/IP resource's identification reply (raw bytes, line end
// included) makes of it: false when it is not a Kubolt box; else the kind,
// model code, serial and label of info are set. address is the TCP/IP
// address text (ignored for USB).
bool kuboltFromReply(std::string_view reply, ViUInt16 intfType, const char* address, CarrierInfo& info);

}  // namespace discovery

// Finding the mezzanine carriers on the instrument bus through VISA.
//
// A VXI (or GPIB-VXI) resource is a carrier when it reports the maker's
// identification 0xE76, one of the three carrier model codes and a slot from
// 1 to 12. A USB or TCP/IP resource is a Kubolt box when, under an exclusive
// lock, it answers "*IDN?" with a reply that begins "VELTRONA,TARVO".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "visatype.h"

namespace host {

enum class CarrierKind { Vxi, KuboltUsb, KuboltTcpip };

struct CarrierInfo {
    std::string resourceName;     // as the resource search returned it
    std::string label;            // one line, for the host's carrier list
    CarrierKind kind = CarrierKind::Vxi;
    std::uint16_t modelCode = 0;  // VXI: low 12 bits; Kubolt: 0x1004
    int crateLA = -1;             // VXI only
    int slot = -1;                // VXI only
    std::string serial;           // Kubolt only
};

struct DiscoveryResult {
    // Negative when the bus could not be searched at all (no resource
    // manager, or the search failed). "Nothing found" is success with an
    // empty list.
    ViStatus status = 0;
    std::vector<CarrierInfo> carriers;
};

inline constexpr std::uint16_t kCarrierMaker = 0xE76;
inline constexpr std::uint16_t kKuboltModelCode = 0x1004;
inline constexpr std::string_view kKuboltIdPrefix = "VELTRONA,TARVO";
inline constexpr unsigned kKuboltLockTimeoutMs = 2000;

// Searches "?*INSTR" and keeps the carriers, in the order of the search.
DiscoveryResult discoverCarriers();

// Pieces of the classification, exposed for tests.
// The carrier family name of a VXI model code ("Н.М.", "Н.М.У.", "Н.М.М."),
// or empty when the code is not a carrier's.
std::string_view vxiCarrierFamily(std::uint16_t modelCode);
// The serial number in a Kubolt identification reply ("VELTRONA,TARVO,0457,1.02"
// gives "0457"): from the second character after the prefix up to the next
// comma or the end, at most 31 characters. Empty when the prefix is missing.
bool parseKuboltReply(std::string_view reply, std::string& serial);
// What a USB or TCP/IP resource's identification reply (raw bytes, line end
// included) makes of it: false when it is not a Kubolt box; else the kind,
// model code, serial and label of info are set. address is the TCP/IP
// address text (ignored for USB).
bool kuboltFromReply(std::string_view reply, ViUInt16 intfType, const char* address, CarrierInfo& info);

}  // namespace host

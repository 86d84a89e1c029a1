// Finding the mezzanine carriers on the instrument bus through VISA, the one
// set of rules every program uses.
//
// Every "?*INSTR" resource is opened and asked what it is. A VXI (or
// GPIB-VXI) resource is a carrier when it reports the maker's identification
// 0xE76, one of the three carrier model codes (low 12 bits) and a slot from
// 1 to 12. A USB or TCP/IP resource is a Kubolt box when, under an exclusive
// lock, it answers "*IDN?" with a reply that begins "VELTRONA,TARVO".
//
// What a program shows for a carrier (its label) is the program's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "visatype.h"

namespace discovery {

inline constexpr std::uint16_t kCarrierMaker = 0xE76;
inline constexpr std::uint16_t kKuboltModelCode = 0x1004;
inline constexpr std::string_view kKuboltIdPrefix = "VELTRONA,TARVO";
inline constexpr ViUInt32 kKuboltLockTimeoutMs = 2000;
inline constexpr ViInt16 kFirstCarrierSlot = 1;
inline constexpr ViInt16 kLastCarrierSlot = 12;
// Longest serial number kept, in bytes.
inline constexpr std::size_t kMaxSerialBytes = 31;

enum class CarrierKind { Vxi, KuboltUsb, KuboltTcpip };

struct Carrier {
    std::string resourceName;  // as the resource search returned it
    CarrierKind kind = CarrierKind::Vxi;
    ViUInt16 intfType = 0;        // VISA interface type
    std::uint16_t modelCode = 0;  // VXI: low 12 bits; Kubolt: 0x1004
    std::uint16_t crateLA = 0;    // VXI: logical address of the crate's mainframe
    std::uint16_t la = 0;         // VXI: the carrier's own logical address
    std::uint16_t slot = 0;       // VXI: 1 to 12
    std::string serial;           // Kubolt: serial number from the reply
    std::string address;          // Kubolt over TCP/IP: its address text
};

struct SearchResult {
    // The status of the resource manager or of the search when either failed
    // (VI_ERROR_RSRC_NFOUND for a bus with no resources at all), else
    // VI_SUCCESS. A search that fails half-way keeps what it found.
    ViStatus status = 0;
    std::vector<Carrier> carriers;  // in the order of the search
};

// Searches the bus; stops once `limit` carriers are found.
SearchResult findCarriers(std::size_t limit = std::numeric_limits<std::size_t>::max());

// The carrier family name of a VXI model code ("Н.М.", "Н.М.У.", "Н.М.М."),
// or empty when the code (low 12 bits) is not a carrier's.
std::string_view vxiCarrierFamily(std::uint16_t modelCode);

// The serial number in an identification reply ("VELTRONA,TARVO,0457,1.02"
// gives "0457"), or nothing when the reply is not a Kubolt box's. The reply
// ends at a NUL byte; trailing CR/LF are not part of it. The serial runs from
// the second character after the prefix up to the next comma, at most 31
// bytes, never cut inside a UTF-8 character.
std::optional<std::string> kuboltSerial(std::string_view reply);

// What the identification reply of a USB or TCP/IP resource makes of
// carrier, whose intfType (and, over TCP/IP, address) is set: false when it is
// not a Kubolt box, else kind, model code and serial are set.
bool kuboltFromReply(std::string_view reply, Carrier& carrier);

}  // namespace discovery

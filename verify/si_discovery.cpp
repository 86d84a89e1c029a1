// Instrument discovery: the carriers the shared search finds, as verisk lists
// them (its records and labels).
#include "carrier_search.h"
#include "si.h"
#include "text_format.h"
#include "visa.h"

std::array<InstrInfo, kMaxInstruments> Instruments;
InstrInfo* CurrentInstr = nullptr;

namespace {

// The record verisk keeps for a carrier the search found.
InstrInfo instrumentRecord(const discovery::Carrier& carrier) {
    InstrInfo rec;
    rec.rsrcName = truncateChars(carrier.resourceName, kNameChars);
    rec.intfType = carrier.intfType;
    rec.modelCode = carrier.modelCode;
    rec.serial = carrier.serial;
    if (carrier.kind == discovery::CarrierKind::Vxi) {
        rec.crateLA = carrier.crateLA;
        rec.la = carrier.la;
        rec.slot = carrier.slot;
        rec.label = vxiCarrierLabel(rec.modelCode, rec.crateLA, rec.slot, rec.rsrcName);
    } else {
        rec.slot = 255;
        rec.la = 255;
        rec.label = kuboltLabel(rec.intfType, carrier.address, rec.serial);
    }
    return rec;
}

}  // namespace

std::string vxiCarrierLabel(std::uint16_t modelCode, std::uint16_t crateLA, std::uint16_t slot,
                            std::string_view rsrcName) {
    const char* format = nullptr;
    switch (modelCode) {
    case 0x10D: format = "Н.М.  Л.А.крейта:0x%02X, слот:%d\n(%.*s)"; break;
    case 0x155: format = "Н.М.У.  Л.А.крейта:0x%02X, слот:%d\n(%.*s)"; break;
    case 0x177: format = "Н.М.М.  Л.А.крейта:0x%02X, слот:%d\n(%.*s)"; break;
    default: return {};
    }
    return formatBounded(kNameChars, format, static_cast<unsigned>(crateLA), static_cast<int>(slot),
                         static_cast<int>(rsrcName.size()), rsrcName.data());
}

bool kuboltFromReply(const char* reply, std::string_view tcpipAddr, InstrInfo& rec) {
    discovery::Carrier carrier;
    carrier.intfType = rec.intfType;
    carrier.address = tcpipAddr;
    if (!discovery::kuboltFromReply(reply, carrier)) return false;
    carrier.resourceName = rec.rsrcName;
    rec = instrumentRecord(carrier);
    return true;
}

std::string kuboltLabel(std::uint16_t intfType, std::string_view tcpipAddr, std::string_view serial) {
    if (intfType == VI_INTF_TCPIP)
        return formatBounded(kNameChars, "Kubolt, LXI (%.*s, №:%.*s)", static_cast<int>(tcpipAddr.size()),
                             tcpipAddr.data(), static_cast<int>(serial.size()), serial.data());
    return formatBounded(kNameChars, "Kubolt, USB (№:%.*s)", static_cast<int>(serial.size()), serial.data());
}

int FindVISAinstruments() {
    const discovery::SearchResult found = discovery::findCarriers(kMaxInstruments);
    for (InstrInfo& rec : Instruments) rec = InstrInfo{};
    if (found.status < VI_SUCCESS) return found.status;
    int kept = 0;
    for (const discovery::Carrier& carrier : found.carriers) Instruments[kept++] = instrumentRecord(carrier);
    return kept;
}

// Instrument discovery: every "?*INSTR" resource is opened and identified.
// VXI carriers are listed by manufacturer and model code, Kubolt boxes by
// their reply to "*IDN?".
#include <cstring>
#include <memory>
#include <vector>

#include "si.h"
#include "text_format.h"
#include "visa.h"

std::array<InstrInfo, kMaxInstruments> Instruments;
InstrInfo* CurrentInstr = nullptr;

namespace {

constexpr ViUInt16 kLastVxiSlot = 12;      // slots 13 and above are not carrier slots
constexpr ViUInt32 kLockTimeoutMs = 2000;
constexpr std::size_t kReplyChars = 255;

std::uint16_t readUInt16(ViSession vi, ViAttr attribute, ViStatus* status = nullptr) {
    ViUInt16 value = 0;  // zeroed, so a failed read never leaves an old value behind
    const ViStatus st = viGetAttribute(vi, attribute, &value);
    if (status) *status = st;
    return st < VI_SUCCESS ? 0 : value;
}

// Identifies a VXI resource; fills the record and returns true when it is a listed carrier.
bool identifyVxi(ViSession vi, const char* rsrcName, InstrInfo& rec) {
    ViInt16 slot = 0;
    if (viGetAttribute(vi, VI_ATTR_SLOT, &slot) != VI_SUCCESS) return false;
    if (slot > static_cast<ViInt16>(kLastVxiSlot)) return false;
    if (readUInt16(vi, VI_ATTR_MANF_ID) != kVeltronaManufacturer) return false;
    rec.slot = static_cast<std::uint16_t>(slot);
    rec.rsrcName = truncateChars(rsrcName, kNameChars);
    ViInt16 mainframe = 0;
    if (viGetAttribute(vi, VI_ATTR_MAINFRAME_LA, &mainframe) < VI_SUCCESS) mainframe = 0;
    rec.crateLA = static_cast<std::uint16_t>(mainframe);
    ViInt16 la = 0;
    if (viGetAttribute(vi, VI_ATTR_VXI_LA, &la) < VI_SUCCESS) la = 0;
    rec.la = static_cast<std::uint16_t>(la);
    rec.modelCode = readUInt16(vi, VI_ATTR_MODEL_CODE) & 0x0FFF;
    rec.label = vxiCarrierLabel(rec.modelCode, rec.crateLA, rec.slot, rec.rsrcName);
    return !rec.label.empty();
}

// Asks a USB or TCP/IP resource who it is; fills the record and returns true
// for a Kubolt box.
bool identifyKubolt(ViSession vi, const char* rsrcName, InstrInfo& rec) {
    if (viLock(vi, VI_EXCLUSIVE_LOCK, kLockTimeoutMs, VI_NULL, VI_NULL) < VI_SUCCESS) return false;
    rec.rsrcName = truncateChars(rsrcName, kNameChars);
    // The field width keeps the reply inside the buffer whatever the box sends.
    char reply[kReplyChars + 1] = {};
    const ViStatus st = viQueryf(vi, const_cast<char*>("*IDN?\n"), const_cast<char*>("%255t"), reply);
    viUnlock(vi);
    reply[kReplyChars] = '\0';
    if (st < VI_SUCCESS) return false;
    std::string address;
    if (rec.intfType == VI_INTF_TCPIP) {
        char text[256] = {};
        if (viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, text) >= VI_SUCCESS) {
            text[sizeof text - 1] = '\0';
            address = text;
        }
    }
    return kuboltFromReply(reply, address, rec);
}

// Opens one resource and identifies it into rec; true when it is to be kept.
bool identifyResource(ViSession rm, const char* rsrcName, InstrInfo& rec) {
    ViSession vi = 0;
    if (viOpen(rm, const_cast<char*>(rsrcName), VI_NULL, VI_NULL, &vi) != VI_SUCCESS) return false;
    rec = InstrInfo{};
    rec.intfType = readUInt16(vi, VI_ATTR_INTF_TYPE);
    bool found = false;
    switch (rec.intfType) {
    case VI_INTF_VXI:
    case VI_INTF_GPIB_VXI:
        found = identifyVxi(vi, rsrcName, rec);
        break;
    case VI_INTF_TCPIP:
    case VI_INTF_USB:
        found = identifyKubolt(vi, rsrcName, rec);
        break;
    default:
        break;
    }
    viClose(vi);
    return found;
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

bool kuboltSerial(std::string_view reply, std::string& serial) {
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.remove_suffix(1);
    const std::string_view prefix = kKuboltIdnPrefix;
    if (reply.substr(0, prefix.size()) != prefix) return false;
    // The character right after the prefix (normally a comma) is skipped.
    std::string_view rest = reply.size() > prefix.size() + 1 ? reply.substr(prefix.size() + 1)
                                                             : std::string_view{};
    const std::size_t comma = rest.find(',');
    if (comma != std::string_view::npos) rest = rest.substr(0, comma);
    serial = truncateChars(rest, kSerialChars);
    return true;
}

bool kuboltFromReply(const char* reply, std::string_view tcpipAddr, InstrInfo& rec) {
    std::string serial;
    if (!kuboltSerial(reply, serial)) return false;
    rec.serial = serial;
    rec.label = kuboltLabel(rec.intfType, tcpipAddr, rec.serial);
    rec.modelCode = kKuboltModelCode;
    rec.slot = 255;
    rec.la = 255;
    return true;
}

std::string kuboltLabel(std::uint16_t intfType, std::string_view tcpipAddr, std::string_view serial) {
    if (intfType == VI_INTF_TCPIP)
        return formatBounded(kNameChars, "Kubolt, LXI (%.*s, №:%.*s)", static_cast<int>(tcpipAddr.size()),
                             tcpipAddr.data(), static_cast<int>(serial.size()), serial.data());
    return formatBounded(kNameChars, "Kubolt, USB (№:%.*s)", static_cast<int>(serial.size()), serial.data());
}

int FindVISAinstruments() {
    ViSession rm = 0;
    ViStatus status = viOpenDefaultRM(&rm);
    if (status < VI_SUCCESS) return status;

    ViFindList list = 0;
    ViUInt32 matches = 0;
    char name[VI_FIND_BUFLEN] = {};
    status = viFindRsrc(rm, const_cast<char*>("?*INSTR"), &list, &matches, name);
    if (status < VI_SUCCESS) {
        viClose(rm);
        return status;
    }

    std::unique_ptr<InstrInfo[]> scratch(new (std::nothrow) InstrInfo[kMaxInstruments]);
    if (!scratch) {
        viClose(list);
        viClose(rm);
        return VI_ERROR_ALLOC;
    }

    int found = 0;
    for (ViUInt32 i = 0; i < matches && found < kMaxInstruments; ++i) {
        if (i > 0) {
            // A failure half-way keeps what was found so far: those
            // instruments are real and usable.
            if (viFindNext(list, name) < VI_SUCCESS) break;
        }
        name[VI_FIND_BUFLEN - 1] = '\0';
        if (identifyResource(rm, name, scratch[found])) ++found;
    }

    int kept = 0;
    for (int i = 0; i < found; ++i) {
        if (scratch[i].slot == 0) continue;
        Instruments[kept] = scratch[i];
        Instruments[kept].carrierSession = 0;
        ++kept;
    }
    for (int i = kept; i < kMaxInstruments; ++i) Instruments[i] = InstrInfo{};

    viClose(list);
    viClose(rm);
    return kept;
}

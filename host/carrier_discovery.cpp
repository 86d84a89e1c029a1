#include "carrier_discovery.h"

#include <array>
#include <cstdio>

#include "visa.h"

namespace host {
namespace {

constexpr std::size_t kMaxSerial = 31;
constexpr ViInt16 kFirstSlot = 1;
constexpr ViInt16 kLastSlot = 12;

// Closes a VISA object when the scope ends.
class VisaObject {
public:
    VisaObject() = default;
    ~VisaObject() {
        if (handle_ != VI_NULL) viClose(handle_);
    }
    VisaObject(const VisaObject&) = delete;
    VisaObject& operator=(const VisaObject&) = delete;
    ViSession* out() { return &handle_; }
    ViSession get() const { return handle_; }

private:
    ViSession handle_ = VI_NULL;
};

std::string format(const char* pattern, auto... args) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

bool identifyVxi(ViSession resource, CarrierInfo& info) {
    ViInt16 slot = 0;
    if (viGetAttribute(resource, VI_ATTR_SLOT, &slot) != VI_SUCCESS) return false;
    if (slot < kFirstSlot || slot > kLastSlot) return false;
    ViUInt16 maker = 0;
    if (viGetAttribute(resource, VI_ATTR_MANF_ID, &maker) != VI_SUCCESS || maker != kCarrierMaker)
        return false;
    ViUInt16 model = 0;
    if (viGetAttribute(resource, VI_ATTR_MODEL_CODE, &model) != VI_SUCCESS) return false;
    model &= 0x0FFF;
    const std::string_view family = vxiCarrierFamily(model);
    if (family.empty()) return false;
    ViInt16 crate = 0;
    if (viGetAttribute(resource, VI_ATTR_MAINFRAME_LA, &crate) < VI_SUCCESS) crate = 0;

    info.kind = CarrierKind::Vxi;
    info.modelCode = model;
    info.slot = slot;
    info.crateLA = crate;
    info.label = format("%.*s  Л.А.крейта:0x%02X, слот:%d  (%s)", int(family.size()), family.data(),
                        unsigned(crate) & 0xFFu, int(slot), info.resourceName.c_str());
    return true;
}

// Sends "*IDN?" and reads one reply line while holding an exclusive lock, so
// no other program talks to the box in between.
bool askIdentification(ViSession resource, std::string& reply) {
    if (viLock(resource, VI_EXCLUSIVE_LOCK, kKuboltLockTimeoutMs, VI_NULL, VI_NULL) < VI_SUCCESS)
        return false;
    static constexpr char query[] = "*IDN?\n";
    ViUInt32 written = 0;
    bool ok = viWrite(resource, reinterpret_cast<ViConstBuf>(query), sizeof query - 1, &written) >=
              VI_SUCCESS;
    std::array<unsigned char, 256> buffer{};
    ViUInt32 got = 0;
    if (ok) ok = viRead(resource, buffer.data(), buffer.size() - 1, &got) >= VI_SUCCESS;
    viUnlock(resource);
    if (!ok) return false;
    reply.assign(reinterpret_cast<const char*>(buffer.data()), got);
    return true;
}

bool identifyKubolt(ViSession resource, ViUInt16 intfType, CarrierInfo& info) {
    std::string reply;
    if (!askIdentification(resource, reply)) return false;
    std::array<char, 256> address{};
    if (intfType == VI_INTF_TCPIP && viGetAttribute(resource, VI_ATTR_TCPIP_ADDR, address.data()) < VI_SUCCESS)
        address[0] = '\0';
    address.back() = '\0';
    return kuboltFromReply(reply, intfType, address.data(), info);
}

// Opens one resource of the search and decides whether it is a carrier.
bool identify(ViSession manager, const char* name, CarrierInfo& info) {
    VisaObject resource;
    if (viOpen(manager, name, VI_NULL, VI_NULL, resource.out()) != VI_SUCCESS) return false;
    ViUInt16 intfType = 0;
    if (viGetAttribute(resource.get(), VI_ATTR_INTF_TYPE, &intfType) < VI_SUCCESS) return false;
    info.resourceName = name;
    switch (intfType) {
        case VI_INTF_VXI:
        case VI_INTF_GPIB_VXI:
            return identifyVxi(resource.get(), info);
        case VI_INTF_TCPIP:
        case VI_INTF_USB:
            return identifyKubolt(resource.get(), intfType, info);
        default:
            return false;
    }
}

}  // namespace

std::string_view vxiCarrierFamily(std::uint16_t modelCode) {
    switch (modelCode & 0x0FFF) {
        case 0x10D: return "Н.М.";
        case 0x155: return "Н.М.У.";
        case 0x177: return "Н.М.М.";
        default: return {};
    }
}

bool kuboltFromReply(std::string_view reply, ViUInt16 intfType, const char* address, CarrierInfo& info) {
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.remove_suffix(1);
    if (!parseKuboltReply(reply, info.serial)) return false;
    info.modelCode = kKuboltModelCode;
    if (intfType == VI_INTF_TCPIP) {
        info.kind = CarrierKind::KuboltTcpip;
        info.label = format("Kubolt, LXI (%s, №:%s)", address, info.serial.c_str());
    } else {
        info.kind = CarrierKind::KuboltUsb;
        info.label = format("Kubolt, USB (№:%s)", info.serial.c_str());
    }
    return true;
}

bool parseKuboltReply(std::string_view reply, std::string& serial) {
    serial.clear();
    if (!reply.starts_with(kKuboltIdPrefix)) return false;
    reply.remove_prefix(kKuboltIdPrefix.size());
    if (!reply.empty()) reply.remove_prefix(1);  // the comma after the maker and model
    serial = std::string(reply.substr(0, std::min(reply.find(','), kMaxSerial)));
    return true;
}

DiscoveryResult discoverCarriers() {
    DiscoveryResult result;
    VisaObject manager;
    result.status = viOpenDefaultRM(manager.out());
    if (result.status < VI_SUCCESS) return result;

    VisaObject findList;
    ViUInt32 count = 0;
    std::array<char, 256> name{};
    const ViStatus found = viFindRsrc(manager.get(), "?*INSTR", findList.out(), &count, name.data());
    if (found < VI_SUCCESS) {
        // An empty bus is not a failure of the search.
        result.status = found == VI_ERROR_RSRC_NFOUND ? VI_SUCCESS : found;
        return result;
    }
    result.status = VI_SUCCESS;
    for (ViUInt32 k = 0; k < count; ++k) {
        if (k > 0 && viFindNext(findList.get(), name.data()) < VI_SUCCESS) break;  // keep what was found
        CarrierInfo info;
        if (identify(manager.get(), name.data(), info)) result.carriers.push_back(std::move(info));
    }
    return result;
}

}  // namespace host

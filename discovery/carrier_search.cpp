#include "carrier_search.h"

#include <algorithm>
#include <array>

#include "visa.h"
#include "visa_object.h"

namespace discovery {
namespace {

// Holds an exclusive lock on a resource for the scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(ViSession resource)
        : resource_(resource),
          held_(viLock(resource, VI_EXCLUSIVE_LOCK, kKuboltLockTimeoutMs, VI_NULL, VI_NULL) >= VI_SUCCESS) {}
    ~ExclusiveLock() {
        if (held_) viUnlock(resource_);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    bool held() const { return held_; }

private:
    ViSession resource_;
    bool held_;
};

bool identifyVxi(ViSession resource, Carrier& carrier) {
    ViInt16 slot = 0;
    if (viGetAttribute(resource, VI_ATTR_SLOT, &slot) != VI_SUCCESS) return false;
    if (slot < kFirstCarrierSlot || slot > kLastCarrierSlot) return false;
    ViUInt16 maker = 0;
    if (viGetAttribute(resource, VI_ATTR_MANF_ID, &maker) < VI_SUCCESS || maker != kCarrierMaker) return false;
    ViUInt16 model = 0;
    if (viGetAttribute(resource, VI_ATTR_MODEL_CODE, &model) < VI_SUCCESS) return false;
    model &= 0x0FFF;
    if (vxiCarrierFamily(model).empty()) return false;
    ViInt16 crate = 0;
    if (viGetAttribute(resource, VI_ATTR_MAINFRAME_LA, &crate) < VI_SUCCESS) crate = 0;
    ViInt16 la = 0;
    if (viGetAttribute(resource, VI_ATTR_VXI_LA, &la) < VI_SUCCESS) la = 0;

    carrier.kind = CarrierKind::Vxi;
    carrier.modelCode = model;
    carrier.slot = static_cast<std::uint16_t>(slot);
    carrier.crateLA = static_cast<std::uint16_t>(crate);
    carrier.la = static_cast<std::uint16_t>(la);
    return true;
}

// Sends "*IDN?" and reads one reply of at most 255 bytes while holding an
// exclusive lock, so no other program talks to the box in between.
bool askIdentification(ViSession resource, std::string& reply) {
    const ExclusiveLock lock(resource);
    if (!lock.held()) return false;
    static constexpr char query[] = "*IDN?\n";
    ViUInt32 written = 0;
    if (viWrite(resource, reinterpret_cast<ViConstBuf>(query), sizeof query - 1, &written) < VI_SUCCESS) return false;
    std::array<unsigned char, 256> buffer{};
    ViUInt32 got = 0;
    if (viRead(resource, buffer.data(), buffer.size() - 1, &got) < VI_SUCCESS) return false;
    reply.assign(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(got, buffer.size() - 1));
    return true;
}

bool identifyKubolt(ViSession resource, Carrier& carrier) {
    std::string reply;
    if (!askIdentification(resource, reply)) return false;
    if (carrier.intfType == VI_INTF_TCPIP) {
        std::array<char, 256> address{};
        if (viGetAttribute(resource, VI_ATTR_TCPIP_ADDR, address.data()) >= VI_SUCCESS) {
            address.back() = '\0';
            carrier.address = address.data();
        }
    }
    return kuboltFromReply(reply, carrier);
}

// Opens one resource of the search and decides whether it is a carrier.
bool identify(ViSession manager, const char* name, Carrier& carrier) {
    VisaObject resource;
    if (viOpen(manager, name, VI_NULL, VI_NULL, resource.out()) != VI_SUCCESS) return false;
    if (viGetAttribute(resource.get(), VI_ATTR_INTF_TYPE, &carrier.intfType) < VI_SUCCESS) return false;
    carrier.resourceName = name;
    switch (carrier.intfType) {
    case VI_INTF_VXI:
    case VI_INTF_GPIB_VXI: return identifyVxi(resource.get(), carrier);
    case VI_INTF_TCPIP:
    case VI_INTF_USB: return identifyKubolt(resource.get(), carrier);
    default: return false;
    }
}

// Length of the longest start of text of at most maxBytes bytes that does
// not end inside a UTF-8 character.
std::size_t utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t end = maxBytes;
    // Step back over the continuation bytes (at most three) of a character
    // that would be cut.
    while (end > 0 && maxBytes - end < 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return end;
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

std::optional<std::string> kuboltSerial(std::string_view reply) {
    reply = reply.substr(0, reply.find('\0'));
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.remove_suffix(1);
    if (!reply.starts_with(kKuboltIdPrefix)) return std::nullopt;
    reply.remove_prefix(kKuboltIdPrefix.size());
    if (!reply.empty()) reply.remove_prefix(1);  // the comma after the maker and model
    reply = reply.substr(0, reply.find(','));
    return std::string(reply.substr(0, utf8Prefix(reply, kMaxSerialBytes)));
}

bool kuboltFromReply(std::string_view reply, Carrier& carrier) {
    std::optional<std::string> serial = kuboltSerial(reply);
    if (!serial) return false;
    carrier.serial = std::move(*serial);
    carrier.kind = carrier.intfType == VI_INTF_TCPIP ? CarrierKind::KuboltTcpip : CarrierKind::KuboltUsb;
    carrier.modelCode = kKuboltModelCode;
    return true;
}

SearchResult findCarriers(std::size_t limit) {
    SearchResult result;
    VisaObject manager;
    result.status = viOpenDefaultRM(manager.out());
    if (result.status < VI_SUCCESS) return result;

    VisaObject findList;
    ViUInt32 count = 0;
    std::array<char, VI_FIND_BUFLEN> name{};
    result.status = viFindRsrc(manager.get(), "?*INSTR", findList.out(), &count, name.data());
    if (result.status < VI_SUCCESS) return result;
    result.status = VI_SUCCESS;
    for (ViUInt32 k = 0; k < count && result.carriers.size() < limit; ++k) {
        // A failure half-way keeps what was found so far: those carriers are
        // real and usable.
        if (k > 0 && viFindNext(findList.get(), name.data()) < VI_SUCCESS) break;
        name.back() = '\0';
        Carrier carrier;
        if (identify(manager.get(), name.data(), carrier)) result.carriers.push_back(std::move(carrier));
    }
    return result;
}

}  // namespace discovery

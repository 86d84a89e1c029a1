#include "resource_attributes.h"

#include <cstdio>

#include "resource_name.h"

namespace visa {
namespace {

bool isVxi(const bench::ResourceDescription& r) { return r.intfType == VI_INTF_VXI || r.intfType == VI_INTF_GPIB_VXI; }

// Field `index` (0-based) of a comma-separated *IDN? reply.
std::string idnField(const std::string& idn, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = idn.find(',', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return idn.substr(start, idn.find(',', start) - start);
}

std::string hex16(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
    return text;
}

struct NamedAttribute {
    const char* name;
    ViAttr code;
};

constexpr NamedAttribute kNames[] = {
    {"VI_ATTR_RSRC_NAME", VI_ATTR_RSRC_NAME},
    {"VI_ATTR_RSRC_CLASS", VI_ATTR_RSRC_CLASS},
    {"VI_ATTR_INTF_TYPE", VI_ATTR_INTF_TYPE},
    {"VI_ATTR_INTF_NUM", VI_ATTR_INTF_NUM},
    {"VI_ATTR_INTF_INST_NAME", VI_ATTR_INTF_INST_NAME},
    {"VI_ATTR_SLOT", VI_ATTR_SLOT},
    {"VI_ATTR_MANF_ID", VI_ATTR_MANF_ID},
    {"VI_ATTR_MODEL_CODE", VI_ATTR_MODEL_CODE},
    {"VI_ATTR_MAINFRAME_LA", VI_ATTR_MAINFRAME_LA},
    {"VI_ATTR_VXI_LA", VI_ATTR_VXI_LA},
    {"VI_ATTR_MANF_NAME", VI_ATTR_MANF_NAME},
    {"VI_ATTR_MODEL_NAME", VI_ATTR_MODEL_NAME},
    {"VI_ATTR_TCPIP_ADDR", VI_ATTR_TCPIP_ADDR},
    {"VI_ATTR_TCPIP_HOSTNAME", VI_ATTR_TCPIP_HOSTNAME},
    {"VI_ATTR_TCPIP_DEVICE_NAME", VI_ATTR_TCPIP_DEVICE_NAME},
    {"VI_ATTR_USB_SERIAL_NUM", VI_ATTR_USB_SERIAL_NUM},
    {"VI_ATTR_USB_INTFC_NUM", VI_ATTR_USB_INTFC_NUM},
    {"VI_ATTR_GPIB_PRIMARY_ADDR", VI_ATTR_GPIB_PRIMARY_ADDR},
    {"VI_ATTR_GPIB_SECONDARY_ADDR", VI_ATTR_GPIB_SECONDARY_ADDR},
};

}  // namespace

std::optional<AttributeValue> resourceAttribute(const bench::ResourceDescription& r, ViAttr attribute) {
    const auto parsed = bench::parseResourceName(r.name);
    const bool vxi = isVxi(r);
    const bool usb = r.intfType == VI_INTF_USB;
    const bool tcpip = r.intfType == VI_INTF_TCPIP;
    const bool gpib = r.intfType == VI_INTF_GPIB;
    switch (attribute) {
    case VI_ATTR_RSRC_NAME: return r.name;
    case VI_ATTR_RSRC_CLASS: return std::string("INSTR");
    case VI_ATTR_INTF_TYPE: return static_cast<long long>(r.intfType);
    case VI_ATTR_INTF_NUM: return static_cast<long long>(r.intfNum);
    case VI_ATTR_INTF_INST_NAME: return bench::interfaceInstanceName(r);
    case VI_ATTR_SLOT:
        if (vxi || r.intfType == VI_INTF_PXI) return static_cast<long long>(r.slot);
        break;
    case VI_ATTR_MAINFRAME_LA:
        if (vxi) return static_cast<long long>(r.mainframeLA);
        break;
    case VI_ATTR_VXI_LA:
        if (vxi) return static_cast<long long>(r.la);
        break;
    case VI_ATTR_MANF_ID:
        if (vxi || usb || r.intfType == VI_INTF_PXI) return static_cast<long long>(r.manfId);
        break;
    case VI_ATTR_MODEL_CODE:
        if (vxi || usb || r.intfType == VI_INTF_PXI) return static_cast<long long>(r.modelCode);
        break;
    case VI_ATTR_MANF_NAME:
        if (vxi || usb) {
            const std::string name = idnField(r.idn, 0);
            return name.empty() ? hex16(r.manfId) : name;
        }
        break;
    case VI_ATTR_MODEL_NAME:
        if (vxi || usb) {
            const std::string name = idnField(r.idn, 1);
            return name.empty() ? hex16(r.modelCode) : name;
        }
        break;
    case VI_ATTR_TCPIP_ADDR:
        if (tcpip) return r.tcpipAddr;
        break;
    case VI_ATTR_TCPIP_HOSTNAME:
        if (tcpip && parsed) return parsed->host;
        break;
    case VI_ATTR_TCPIP_DEVICE_NAME:
        if (tcpip && parsed) return parsed->lanDevice;
        break;
    case VI_ATTR_USB_SERIAL_NUM:
        if (usb && parsed) return parsed->usbSerial;
        break;
    case VI_ATTR_USB_INTFC_NUM:
        if (usb && parsed) return static_cast<long long>(parsed->usbInterface);
        break;
    case VI_ATTR_GPIB_PRIMARY_ADDR:
        if (gpib && parsed) return static_cast<long long>(parsed->gpibPrimary);
        break;
    case VI_ATTR_GPIB_SECONDARY_ADDR:
        if (gpib && parsed)
            return static_cast<long long>(parsed->gpibSecondary < 0 ? VI_NO_SEC_ADDR : parsed->gpibSecondary);
        break;
    default: break;
    }
    return std::nullopt;
}

ViAttr attributeByName(const std::string& name) {
    for (const auto& n : kNames)
        if (name == n.name) return n.code;
    return 0;
}

}  // namespace visa

// viGetAttribute and viSetAttribute: the fixed attributes of a bench resource
// and the local settings of each session.
#include <cstring>

#include "resource_attributes.h"
#include "resource_locks.h"
#include "visa_sessions.h"

namespace visa {
namespace {

enum class Type { U8, U16, I16, U32, Bool, Text, State, Session };

struct AttributeType {
    ViAttr code;
    Type type;
};

constexpr AttributeType kTypes[] = {
    {VI_ATTR_RSRC_CLASS, Type::Text},
    {VI_ATTR_RSRC_NAME, Type::Text},
    {VI_ATTR_RSRC_IMPL_VERSION, Type::U32},
    {VI_ATTR_RSRC_LOCK_STATE, Type::U32},
    {VI_ATTR_RSRC_SPEC_VERSION, Type::U32},
    {VI_ATTR_RSRC_MANF_NAME, Type::Text},
    {VI_ATTR_RSRC_MANF_ID, Type::U16},
    {VI_ATTR_MAX_QUEUE_LENGTH, Type::U32},
    {VI_ATTR_USER_DATA, Type::State},
    {VI_ATTR_RM_SESSION, Type::Session},
    {VI_ATTR_INTF_TYPE, Type::U16},
    {VI_ATTR_INTF_NUM, Type::U16},
    {VI_ATTR_INTF_INST_NAME, Type::Text},
    {VI_ATTR_TMO_VALUE, Type::U32},
    {VI_ATTR_TERMCHAR, Type::U8},
    {VI_ATTR_TERMCHAR_EN, Type::Bool},
    {VI_ATTR_SEND_END_EN, Type::Bool},
    {VI_ATTR_SUPPRESS_END_EN, Type::Bool},
    {VI_ATTR_FILE_APPEND_EN, Type::Bool},
    {VI_ATTR_DMA_ALLOW_EN, Type::Bool},
    {VI_ATTR_IO_PROT, Type::U16},
    {VI_ATTR_RD_BUF_OPER_MODE, Type::U16},
    {VI_ATTR_WR_BUF_OPER_MODE, Type::U16},
    {VI_ATTR_RD_BUF_SIZE, Type::U32},
    {VI_ATTR_WR_BUF_SIZE, Type::U32},
    {VI_ATTR_TRIG_ID, Type::I16},
    {VI_ATTR_SLOT, Type::I16},
    {VI_ATTR_MAINFRAME_LA, Type::I16},
    {VI_ATTR_VXI_LA, Type::I16},
    {VI_ATTR_MANF_ID, Type::U16},
    {VI_ATTR_MODEL_CODE, Type::U16},
    {VI_ATTR_MANF_NAME, Type::Text},
    {VI_ATTR_MODEL_NAME, Type::Text},
    {VI_ATTR_TCPIP_ADDR, Type::Text},
    {VI_ATTR_TCPIP_HOSTNAME, Type::Text},
    {VI_ATTR_TCPIP_DEVICE_NAME, Type::Text},
    {VI_ATTR_TCPIP_NODELAY, Type::Bool},
    {VI_ATTR_TCPIP_KEEPALIVE, Type::Bool},
    {VI_ATTR_USB_SERIAL_NUM, Type::Text},
    {VI_ATTR_USB_INTFC_NUM, Type::I16},
    {VI_ATTR_4882_COMPLIANT, Type::Bool},
    {VI_ATTR_GPIB_PRIMARY_ADDR, Type::U16},
    {VI_ATTR_GPIB_SECONDARY_ADDR, Type::U16},
    {VI_ATTR_GPIB_READDR_EN, Type::Bool},
    {VI_ATTR_GPIB_UNADDR_EN, Type::Bool},
};

const AttributeType* typeOf(ViAttr code) {
    for (const auto& t : kTypes)
        if (t.code == code) return &t;
    return nullptr;
}

constexpr ViVersion kImplementationVersion = 0x00100000;  // 1.0
constexpr ViUInt16 kImplementationManfId = 0x0E76;
const char* const kImplementationName = "SORVI simulated bench";

ViStatus store(Type type, const AttributeValue& value, void* out) {
    if (type == Type::Text) {
        const std::string* text = std::get_if<std::string>(&value);
        copyOut(static_cast<ViChar*>(out), text ? *text : std::string());
        return VI_SUCCESS;
    }
    const long long* n = std::get_if<long long>(&value);
    const long long v = n ? *n : 0;
    switch (type) {
    case Type::U8: *static_cast<ViUInt8*>(out) = static_cast<ViUInt8>(v); break;
    case Type::U16:
    case Type::Bool: *static_cast<ViUInt16*>(out) = static_cast<ViUInt16>(v); break;
    case Type::I16: *static_cast<ViInt16*>(out) = static_cast<ViInt16>(v); break;
    case Type::U32:
    case Type::Session: *static_cast<ViUInt32*>(out) = static_cast<ViUInt32>(v); break;
    case Type::State: *static_cast<ViAttrState*>(out) = static_cast<ViAttrState>(v); break;
    case Type::Text: break;
    }
    return VI_SUCCESS;
}

// Attributes every kind of session answers: who made this VISA.
std::optional<AttributeValue> implementationAttribute(ViAttr attribute) {
    switch (attribute) {
    case VI_ATTR_RSRC_IMPL_VERSION: return static_cast<long long>(kImplementationVersion);
    case VI_ATTR_RSRC_SPEC_VERSION: return static_cast<long long>(VI_SPEC_VERSION);
    case VI_ATTR_RSRC_MANF_NAME: return std::string(kImplementationName);
    case VI_ATTR_RSRC_MANF_ID: return static_cast<long long>(kImplementationManfId);
    default: return std::nullopt;
    }
}

std::optional<AttributeValue> sessionAttribute(const ResourceSession& s, ViAttr attribute) {
    const InstrumentState& st = *s.state;
    const bench::ResourceDescription& r = *s.resource;
    const auto b = [](bool v) { return AttributeValue(static_cast<long long>(v ? VI_TRUE : VI_FALSE)); };
    const auto n = [](long long v) { return AttributeValue(v); };
    switch (attribute) {
    case VI_ATTR_RSRC_LOCK_STATE: return n(lockState(st.resourceName));
    case VI_ATTR_TMO_VALUE: return n(st.timeoutMs);
    case VI_ATTR_MAX_QUEUE_LENGTH: return n(st.maxQueueLength);
    case VI_ATTR_USER_DATA: return n(static_cast<long long>(st.userData));
    case VI_ATTR_RM_SESSION: return n(s.entry.parent);
    case VI_ATTR_TERMCHAR: return n(st.termChar);
    case VI_ATTR_TERMCHAR_EN: return b(st.termCharEnabled);
    case VI_ATTR_SEND_END_EN: return b(st.sendEnd);
    case VI_ATTR_SUPPRESS_END_EN: return b(st.suppressEnd);
    case VI_ATTR_FILE_APPEND_EN: return b(st.fileAppend);
    case VI_ATTR_DMA_ALLOW_EN: return b(st.dmaAllowed);
    case VI_ATTR_IO_PROT: return n(st.ioProtocol);
    case VI_ATTR_RD_BUF_OPER_MODE: return n(st.readBufferMode);
    case VI_ATTR_WR_BUF_OPER_MODE: return n(st.writeBufferMode);
    case VI_ATTR_RD_BUF_SIZE: return n(st.readBufferSize);
    case VI_ATTR_WR_BUF_SIZE: return n(st.writeBufferSize);
    case VI_ATTR_TRIG_ID: return n(VI_TRIG_SW);
    case VI_ATTR_4882_COMPLIANT:
        if (r.intfType == VI_INTF_USB) return b(!r.idn.empty());
        break;
    case VI_ATTR_TCPIP_NODELAY:
        if (r.intfType == VI_INTF_TCPIP) return b(st.tcpNoDelay);
        break;
    case VI_ATTR_TCPIP_KEEPALIVE:
        if (r.intfType == VI_INTF_TCPIP) return b(st.tcpKeepAlive);
        break;
    case VI_ATTR_GPIB_READDR_EN:
        if (r.intfType == VI_INTF_GPIB) return b(st.gpibReaddress);
        break;
    case VI_ATTR_GPIB_UNADDR_EN:
        if (r.intfType == VI_INTF_GPIB) return b(st.gpibUnaddress);
        break;
    default: break;
    }
    return resourceAttribute(r, attribute);
}

bool isBool(ViAttrState v) { return v == VI_TRUE || v == VI_FALSE; }

ViStatus setSessionAttribute(const ResourceSession& s, ViAttr attribute, ViAttrState value) {
    InstrumentState& st = *s.state;
    const auto flag = [&](bool& field) {
        if (!isBool(value)) return VI_ERROR_NSUP_ATTR_STATE;
        field = value == VI_TRUE;
        return VI_SUCCESS;
    };
    switch (attribute) {
    case VI_ATTR_TMO_VALUE:
        if (value > 0xFFFFFFFFu) return VI_ERROR_NSUP_ATTR_STATE;
        st.timeoutMs = static_cast<ViUInt32>(value);
        return VI_SUCCESS;
    case VI_ATTR_TERMCHAR:
        if (value > 0xFF) return VI_ERROR_NSUP_ATTR_STATE;
        st.termChar = static_cast<ViUInt8>(value);
        return VI_SUCCESS;
    case VI_ATTR_TERMCHAR_EN: return flag(st.termCharEnabled);
    case VI_ATTR_SEND_END_EN: return flag(st.sendEnd);
    case VI_ATTR_SUPPRESS_END_EN: return flag(st.suppressEnd);
    case VI_ATTR_FILE_APPEND_EN: return flag(st.fileAppend);
    case VI_ATTR_DMA_ALLOW_EN: return flag(st.dmaAllowed);
    case VI_ATTR_IO_PROT:
        if (value < VI_PROT_NORMAL || value > VI_PROT_USBTMC_VENDOR) return VI_ERROR_NSUP_ATTR_STATE;
        st.ioProtocol = static_cast<ViUInt16>(value);
        return VI_SUCCESS;
    case VI_ATTR_RD_BUF_OPER_MODE:
        if (value != VI_FLUSH_ON_ACCESS && value != VI_FLUSH_DISABLE) return VI_ERROR_NSUP_ATTR_STATE;
        st.readBufferMode = static_cast<ViUInt16>(value);
        return VI_SUCCESS;
    case VI_ATTR_WR_BUF_OPER_MODE:
        if (value != VI_FLUSH_ON_ACCESS && value != VI_FLUSH_WHEN_FULL) return VI_ERROR_NSUP_ATTR_STATE;
        st.writeBufferMode = static_cast<ViUInt16>(value);
        return VI_SUCCESS;
    case VI_ATTR_MAX_QUEUE_LENGTH:
        if (value < 1 || value > 0xFFFFFFFFu) return VI_ERROR_NSUP_ATTR_STATE;
        if (!st.queueEvents.empty()) return VI_ERROR_ATTR_READONLY;
        st.maxQueueLength = static_cast<ViUInt32>(value);
        return VI_SUCCESS;
    case VI_ATTR_USER_DATA: st.userData = value; return VI_SUCCESS;
    case VI_ATTR_TRIG_ID: return static_cast<ViInt16>(value) == VI_TRIG_SW ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
    case VI_ATTR_TCPIP_NODELAY:
        if (s.resource->intfType == VI_INTF_TCPIP) return flag(st.tcpNoDelay);
        break;
    case VI_ATTR_TCPIP_KEEPALIVE:
        if (s.resource->intfType == VI_INTF_TCPIP) return flag(st.tcpKeepAlive);
        break;
    case VI_ATTR_GPIB_READDR_EN:
        if (s.resource->intfType == VI_INTF_GPIB) return flag(st.gpibReaddress);
        break;
    case VI_ATTR_GPIB_UNADDR_EN:
        if (s.resource->intfType == VI_INTF_GPIB) return flag(st.gpibUnaddress);
        break;
    default: break;
    }
    // Known but fixed attributes are read-only; the rest do not apply here.
    if (typeOf(attribute) && (implementationAttribute(attribute) || resourceAttribute(*s.resource, attribute) ||
                              attribute == VI_ATTR_RSRC_LOCK_STATE || attribute == VI_ATTR_RD_BUF_SIZE ||
                              attribute == VI_ATTR_WR_BUF_SIZE || attribute == VI_ATTR_RM_SESSION ||
                              (attribute == VI_ATTR_4882_COMPLIANT && s.resource->intfType == VI_INTF_USB)))
        return VI_ERROR_ATTR_READONLY;
    return VI_ERROR_NSUP_ATTR;
}

}  // namespace
}  // namespace visa

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    auto entry = bench::SessionRegistry::instance().find(vi);
    if (!entry) return VI_ERROR_INV_OBJECT;
    const AttributeType* type = typeOf(attrName);
    if (!type) return VI_ERROR_NSUP_ATTR;
    if (!attrValue) return VI_ERROR_USER_BUF;

    std::optional<AttributeValue> value = implementationAttribute(attrName);
    if (!value) {
        if (entry->kind == bench::SessionKind::ResourceManager) {
            auto st = managerState(vi);
            if (!st) return VI_ERROR_INV_OBJECT;
            std::lock_guard guard(st->mutex);
            if (attrName == VI_ATTR_TMO_VALUE) value = static_cast<long long>(st->timeoutMs);
            else if (attrName == VI_ATTR_USER_DATA) value = static_cast<long long>(st->userData);
            else if (attrName == VI_ATTR_RSRC_LOCK_STATE) value = static_cast<long long>(VI_NO_LOCK);
            else if (attrName == VI_ATTR_RSRC_NAME) value = std::string();
            else if (attrName == VI_ATTR_RSRC_CLASS) value = std::string();
        } else if (entry->kind != bench::SessionKind::FindList) {
            ResourceSession s;
            if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
            std::lock_guard guard(s.state->mutex);
            value = sessionAttribute(s, attrName);
        }
    }
    if (!value) return VI_ERROR_NSUP_ATTR;
    return store(type->type, *value, attrValue);
}

ViStatus _VI_FUNC viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    auto entry = bench::SessionRegistry::instance().find(vi);
    if (!entry) return VI_ERROR_INV_OBJECT;
    if (implementationAttribute(attrName)) return VI_ERROR_ATTR_READONLY;
    if (entry->kind == bench::SessionKind::ResourceManager) {
        auto st = managerState(vi);
        if (!st) return VI_ERROR_INV_OBJECT;
        std::lock_guard guard(st->mutex);
        if (attrName == VI_ATTR_TMO_VALUE) {
            if (attrValue > 0xFFFFFFFFu) return VI_ERROR_NSUP_ATTR_STATE;
            st->timeoutMs = static_cast<ViUInt32>(attrValue);
            return VI_SUCCESS;
        }
        if (attrName == VI_ATTR_USER_DATA) {
            st->userData = attrValue;
            return VI_SUCCESS;
        }
        return attrName == VI_ATTR_RSRC_LOCK_STATE ? VI_ERROR_ATTR_READONLY : VI_ERROR_NSUP_ATTR;
    }
    if (entry->kind == bench::SessionKind::FindList) return VI_ERROR_NSUP_ATTR;
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    std::lock_guard guard(s.state->mutex);
    return setSessionAttribute(s, attrName, attrValue);
}

}  // extern "C"

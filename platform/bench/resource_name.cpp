#include "resource_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "visa.h"

namespace bench {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalNoCase(s.substr(0, prefix.size()), prefix);
}

// Splits at "::", keeping a bracketed IPv6 address ("[fe80::1]") in one piece.
std::vector<std::string_view> splitFields(std::string_view name) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    bool inBrackets = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '[') inBrackets = true;
        else if (name[i] == ']') inBrackets = false;
        else if (!inBrackets && name[i] == ':' && i + 1 < name.size() && name[i + 1] == ':') {
            fields.push_back(name.substr(start, i - start));
            start = i + 2;
            ++i;
        }
    }
    fields.push_back(name.substr(start));
    return fields;
}

// A decimal number within [lo, hi].
std::optional<int> decimal(std::string_view s, int lo, int hi) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
    if (ec != std::errc() || end != s.data() + s.size() || value < lo || value > hi) return std::nullopt;
    return value;
}

// A 16-bit ID in decimal or "0x" hexadecimal, as USB names allow.
std::optional<std::uint16_t> usbId(std::string_view s) {
    int base = 10;
    if (startsWithNoCase(s, "0x")) {
        s.remove_prefix(2);
        base = 16;
    }
    if (s.empty() || s.size() > 8) return std::nullopt;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool validToken(std::string_view s, std::string_view extra) {
    if (s.empty()) return false;
    return std::all_of(s.begin(), s.end(), [&](unsigned char c) {
        return std::isalnum(c) || extra.find(static_cast<char>(c)) != std::string_view::npos;
    });
}

bool validHost(std::string_view s) {
    if (s.size() >= 2 && s.front() == '[' && s.back() == ']') return validToken(s.substr(1, s.size() - 2), ":.%");
    return validToken(s, ".-_");
}

struct Keyword {
    std::string_view text;
    std::uint16_t type;
};
// GPIB-VXI before GPIB: the longer keyword wins.
constexpr Keyword kKeywords[] = {
    {"GPIB-VXI", VI_INTF_GPIB_VXI}, {"GPIB", VI_INTF_GPIB},   {"VXI", VI_INTF_VXI}, {"ASRL", VI_INTF_ASRL},
    {"PXI", VI_INTF_PXI},           {"TCPIP", VI_INTF_TCPIP}, {"USB", VI_INTF_USB},
};

bool isClass(std::string_view field, std::string_view cls) { return equalNoCase(field, cls); }

std::string boardPrefix(const ParsedResourceName& p) { return interfaceKeyword(p.intfType) + std::to_string(p.board); }

bool parseVxi(ParsedResourceName& p, const std::vector<std::string_view>& f) {
    const std::string prefix = boardPrefix(p);
    // A class of one logical address: BACKPLANE or INSTR after the address.
    const auto atAddress = [&](const char* cls) {
        auto la = decimal(f[1], 0, 255);
        if (!la) return false;
        p.vxiLA = *la;
        p.resourceClass = cls;
        p.canonical = prefix + "::" + std::to_string(*la) + "::" + cls;
        return true;
    };
    if (f.size() == 2 && isClass(f[1], "MEMACC")) {
        p.resourceClass = "MEMACC";
    } else if (f.size() == 2 && isClass(f[1], "BACKPLANE")) {
        p.resourceClass = "BACKPLANE";
    } else if (f.size() == 3 && isClass(f[2], "BACKPLANE")) {
        return atAddress("BACKPLANE");
    } else if (f.size() == 2 && p.intfType == VI_INTF_VXI && isClass(f[1], "SERVANT")) {
        p.resourceClass = "SERVANT";
    } else if (f.size() == 2 || (f.size() == 3 && isClass(f[2], "INSTR"))) {
        return atAddress("INSTR");
    } else {
        return false;
    }
    p.canonical = prefix + "::" + p.resourceClass;
    return true;
}

bool parseGpib(ParsedResourceName& p, std::vector<std::string_view> f) {
    const std::string prefix = boardPrefix(p);
    if (f.size() == 2 && (isClass(f[1], "INTFC") || isClass(f[1], "SERVANT"))) {
        p.resourceClass = upper(f[1]);
        p.canonical = prefix + "::" + p.resourceClass;
        return true;
    }
    if (isClass(f.back(), "INSTR")) f.pop_back();
    if (f.size() != 2 && f.size() != 3) return false;
    auto primary = decimal(f[1], 0, 30);
    if (!primary) return false;
    p.gpibPrimary = *primary;
    p.canonical = prefix + "::" + std::to_string(*primary);
    if (f.size() == 3) {
        auto secondary = decimal(f[2], 0, 30);
        if (!secondary) return false;
        p.gpibSecondary = *secondary;
        p.canonical += "::" + std::to_string(*secondary);
    }
    p.resourceClass = "INSTR";
    p.canonical += "::INSTR";
    return true;
}

bool parseAsrl(ParsedResourceName& p, const std::vector<std::string_view>& f) {
    if (f.size() > 2 || (f.size() == 2 && !isClass(f[1], "INSTR"))) return false;
    p.resourceClass = "INSTR";
    p.canonical = boardPrefix(p) + "::INSTR";
    return true;
}

bool parseTcpip(ParsedResourceName& p, std::vector<std::string_view> f) {
    const std::string prefix = boardPrefix(p);
    if (f.size() == 2 && isClass(f[1], "SERVANT")) {
        p.resourceClass = "SERVANT";
        p.canonical = prefix + "::SERVANT";
        return true;
    }
    if (f.size() == 4 && isClass(f[3], "SOCKET")) {
        auto port = decimal(f[2], 0, 65535);
        if (!validHost(f[1]) || !port) return false;
        p.host = f[1];
        p.port = *port;
        p.resourceClass = "SOCKET";
        p.canonical = prefix + "::" + p.host + "::" + std::to_string(*port) + "::SOCKET";
        return true;
    }
    if (isClass(f.back(), "INSTR")) f.pop_back();
    if (f.size() != 2 && f.size() != 3) return false;
    if (!validHost(f[1])) return false;
    p.host = f[1];
    p.lanDevice = f.size() == 3 ? std::string(f[2]) : std::string("inst0");
    if (!validToken(p.lanDevice, ",_.")) return false;
    p.resourceClass = "INSTR";
    p.canonical = prefix + "::" + p.host + "::" + p.lanDevice + "::INSTR";
    return true;
}

bool parseUsb(ParsedResourceName& p, std::vector<std::string_view> f) {
    std::string cls = "INSTR";
    if (isClass(f.back(), "INSTR")) {
        f.pop_back();
    } else if (isClass(f.back(), "RAW")) {
        f.pop_back();
        cls = "RAW";
    }
    if (f.size() != 4 && f.size() != 5) return false;
    auto manf = usbId(f[1]);
    auto model = usbId(f[2]);
    if (!manf || !model || !validToken(f[3], "-_.")) return false;
    p.usbManfId = *manf;
    p.usbModelCode = *model;
    p.usbSerial = f[3];
    if (f.size() == 5) {
        auto intf = decimal(f[4], 0, 255);
        if (!intf) return false;
        p.usbInterface = *intf;
    }
    char ids[32];
    std::snprintf(ids, sizeof ids, "0x%04X::0x%04X", p.usbManfId, p.usbModelCode);
    p.resourceClass = cls;
    p.canonical = boardPrefix(p) + "::" + ids + "::" + p.usbSerial + "::" + std::to_string(p.usbInterface) + "::" + cls;
    return true;
}

bool parsePxi(ParsedResourceName& p, std::vector<std::string_view> f) {
    if (f.size() == 2 && isClass(f[1], "MEMACC")) {
        p.resourceClass = "MEMACC";
        p.canonical = boardPrefix(p) + "::MEMACC";
        return true;
    }
    if (isClass(f.back(), "INSTR")) f.pop_back();
    if (f.size() != 2 && f.size() != 3) return false;
    auto device = decimal(f[1], 0, 31);
    if (!device) return false;
    p.pxiBus = p.board;
    p.pxiDevice = *device;
    if (f.size() == 3) {
        auto function = decimal(f[2], 0, 7);
        if (!function) return false;
        p.pxiFunction = *function;
    }
    p.resourceClass = "INSTR";
    p.canonical = boardPrefix(p) + "::" + std::to_string(p.pxiDevice) + "::" + std::to_string(p.pxiFunction) +
                  "::INSTR";
    return true;
}

}  // namespace

std::string interfaceKeyword(std::uint16_t intfType) {
    for (const auto& k : kKeywords)
        if (k.type == intfType) return std::string(k.text);
    return {};
}

std::optional<ParsedResourceName> parseResourceName(std::string_view name) {
    if (name.empty() || name.size() >= 256) return std::nullopt;
    std::vector<std::string_view> fields = splitFields(name);
    if (std::any_of(fields.begin(), fields.end(), [](std::string_view f) { return f.empty(); })) return std::nullopt;

    ParsedResourceName p;
    std::string_view head = fields[0];
    for (const auto& k : kKeywords) {
        if (startsWithNoCase(head, k.text)) {
            p.intfType = k.type;
            head.remove_prefix(k.text.size());
            break;
        }
    }
    if (p.intfType == 0) return std::nullopt;
    if (!head.empty()) {
        auto board = decimal(head, 0, 65535);
        if (!board) return std::nullopt;
        p.board = static_cast<std::uint16_t>(*board);
    }

    bool ok = false;
    switch (p.intfType) {
    case VI_INTF_VXI:
    case VI_INTF_GPIB_VXI: ok = fields.size() >= 2 && parseVxi(p, fields); break;
    case VI_INTF_GPIB: ok = fields.size() >= 2 && parseGpib(p, fields); break;
    case VI_INTF_ASRL: ok = parseAsrl(p, fields); break;
    case VI_INTF_TCPIP: ok = fields.size() >= 2 && parseTcpip(p, fields); break;
    case VI_INTF_USB: ok = fields.size() >= 2 && parseUsb(p, fields); break;
    case VI_INTF_PXI: ok = fields.size() >= 2 && parsePxi(p, fields); break;
    }
    if (!ok) return std::nullopt;
    return p;
}

std::string interfaceInstanceName(const ResourceDescription& resource) {
    return interfaceKeyword(resource.intfType) + std::to_string(resource.intfNum);
}

std::optional<std::string> canonicalResourceName(std::string_view name) {
    auto parsed = parseResourceName(name);
    if (!parsed || parsed->resourceClass != "INSTR") return std::nullopt;
    return parsed->canonical;
}

bool sameResource(std::string_view a, std::string_view b) {
    auto pa = parseResourceName(a);
    auto pb = parseResourceName(b);
    return pa && pb && equalNoCase(pa->canonical, pb->canonical);
}

const ResourceDescription* findResource(const BenchDescription& bench, std::string_view name) {
    auto wanted = parseResourceName(name);
    if (!wanted) return nullptr;
    for (const auto& r : bench.resources) {
        auto have = parseResourceName(r.name);
        if (have && equalNoCase(have->canonical, wanted->canonical)) return &r;
    }
    return nullptr;
}

}  // namespace bench

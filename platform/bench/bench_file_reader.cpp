// Reads the resources of a bench file: names, bus attributes, identification
// replies and carriers. The SORVI modules are read in bench_file_module.cpp.
#include "bench_file_reader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <cstdio>
#include <set>

#include "bench_units.h"
#include "resource_name.h"
#include "visa.h"

namespace bench::file {

Where Where::operator/(std::string_view key) const {
    return Where{source, path.empty() ? std::string(key) : path + "." + std::string(key)};
}

Where Where::operator[](std::size_t index) const { return Where{source, path + "[" + std::to_string(index) + "]"}; }

namespace {

constexpr std::size_t kEchoedChars = 40;

// Length of the UTF-8 sequence at text[i] that is a printable character, or
// 0 for a control character (C0, DEL, C1) or a byte that is not valid UTF-8.
std::size_t printableAt(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) return b >= 0x20 && b != 0x7F ? 1 : 0;
    const std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    if (n == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return 0;  // C1 controls
    if (n == 3 && b == 0xE0 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return 0;  // overlong
    if (n == 4 && b == 0xF0 && static_cast<unsigned char>(text[i + 1]) < 0x90) return 0;  // overlong
    if (n == 4 && b == 0xF4 && static_cast<unsigned char>(text[i + 1]) > 0x8F) return 0;  // past U+10FFFF
    return n;
}

}  // namespace

std::string quoted(std::string_view text) {
    std::string out = "'";
    std::size_t chars = 0, i = 0;
    for (; i < text.size() && chars < kEchoedChars; ++chars) {
        if (const std::size_t n = printableAt(text, i); n > 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[i]));
            out += hex;
            ++i;
        }
    }
    out += i < text.size() ? "...' (" + std::to_string(text.size()) + " bytes)" : "'";
    return out;
}

void fail(const Where& where, const YAML::Node& node, const std::string& message) {
    std::string text = where.source;
    const YAML::Mark mark = node.IsDefined() ? node.Mark() : YAML::Mark::null_mark();
    if (!mark.is_null()) text += ":" + std::to_string(mark.line + 1) + ":" + std::to_string(mark.column + 1);
    text += ": ";
    if (!where.path.empty()) text += where.path + ": ";
    throw Error(text + message);
}

namespace {

const char* kindName(const YAML::Node& node) {
    switch (node.Type()) {
    case YAML::NodeType::Map: return "a map";
    case YAML::NodeType::Sequence: return "a list";
    case YAML::NodeType::Scalar: return "a single value";
    case YAML::NodeType::Null: return "empty";
    default: return "missing";
    }
}

}  // namespace

const YAML::Node& expectMap(const Where& where, const YAML::Node& node) {
    if (!node.IsMap()) fail(where, node, std::string("expected a map of keys and values, found ") + kindName(node));
    return node;
}

const YAML::Node& expectList(const Where& where, const YAML::Node& node) {
    if (!node.IsSequence()) fail(where, node, std::string("expected a list, found ") + kindName(node));
    return node;
}

std::string expectText(const Where& where, const YAML::Node& node) {
    if (!node.IsScalar()) fail(where, node, std::string("expected a single value, found ") + kindName(node));
    return node.Scalar();
}

void checkKeys(const Where& where, const YAML::Node& map, std::initializer_list<std::string_view> allowed) {
    std::set<std::string> seen;
    for (const auto& entry : map) {
        const std::string key = expectText(where, entry.first);
        if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) {
            std::string list;
            for (auto a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
            // A long or unprintable key is echoed cut, and not in the path.
            const bool plain = quoted(key) == "'" + key + "'";
            fail(plain ? where / key : where, entry.first,
                 "unknown key " + quoted(key) + " (expected one of: " + list + ")");
        }
        if (!seen.insert(key).second) fail(where / key, entry.first, "key " + quoted(key) + " is given twice");
    }
}

YAML::Node field(const YAML::Node& map, std::string_view key) {
    for (const auto& entry : map)
        if (entry.first.IsScalar() && entry.first.Scalar() == key) return entry.second;
    return YAML::Node(YAML::NodeType::Undefined);
}

long long readInteger(const Where& where, const YAML::Node& node, long long lo, long long hi) {
    const std::string text = expectText(where, node);
    if (!parseInteger(text, INT64_MIN / 2, INT64_MAX / 2)) fail(where, node, quoted(text) + " is not a whole number");
    auto value = parseInteger(text, lo, hi);
    if (!value)
        fail(where, node, quoted(text) + " is out of range (" + std::to_string(lo) + " to " + std::to_string(hi) + ")");
    return *value;
}

bool readBool(const Where& where, const YAML::Node& node) {
    std::string text = expectText(where, node);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    if (text == "true" || text == "yes" || text == "on") return true;
    if (text == "false" || text == "no" || text == "off") return false;
    fail(where, node, quoted(node.Scalar()) + " is not true or false");
}

namespace {

bool isVxi(std::uint16_t type) { return type == VI_INTF_VXI || type == VI_INTF_GPIB_VXI; }

bool dottedAddress(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.empty() || part.size() > 3 || !parseInteger(part, 0, 255)) return false;
        ++parts;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts == 4;
}

PositionDescription readPosition(const Where& where, const YAML::Node& node) {
    PositionDescription p;
    // A position is either just the module ("1: sorvi") or a map with it.
    // (Assigning to a YAML::Node would overwrite the node it refers to.)
    if (node.IsMap()) checkKeys(where, node, {"module", "inputs", "faults"});
    const YAML::Node module = node.IsMap() ? field(node, "module") : node;
    if (!module.IsDefined()) fail(where, node, "'module' is missing (sorvi, empty or a module type number)");
    const Where mw = node.IsMap() ? where / "module" : where;
    const std::string text = expectText(mw, module);
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "sorvi") p.moduleType = kSorviModuleType;
    else if (lower == "empty") p.moduleType = 0;
    else if (parseInteger(text, 0, 32767)) p.moduleType = static_cast<std::int16_t>(*parseInteger(text, 0, 32767));
    else fail(mw, module, quoted(text) + " is not sorvi, empty or a module type number (0 to 32767)");

    if (p.moduleType == kSorviModuleType) {
        p.sorvi = node.IsMap() ? readSorviModule(where, node) : SorviModuleDescription{};
    } else if (node.IsMap()) {
        for (const char* key : {"inputs", "faults"})
            if (field(node, key).IsDefined())
                fail(where / key, field(node, key), std::string(key) + " apply to SORVI modules only");
    }
    return p;
}

CarrierDescription readCarrier(const Where& where, const YAML::Node& node) {
    expectMap(where, node);
    checkKeys(where, node, {"memory", "positions"});
    CarrierDescription c;
    const YAML::Node memory = field(node, "memory");
    if (!memory.IsDefined()) fail(where, node, "'memory' is missing (the carrier's memory size, e.g. 16MiB)");
    const std::string text = expectText(where / "memory", memory);
    const auto bytes = parseMemorySize(text);
    if (!bytes)
        fail(where / "memory", memory,
             quoted(text) +
                 " is not a memory size (a whole number of bytes, optionally with K, M or G, "
                 "e.g. 16MiB, 512K, 0x100000)");
    if (*bytes < 16 || *bytes > 4294967295u)
        fail(where / "memory", memory, quoted(text) + " is out of range (16 bytes to 4GiB - 1)");
    c.memoryBytes = static_cast<std::uint32_t>(*bytes);

    const YAML::Node positions = field(node, "positions");
    if (positions.IsDefined() && !positions.IsNull()) {
        const Where pw = where / "positions";
        expectMap(pw, positions);
        std::set<long long> seen;
        for (const auto& entry : positions) {
            const long long k = readInteger(pw, entry.first, 1, 4);
            if (!seen.insert(k).second) fail(pw, entry.first, "position " + std::to_string(k) + " is given twice");
            c.positions[static_cast<std::size_t>(k - 1)] = readPosition(pw / std::to_string(k), entry.second);
        }
    }
    return c;
}

ResourceDescription readResource(const Where& where, const YAML::Node& node) {
    expectMap(where, node);
    checkKeys(where, node,
              {"name", "interface", "slot", "manufacturer_id", "mainframe_la", "la", "model_code", "tcpip_address",
               "idn", "carrier"});
    ResourceDescription r;
    const YAML::Node nameNode = field(node, "name");
    if (!nameNode.IsDefined()) fail(where, node, "'name' is missing (the VISA resource name)");
    const std::string name = expectText(where / "name", nameNode);
    auto parsed = parseResourceName(name);
    if (!parsed || parsed->resourceClass != "INSTR")
        fail(where / "name", nameNode,
             quoted(name) +
                 " is not a VISA instrument resource name (examples: VXI0::24::INSTR, "
                 "USB0::0x0E76::0x1004::0457::INSTR, TCPIP0::192.168.1.20::INSTR)");
    r.name = parsed->canonical;
    r.intfType = parsed->intfType;
    r.intfNum = parsed->board;
    const bool vxi = isVxi(r.intfType);
    const std::string keyword = interfaceKeyword(r.intfType);

    auto onlyFor = [&](const char* key, bool applies, const char* which) {
        const YAML::Node value = field(node, key);
        if (value.IsDefined() && !applies)
            fail(where / key, value, std::string(key) + " applies to " + which + " resources only, not to " + keyword);
        return value.IsDefined() ? value : YAML::Node(YAML::NodeType::Undefined);
    };

    if (const YAML::Node n = field(node, "interface"); n.IsDefined()) {
        std::string text = expectText(where / "interface", n);
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
        if (text != keyword)
            fail(where / "interface", n,
                 quoted(n.Scalar()) + " does not match the resource name's interface " + keyword);
    }
    if (vxi) {
        r.la = static_cast<std::int16_t>(parsed->vxiLA);
        r.mainframeLA = 0;
        r.manfId = 0;
    }
    if (const YAML::Node n = onlyFor("la", vxi, "VXI"); n.IsDefined()) {
        if (readInteger(where / "la", n, 0, 255) != parsed->vxiLA)
            fail(where / "la", n, "la " + n.Scalar() + " differs from the logical address in the name");
    }
    if (const YAML::Node n = onlyFor("slot", vxi, "VXI"); n.IsDefined())
        r.slot = static_cast<std::int16_t>(readInteger(where / "slot", n, 0, 18));
    if (const YAML::Node n = onlyFor("mainframe_la", vxi, "VXI"); n.IsDefined())
        r.mainframeLA = static_cast<std::int16_t>(readInteger(where / "mainframe_la", n, 0, 255));

    const bool usb = r.intfType == VI_INTF_USB;
    if (usb) {
        r.manfId = parsed->usbManfId;
        r.modelCode = parsed->usbModelCode;
    }
    if (const YAML::Node n = onlyFor("manufacturer_id", vxi || usb, "VXI and USB"); n.IsDefined()) {
        const auto id = static_cast<std::uint16_t>(readInteger(where / "manufacturer_id", n, 0, usb ? 0xFFFF : 0xFFF));
        if (usb && id != r.manfId)
            fail(where / "manufacturer_id", n, "manufacturer_id differs from the one in the USB resource name");
        r.manfId = id;
    }
    if (const YAML::Node n = onlyFor("model_code", vxi || usb, "VXI and USB"); n.IsDefined()) {
        const auto code = static_cast<std::uint16_t>(readInteger(where / "model_code", n, 0, 0xFFFF));
        if (usb && code != r.modelCode)
            fail(where / "model_code", n, "model_code differs from the one in the USB resource name");
        r.modelCode = code;
    }

    const bool tcpip = r.intfType == VI_INTF_TCPIP;
    if (tcpip && dottedAddress(parsed->host)) r.tcpipAddr = parsed->host;
    if (const YAML::Node n = onlyFor("tcpip_address", tcpip, "TCPIP"); n.IsDefined()) {
        const std::string text = expectText(where / "tcpip_address", n);
        if (!dottedAddress(text))
            fail(where / "tcpip_address", n, quoted(text) + " is not a dotted address like 192.168.1.20");
        r.tcpipAddr = text;
    }
    if (tcpip && r.tcpipAddr.empty())
        fail(where, node, "'tcpip_address' is missing (the host in the name is not a dotted address)");

    if (const YAML::Node n = field(node, "idn"); n.IsDefined()) {
        const std::string text = expectText(where / "idn", n);
        if (text.size() > 200) fail(where / "idn", n, "the *IDN? reply is longer than 200 characters");
        if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c > 0x7E; }))
            fail(where / "idn", n, "the *IDN? reply must be printable ASCII on one line");
        r.idn = text;
    }
    if (const YAML::Node n = field(node, "carrier"); n.IsDefined() && !n.IsNull())
        r.carrier = readCarrier(where / "carrier", n);
    return r;
}

}  // namespace

BenchDescription readBench(const YAML::Node& root, const std::string& source) {
    const Where top{source, ""};
    if (!root.IsDefined() || root.IsNull())
        fail(top, root, "the file is empty; an empty bus is written 'resources: []'");
    expectMap(top, root);
    checkKeys(top, root, {"resources"});
    const YAML::Node resources = field(root, "resources");
    if (!resources.IsDefined()) fail(top, root, "'resources' is missing (a list; [] for an empty bus)");

    BenchDescription bench;
    bench.source = source;
    const Where rw = top / "resources";
    if (resources.IsNull()) return bench;
    expectList(rw, resources);
    std::map<std::string, int> lines;  // canonical name in capitals -> line
    for (std::size_t i = 0; i < resources.size(); ++i) {
        ResourceDescription r = readResource(rw[i], resources[i]);
        std::string key = r.name;
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
        const int line = resources[i].Mark().line + 1;
        if (auto [it, fresh] = lines.emplace(key, line); !fresh)
            fail(rw[i] / "name", field(resources[i], "name"),
                 "resource " + r.name + " is already on the bench (line " + std::to_string(it->second) + ")");
        bench.resources.push_back(std::move(r));
    }
    return bench;
}

}  // namespace bench::file

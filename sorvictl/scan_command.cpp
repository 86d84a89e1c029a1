#include "scan_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "carrier_discovery.h"
#include "carrier_positions.h"
#include "command_error.h"
#include "driver_text.h"
#include "tarvo_32.h"

namespace sorvictl {

namespace {

struct ScannedCarrier {
    discovery::CarrierInfo info;
    ViStatus status = VI_SUCCESS;  // of opening it or asking its positions
    discovery::CarrierPositions positions{};
};

const char* kindName(discovery::CarrierKind kind) {
    switch (kind) {
    case discovery::CarrierKind::Vxi: return "vxi";
    case discovery::CarrierKind::KuboltUsb: return "kubolt-usb";
    case discovery::CarrierKind::KuboltTcpip: return "kubolt-lxi";
    }
    return "";
}

std::string what(const discovery::PositionInfo& p) {
    if (!p.present) return "empty";
    if (p.isSorvi()) return "sorvi";
    return "type " + std::to_string(p.type);
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void printJson(const std::vector<ScannedCarrier>& carriers, Console& console) {
    std::ostream& o = console.out;
    o << "[";
    for (std::size_t i = 0; i < carriers.size(); ++i) {
        const ScannedCarrier& c = carriers[i];
        o << (i ? ",\n " : "\n ") << "{\"resource\": " << jsonString(c.info.resourceName) << ", \"kind\": \""
          << kindName(c.info.kind) << "\", \"label\": " << jsonString(c.info.label);
        if (c.status < VI_SUCCESS) {
            o << ", \"error\": " << jsonString(statusText(VI_NULL, c.status)) << "}";
            continue;
        }
        o << ", \"positions\": [";
        for (int p = 0; p < discovery::kPositions; ++p) {
            const discovery::PositionInfo& info = c.positions[static_cast<std::size_t>(p)];
            o << (p ? ", " : "") << "{\"position\": " << p + 1 << ", \"module\": " << jsonString(what(info));
            if (info.present) o << ", \"type\": " << info.type;
            o << "}";
        }
        o << "]}";
    }
    o << (carriers.empty() ? "]\n" : "\n]\n");
}

}  // namespace

int runScan(bool json, Console& console) {
    const discovery::DiscoveryResult found = discovery::discoverCarriers();
    if (found.status < VI_SUCCESS) throw CommandError("cannot search the bus: " + statusText(VI_NULL, found.status));
    std::vector<ScannedCarrier> carriers;
    for (const discovery::CarrierInfo& info : found.carriers) {
        ScannedCarrier c;
        c.info = info;
        std::vector<char> name(info.resourceName.begin(), info.resourceName.end());
        name.push_back('\0');
        ViSession carrier = VI_NULL;
        // No reset: a scan must not disturb a module another program is running.
        c.status = tarvo_init(name.data(), VI_TRUE, VI_FALSE, &carrier);
        if (c.status >= VI_SUCCESS) {
            c.status = discovery::readPositions(carrier, c.positions);
            tarvo_close(carrier);
        }
        carriers.push_back(std::move(c));
    }
    if (json) {
        printJson(carriers, console);
    } else {
        for (const ScannedCarrier& c : carriers) {
            if (c.status < VI_SUCCESS) {
                console.out << c.info.resourceName << " - not opened: " << statusText(VI_NULL, c.status) << '\n';
                continue;
            }
            for (int p = 0; p < discovery::kPositions; ++p)
                console.out << c.info.resourceName << ' ' << p + 1 << ' '
                            << what(c.positions[static_cast<std::size_t>(p)]) << '\n';
        }
        if (carriers.empty()) console.err << "sorvictl: no carriers found on the bus\n";
    }
    return static_cast<int>(carriers.size());
}

}  // namespace sorvictl

// VISA resource names as the bench understands them: case-insensitive, with
// optional fields (board number, USB interface number, "::INSTR") that may be
// present or not.
//
// Every name has a canonical form: the interface keyword in capitals with its
// board number, numbers in one notation (decimal addresses, USB IDs as
// "0x%04X"), optional fields filled in with their defaults and the resource
// class in capitals. Two names designate the same resource exactly when their
// canonical forms are equal ignoring case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bench_description.h"

namespace bench {

struct ParsedResourceName {
    std::uint16_t intfType = 0;
    std::uint16_t board = 0;
    std::string resourceClass;  // "INSTR", "SOCKET", "INTFC", "BACKPLANE", "MEMACC", "SERVANT", "RAW"
    std::string canonical;

    int vxiLA = -1;          // VXI and GPIB-VXI INSTR (and BACKPLANE when given)
    int gpibPrimary = -1;    // GPIB INSTR
    int gpibSecondary = -1;  // GPIB INSTR; -1 when absent
    std::string host;        // TCPIP
    std::string lanDevice;   // TCPIP INSTR ("inst0" when absent)
    int port = -1;           // TCPIP SOCKET
    std::uint16_t usbManfId = 0;
    std::uint16_t usbModelCode = 0;
    std::string usbSerial;
    int usbInterface = 0;  // 0 when absent
    int pxiBus = 0, pxiDevice = -1, pxiFunction = 0;
};

// Parses any VISA resource name; nothing when the name is malformed.
std::optional<ParsedResourceName> parseResourceName(std::string_view name);

// "VXI", "GPIB-VXI", "GPIB", "ASRL", "PXI", "TCPIP", "USB"; empty for others.
std::string interfaceKeyword(std::uint16_t intfType);

// The interface instance name of a resource: keyword and board, e.g. "VXI0".
std::string interfaceInstanceName(const ResourceDescription& resource);

// The canonical form of a resource name, or nothing when it is not a valid
// instrument (INSTR) resource name.
std::optional<std::string> canonicalResourceName(std::string_view name);

// True when the two names designate the same resource.
bool sameResource(std::string_view a, std::string_view b);

// The resource of `bench` that `name` designates, or null.
const ResourceDescription* findResource(const BenchDescription& bench, std::string_view name);

}  // namespace bench

// What a simulated bench holds: the VISA resources on the bus, the carriers
// behind some of them, the mezzanines on each carrier and, for every SORVI
// module, its 32 channel inputs and its faults.
//
// A description is plain data. It comes from a bench file (YAML) or from the
// built-in default (bench_loader.h) and is turned into live carriers and
// modules by the simulation.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tarvo_32.h"

namespace bench {

// The signal on one module input.
struct ChannelInput {
    enum class Kind {
        Voltage,     // constant `volts`
        Square,      // `low`/`high` volts, `periodS`, `duty` (0..1), `phaseS`
        Sequence,    // `sequence` of volts, one per `stepS`, repeated
        Resistance,  // sensor resistance `ohms`, turned into volts by the poll current
        Counter,     // bit k-1 of the module's poll count on channel k: a binary
                     // counter, so that consecutive frames can be checked
    };
    Kind kind = Kind::Voltage;
    double volts = 0.0;
    double low = 0.0;
    double high = 0.0;
    double periodS = 0.0;
    double duty = 0.5;
    double phaseS = 0.0;
    std::vector<double> sequence;
    double stepS = 0.0;
    double ohms = 0.0;

    static ChannelInput voltage(double volts) {
        ChannelInput in;
        in.volts = volts;
        return in;
    }
    static ChannelInput square(double low, double high, double periodS, double duty = 0.5, double phaseS = 0.0) {
        ChannelInput in;
        in.kind = Kind::Square;
        in.low = low;
        in.high = high;
        in.periodS = periodS;
        in.duty = duty;
        in.phaseS = phaseS;
        return in;
    }
    static ChannelInput resistance(double ohms) {
        ChannelInput in;
        in.kind = Kind::Resistance;
        in.ohms = ohms;
        return in;
    }
};

// A 16-bit register bit that does not follow what is written.
struct StuckBits {
    std::uint16_t setMask = 0;    // bits that always read 1
    std::uint16_t clearMask = 0;  // bits that always read 0
};

// Faults of one module that a bench file can declare. Tests can add more at
// run time through the bench's test interface.
struct ModuleFaults {
    std::uint32_t stuckHighChannels = 0;                   // bit k-1: channel k always reads 1
    std::uint32_t stuckLowChannels = 0;                    // bit k-1: channel k always reads 0
    std::map<std::uint32_t, StuckBits> stuckRegisterBits;  // by register byte offset
    bool noPollAck = false;                                // RG_STATE bit 1 never comes
    std::optional<std::uint8_t> idValue;                   // RG_ID low byte other than 9
};

struct SorviModuleDescription {
    std::array<ChannelInput, 32> inputs{};  // inputs[k-1] is channel k
    ModuleFaults faults;
};

inline constexpr std::int16_t kSorviModuleType = TARVO_MODULE_TYPE_SORVI;

struct PositionDescription {
    std::int16_t moduleType = 0;                  // 0: empty position; 9: SORVI
    std::optional<SorviModuleDescription> sorvi;  // set when moduleType is 9
};

struct CarrierDescription {
    std::uint32_t memoryBytes = 0;
    std::array<PositionDescription, 4> positions{};  // positions[k-1] is position k
};

// One VISA resource on the bus. Attribute values follow the VISA standard.
struct ResourceDescription {
    std::string name;               // canonical resource name, e.g. "VXI0::3::INSTR"
    std::uint16_t intfType = 0;     // VI_INTF_VXI (2), VI_INTF_GPIB_VXI (3), VI_INTF_TCPIP (6), VI_INTF_USB (7), ...
    std::uint16_t intfNum = 0;      // board number: the 0 of "VXI0"
    std::int16_t slot = -1;         // VI_ATTR_SLOT (VXI)
    std::uint16_t manfId = 0;       // VI_ATTR_MANF_ID
    std::int16_t mainframeLA = -1;  // VI_ATTR_MAINFRAME_LA (VXI)
    std::int16_t la = -1;           // VI_ATTR_VXI_LA (VXI)
    std::uint16_t modelCode = 0;    // VI_ATTR_MODEL_CODE
    std::string tcpipAddr;          // VI_ATTR_TCPIP_ADDR (TCP/IP)
    std::string idn;                // reply to "*IDN?\n" without the line end; empty: no reply
    std::optional<CarrierDescription> carrier;  // set when tarvo_init can open it
};

struct BenchDescription {
    std::string source;  // file path, or "built-in default"
    std::vector<ResourceDescription> resources;
};

}  // namespace bench

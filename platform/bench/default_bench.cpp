// The built-in default bench: what a technician gets with no bench file.
#include <cmath>
#include <string>

#include "bench_loader.h"

namespace bench {
namespace {

// A varied live pattern: a walking group of square waves of different
// periods, a few fixed levels and two sensor contacts.
SorviModuleDescription livePattern(int seed) {
    SorviModuleDescription m;
    for (int k = 0; k < 32; ++k) {
        const int c = (k + seed) % 32;
        if (c < 16) {
            const double period = 0.002 * (1 << (c % 8));  // 2 ms .. 256 ms
            m.inputs[k] = ChannelInput::square(0.0, 5.0, period, 0.5, 0.0001 * c);
        } else if (c < 24) {
            m.inputs[k] = ChannelInput::square(0.5, 3.0, 0.5 + 0.1 * (c - 16), 0.25, 0.0);
        } else if (c < 28) {
            m.inputs[k] = ChannelInput::voltage(c % 2 == 0 ? 3.0 : 1.0);
        } else {
            m.inputs[k] = ChannelInput::resistance(c % 2 == 0 ? 100000.0 : 5.0);
        }
    }
    return m;
}

// Distinct fixed levels for trying thresholds: channel k at -9 V + 0.55 V * k
// (-8.45 V .. 7.5 V on channels 1..30), a 5 Ohm contact on 31 and a 100 kOhm
// one on 32.
SorviModuleDescription voltageLadder() {
    SorviModuleDescription m;
    for (int k = 1; k <= 30; ++k) m.inputs[k - 1] = ChannelInput::voltage(ladderVolts(k));
    m.inputs[30] = ChannelInput::resistance(5.0);
    m.inputs[31] = ChannelInput::resistance(100000.0);
    return m;
}

PositionDescription sorviAt(int seed) {
    PositionDescription p;
    p.moduleType = kSorviModuleType;
    p.sorvi = livePattern(seed);
    return p;
}

PositionDescription otherModule(std::int16_t type) {
    PositionDescription p;
    p.moduleType = type;
    return p;
}

// A VXI instrument in mainframe 0, by its logical address.
ResourceDescription vxiResource(std::int16_t la, std::int16_t slot, std::uint16_t manfId, std::uint16_t modelCode) {
    ResourceDescription r;
    r.name = "VXI0::" + std::to_string(la) + "::INSTR";
    r.intfType = 2;
    r.slot = slot;
    r.manfId = manfId;
    r.mainframeLA = 0;
    r.la = la;
    r.modelCode = modelCode;
    return r;
}

}  // namespace

// In hundredths, so that each level is the double a bench file's "-5.15V" reads as.
double ladderVolts(int channel) { return (-900.0 + 55.0 * channel) / 100.0; }

ChannelInput defaultLiveInput(int channel) {
    if (channel < 1 || channel > 32) return {};
    return livePattern(0).inputs[static_cast<std::size_t>(channel - 1)];
}

BenchDescription defaultBench() {
    BenchDescription b;
    b.source = "built-in default";

    ResourceDescription vxi1 = vxiResource(24, 3, 0xE76, 0x10D);
    CarrierDescription c1;
    c1.memoryBytes = 16u * 1024u * 1024u;
    c1.positions[0] = sorviAt(0);
    c1.positions[1] = otherModule(5);
    c1.positions[2].moduleType = kSorviModuleType;
    c1.positions[2].sorvi = voltageLadder();
    vxi1.carrier = c1;
    b.resources.push_back(vxi1);

    ResourceDescription vxi2 = vxiResource(40, 5, 0xE76, 0x155);
    CarrierDescription c2;
    c2.memoryBytes = 8u * 1024u * 1024u;
    c2.positions[0] = sorviAt(13);
    vxi2.carrier = c2;
    b.resources.push_back(vxi2);

    ResourceDescription usb;
    usb.name = "USB0::0x0E76::0x1004::0457::0::INSTR";
    usb.intfType = 7;
    usb.manfId = 0xE76;
    usb.modelCode = 0x1004;
    usb.idn = "VELTRONA,TARVO,0457,1.02";
    CarrierDescription c3;
    c3.memoryBytes = 32u * 1024u * 1024u;
    c3.positions[0] = sorviAt(21);
    usb.carrier = c3;
    b.resources.push_back(usb);

    // Another maker's instrument in the same mainframe.
    ResourceDescription foreign = vxiResource(8, 2, 0xFFA, 0x10D);
    b.resources.push_back(foreign);

    return b;
}

}  // namespace bench

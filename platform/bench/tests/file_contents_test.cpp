// What a correct bench file turns into: units, shorthands, derived attributes.
#include <gtest/gtest.h>

#include "bench_loader.h"
#include "bench_units.h"

namespace {

using Kind = bench::ChannelInput::Kind;

TEST(BenchUnits, TechnicianNotations) {
    using bench::Quantity;
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("3V", Quantity::Volts), 3.0);
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("250 mV", Quantity::Volts), 0.25);
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("-1.5", Quantity::Volts), -1.5);
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("100k", Quantity::Ohms), 100000.0);
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("4.7 kOhm", Quantity::Ohms), 4700.0);
    EXPECT_DOUBLE_EQ(*bench::parseQuantity("10ms", Quantity::Seconds), 0.01);
    EXPECT_EQ(*bench::parseInteger("0xE76", 0, 0xFFFF), 0xE76);
    EXPECT_FALSE(bench::parseQuantity("3 volts", Quantity::Volts));
    EXPECT_FALSE(bench::parseQuantity("10mss", Quantity::Seconds));
    EXPECT_FALSE(bench::parseQuantity("1,5V", Quantity::Volts));
    EXPECT_FALSE(bench::parseInteger("0x1G", 0, 0xFFFF));
    EXPECT_FALSE(bench::parseInteger("70000", 0, 0xFFFF));
}

// One rule for memory sizes: a whole number, decimal or 0x, with an optional
// binary unit in any letter case.
TEST(BenchUnits, MemorySizes) {
    const std::uint64_t mib = 1024 * 1024;
    for (const char* text : {"16MiB", "16mib", "16MB", "16 M", "16m", "0x1000000", "16777216", "16777216B", "0x10 MiB"})
        EXPECT_EQ(bench::parseMemorySize(text), 16 * mib) << text;
    EXPECT_EQ(bench::parseMemorySize("512k"), 512u * 1024u);
    EXPECT_EQ(bench::parseMemorySize("1G"), 1024 * mib);
    for (const char* bad : {"1e3", "1.5M", "16 parsecs", "-16", "+16", "16MiBs", "M", "0x", "0xK", "16 M B",
                            "99999999999999999999", "0x7FFFFFFFFFFFFFFF G", ""})
        EXPECT_FALSE(bench::parseMemorySize(bad)) << bad;
}

TEST(BenchFileContents, ChannelShorthandsAndPrecedence) {
    const auto r = bench::parseBenchText(R"(
resources:
  - name: vxi::16
    slot: 4
    carrier:
      memory: 512K
      positions:
        2:
          module: sorvi
          inputs:
            all: 100kohm
            1-3: {square: {low: 0.5V, high: 3V, period: 20ms, duty: 0.25, phase: 5ms}}
            7: 5ohm
            8: 3V
            9: {sequence: {volts: [0, 5, 0], step: 1ms}}
            10-11: counter
          faults:
            stuck_high: [5, 10-11]
            stuck_low: 12
            stuck_bits:
              - {register: RG_COM1, set: 0x0001, clear: 0x8000}
            no_poll_ack: yes
            id_value: 0x0A
        4: 5
)",
                                         "t.yaml");
    ASSERT_TRUE(r.bench) << r.error;
    const auto& res = r.bench->resources.at(0);
    EXPECT_EQ(res.name, "VXI0::16::INSTR");
    EXPECT_EQ(res.la, 16);
    EXPECT_EQ(res.mainframeLA, 0);
    ASSERT_TRUE(res.carrier);
    EXPECT_EQ(res.carrier->memoryBytes, 512u * 1024u);
    EXPECT_EQ(res.carrier->positions[0].moduleType, 0);
    EXPECT_EQ(res.carrier->positions[3].moduleType, 5);
    const auto& m = *res.carrier->positions[1].sorvi;
    EXPECT_EQ(m.inputs[0].kind, Kind::Square);
    EXPECT_DOUBLE_EQ(m.inputs[2].periodS, 0.02);
    EXPECT_DOUBLE_EQ(m.inputs[2].phaseS, 0.005);
    EXPECT_EQ(m.inputs[3].kind, Kind::Resistance);
    EXPECT_DOUBLE_EQ(m.inputs[3].ohms, 100000.0);
    EXPECT_DOUBLE_EQ(m.inputs[6].ohms, 5.0);
    EXPECT_EQ(m.inputs[7].kind, Kind::Voltage);
    EXPECT_DOUBLE_EQ(m.inputs[7].volts, 3.0);
    EXPECT_EQ(m.inputs[8].sequence, (std::vector<double>{0, 5, 0}));
    EXPECT_EQ(m.inputs[9].kind, Kind::Counter);
    EXPECT_EQ(m.inputs[10].kind, Kind::Counter);
    EXPECT_EQ(m.faults.stuckHighChannels, (1u << 4) | (1u << 9) | (1u << 10));
    EXPECT_EQ(m.faults.stuckLowChannels, 1u << 11);
    EXPECT_EQ(m.faults.stuckRegisterBits.at(0x04).setMask, 0x0001);
    EXPECT_EQ(m.faults.stuckRegisterBits.at(0x04).clearMask, 0x8000);
    EXPECT_TRUE(m.faults.noPollAck);
    EXPECT_EQ(m.faults.idValue, 0x0A);
}

TEST(BenchFileContents, AttributesComeFromTheName) {
    const auto r = bench::parseBenchText(R"(
resources:
  - name: usb::3702::4100::SN1
    idn: VELTRONA,TARVO,SN1,2.0
  - name: TCPIP::10.1.2.3
  - name: TCPIP::box.lab::hislip0::INSTR
    tcpip_address: 10.1.2.4
)",
                                         "t.yaml");
    ASSERT_TRUE(r.bench) << r.error;
    const auto& usb = r.bench->resources[0];
    EXPECT_EQ(usb.name, "USB0::0x0E76::0x1004::SN1::0::INSTR");
    EXPECT_EQ(usb.manfId, 0xE76);
    EXPECT_EQ(usb.modelCode, 0x1004);
    EXPECT_EQ(usb.slot, -1);
    EXPECT_EQ(r.bench->resources[1].name, "TCPIP0::10.1.2.3::inst0::INSTR");
    EXPECT_EQ(r.bench->resources[1].tcpipAddr, "10.1.2.3");
    EXPECT_EQ(r.bench->resources[2].tcpipAddr, "10.1.2.4");
}

TEST(BenchFileContents, EmptyBus) {
    for (const char* text : {"resources: []\n", "resources:\n"}) {
        const auto r = bench::parseBenchText(text, "t.yaml");
        ASSERT_TRUE(r.bench) << r.error;
        EXPECT_TRUE(r.bench->resources.empty());
        EXPECT_EQ(r.bench->source, "t.yaml");
    }
}

}  // namespace

// Discovery through the VISA stand-in: on the default bench in this process,
// and on benches written for each rule, in a probe process of their own.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "carrier_discovery.h"

namespace discovery {
namespace {

struct Probe {
    std::string status;
    std::vector<std::string> carriers;  // "resource|label|kind|model|serial"
};

// Runs discovery in a separate process on the bench text given.
Probe discoverOn(const std::string& benchYaml) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("discovery_bench_" +
                                        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                        ".yaml");
    std::ofstream(file) << benchYaml;
    const std::string command = "SORVI_BENCH=" + file.string() + " " DISCOVERY_TEST_PROBE " 2>&1";
    Probe probe;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return probe;
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
    std::filesystem::remove(file);
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("status ")) probe.status = line.substr(7);
        else if (line.find('|') != std::string::npos) probe.carriers.push_back(line);
        else probe.status += " [" + line + "]";
    }
    return probe;
}

TEST(Discovery, DefaultBenchGivesTwoVxiCarriersAndOneUsbBoxInBusOrder) {
    const DiscoveryResult found = discoverCarriers();
    EXPECT_EQ(found.status, 0);
    ASSERT_EQ(found.carriers.size(), 3u);
    const CarrierInfo& first = found.carriers[0];
    EXPECT_EQ(first.resourceName, "VXI0::24::INSTR");
    EXPECT_EQ(first.kind, CarrierKind::Vxi);
    EXPECT_EQ(first.slot, 3);
    EXPECT_EQ(first.crateLA, 0);
    EXPECT_EQ(first.label, "Н.М.  Л.А.крейта:0x00, слот:3  (VXI0::24::INSTR)");
    EXPECT_EQ(found.carriers[1].label, "Н.М.У.  Л.А.крейта:0x00, слот:5  (VXI0::40::INSTR)");
    const CarrierInfo& usb = found.carriers[2];
    EXPECT_EQ(usb.kind, CarrierKind::KuboltUsb);
    EXPECT_EQ(usb.serial, "0457");
    EXPECT_EQ(usb.modelCode, kKuboltModelCode);
    EXPECT_EQ(usb.label, "Kubolt, USB (№:0457)");
}

TEST(Discovery, VxiResourcesNeedTheMakerACarrierModelAndASlotFrom1To12) {
    const Probe probe = discoverOn(R"(resources:
  - {name: "VXI0::1::INSTR", slot: 0, manufacturer_id: 0xE76, model_code: 0x10D}
  - {name: "VXI0::2::INSTR", slot: 13, manufacturer_id: 0xE76, model_code: 0x10D}
  - {name: "VXI0::3::INSTR", slot: 12, manufacturer_id: 0xE76, model_code: 0x10D, mainframe_la: 10}
  - {name: "VXI0::4::INSTR", slot: 4, manufacturer_id: 0xFFA, model_code: 0x10D}
  - {name: "VXI0::5::INSTR", slot: 4, manufacturer_id: 0xE76, model_code: 0x123}
  - {name: "VXI0::6::INSTR", slot: 1, manufacturer_id: 0xE76, model_code: 0xF177}
  - {name: "GPIB-VXI0::7::INSTR", slot: 7, manufacturer_id: 0xE76, model_code: 0x155}
)");
    EXPECT_EQ(probe.status, "0");
    EXPECT_EQ(probe.carriers, (std::vector<std::string>{
                                  "VXI0::3::INSTR|Н.М.  Л.А.крейта:0x0A, слот:12  (VXI0::3::INSTR)|0|0x10D|",
                                  "VXI0::6::INSTR|Н.М.М.  Л.А.крейта:0x00, слот:1  (VXI0::6::INSTR)|0|0x177|",
                                  "GPIB-VXI0::7::INSTR|Н.М.У.  Л.А.крейта:0x00, слот:7  (GPIB-VXI0::7::INSTR)|0|0x155|",
                              }));
}

TEST(Discovery, KuboltBoxesAreKnownByTheirIdentificationReply) {
    const Probe probe = discoverOn(R"(resources:
  - {name: "USB0::0x0E76::0x1004::1001::INSTR", idn: "VELTRONA,TARVO,1001,1.02"}
  - {name: "USB0::0x0E76::0x1004::1002::INSTR", idn: "OTHER,TARVO,1002,1.0"}
  - {name: "USB0::0x0E76::0x1004::1003::INSTR"}
  - {name: "TCPIP0::192.168.1.7::inst0::INSTR", idn: "VELTRONA,TARVO,77"}
  - {name: "USB0::0x0E76::0x1004::1005::INSTR", idn: "VELTRONA,TARVO,0123456789012345678901234567890123456789,2"}
)");
    EXPECT_EQ(probe.status, "0");
    ASSERT_EQ(probe.carriers.size(), 3u) << ::testing::PrintToString(probe.carriers);
    EXPECT_NE(probe.carriers[0].find("|Kubolt, USB (№:1001)|1|0x1004|1001"), std::string::npos) << probe.carriers[0];
    EXPECT_NE(probe.carriers[1].find("|Kubolt, LXI (192.168.1.7, №:77)|2|0x1004|77"), std::string::npos)
        << probe.carriers[1];
    EXPECT_TRUE(probe.carriers[2].ends_with("|0123456789012345678901234567890")) << probe.carriers[2];
}

TEST(Discovery, AnEmptyBusIsNotAFailure) {
    const Probe probe = discoverOn("resources: []\n");
    EXPECT_EQ(probe.status, "0");
    EXPECT_TRUE(probe.carriers.empty());
}

}  // namespace
}  // namespace discovery

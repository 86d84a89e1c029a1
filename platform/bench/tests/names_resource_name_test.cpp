// Resource names: one canonical form for every way of writing a name.
#include <gtest/gtest.h>

#include "bench_loader.h"
#include "resource_name.h"

namespace {

TEST(ResourceNames, SpellingsOfOneInstrumentShareACanonicalForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"VXI0::24::INSTR", "VXI0::24::INSTR"},
        {"vxi::24", "VXI0::24::INSTR"},
        {"VXI::24::instr", "VXI0::24::INSTR"},
        {"GPIB-VXI1::8", "GPIB-VXI1::8::INSTR"},
        {"GPIB::5", "GPIB0::5::INSTR"},
        {"GPIB0::5::3::INSTR", "GPIB0::5::3::INSTR"},
        {"ASRL2", "ASRL2::INSTR"},
        {"USB::0x0e76::0x1004::0457::INSTR", "USB0::0x0E76::0x1004::0457::0::INSTR"},
        {"USB0::3702::4100::0457::0", "USB0::0x0E76::0x1004::0457::0::INSTR"},
        {"TCPIP::192.168.1.20", "TCPIP0::192.168.1.20::inst0::INSTR"},
        {"TCPIP0::[fe80::1]::hislip0::INSTR", "TCPIP0::[fe80::1]::hislip0::INSTR"},
        {"PXI0::14", "PXI0::14::0::INSTR"},
    };
    for (const auto& [name, canonical] : cases) {
        auto c = bench::canonicalResourceName(name);
        ASSERT_TRUE(c) << name;
        EXPECT_EQ(*c, canonical) << name;
    }
}

TEST(ResourceNames, MalformedNamesAreRefused) {
    for (const char* name :
         {"", "VXI", "VXI0::", "VXI0::256::INSTR", "VXI0::-1", "VXIx::1", "XYZ0::1::INSTR", "VXI0::1::INSTR::9",
          "GPIB0::31", "USB0::0x10000::1::S::INSTR", "USB0::1::2::INSTR", "TCPIP0::::INSTR", "VXI0::1::FOO",
          "TCPIP0::host::99999::SOCKET", "USB0::1::2::S::300::INSTR"})
        EXPECT_FALSE(bench::parseResourceName(name)) << name;
}

TEST(ResourceNames, OtherResourceClassesParseButAreNoInstruments) {
    for (const auto& [name, cls] : {std::pair{"GPIB0::INTFC", "INTFC"},
                                    {"VXI0::MEMACC", "MEMACC"},
                                    {"VXI0::2::BACKPLANE", "BACKPLANE"},
                                    {"TCPIP0::10.0.0.1::5025::SOCKET", "SOCKET"},
                                    {"USB0::1::2::S::RAW", "RAW"}}) {
        auto p = bench::parseResourceName(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->resourceClass, cls);
        EXPECT_FALSE(bench::canonicalResourceName(name)) << name;
    }
}

TEST(ResourceNames, FindResourceOnTheDefaultBench) {
    const auto b = bench::defaultBench();
    const auto* usb = bench::findResource(b, "usb::0xe76::0x1004::0457");
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->idn.substr(0, 14), "VELTRONA,TARVO");
    EXPECT_EQ(bench::interfaceInstanceName(*usb), "USB0");
    EXPECT_EQ(bench::findResource(b, "VXI1::24::INSTR"), nullptr);
    EXPECT_EQ(bench::findResource(b, "USB0::0x0E76::0x1004::0457::1::INSTR"), nullptr);
    EXPECT_EQ(bench::findResource(b, "not a name"), nullptr);
    EXPECT_TRUE(bench::sameResource("VXI::8", "vxi0::8::instr"));
}

}  // namespace

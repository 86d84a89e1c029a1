// Opening by name and parsing names through the resource manager.
#include <cstring>

#include "visa_fixture.h"

namespace {

using Names = VisaTest;

TEST_F(Names, OpenAcceptsEveryStandardSpelling) {
    for (const char* name : {"VXI0::24::INSTR", "vxi::24", "VXI::24::INSTR", "USB::0x0E76::0x1004::0457",
                             "usb0::3702::4100::0457::0::instr"}) {
        ViSession vi = VI_NULL;
        ASSERT_EQ(viOpen(rm, name, VI_NULL, VI_NULL, &vi), VI_SUCCESS) << name;
        ViChar canonical[256];
        ASSERT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, canonical), VI_SUCCESS);
        EXPECT_TRUE(std::strcmp(canonical, kVxiCarrier) == 0 || std::strcmp(canonical, kUsbBox) == 0) << canonical;
        EXPECT_EQ(viClose(vi), VI_SUCCESS);
    }
}

TEST_F(Names, OpenRefusals) {
    ViSession vi = 77;
    EXPECT_EQ(viOpen(rm, "VXI0::99::INSTR", VI_NULL, VI_NULL, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(vi, static_cast<ViSession>(VI_NULL));
    EXPECT_EQ(viOpen(rm, "VXI1::24::INSTR", VI_NULL, VI_NULL, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viOpen(rm, "VXI0::24::SOMETHING", VI_NULL, VI_NULL, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm, "", VI_NULL, VI_NULL, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm, nullptr, VI_NULL, VI_NULL, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm, kVxiCarrier, 0x100, VI_NULL, &vi), VI_ERROR_INV_ACC_MODE);
    EXPECT_EQ(viOpen(rm, kVxiCarrier, VI_NULL, VI_NULL, nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viOpen(0x7777, kVxiCarrier, VI_NULL, VI_NULL, &vi), VI_ERROR_INV_OBJECT);
    ViSession instr = open(kVxiCarrier);
    EXPECT_EQ(viOpen(instr, kVxiCarrier, VI_NULL, VI_NULL, &vi), VI_ERROR_INV_OBJECT);
}

TEST_F(Names, ParseRsrcEx) {
    ViUInt16 type = 0, num = 99;
    ViChar cls[256], expanded[256], alias[256];
    ASSERT_EQ(viParseRsrcEx(rm, "usb::0xe76::0x1004::0457", &type, &num, cls, expanded, alias), VI_SUCCESS);
    EXPECT_EQ(type, VI_INTF_USB);
    EXPECT_EQ(num, 0);
    EXPECT_STREQ(cls, "INSTR");
    EXPECT_STREQ(expanded, kUsbBox);
    EXPECT_STREQ(alias, "");
    ASSERT_EQ(viParseRsrc(rm, "VXI::3::BACKPLANE", &type, &num), VI_SUCCESS);
    EXPECT_EQ(type, VI_INTF_VXI);
    EXPECT_EQ(viParseRsrc(rm, "GPIB0::5::INSTR", &type, &num), VI_ERROR_RSRC_NFOUND);  // no GPIB board
    EXPECT_EQ(viParseRsrc(rm, "VXI0::", &type, &num), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viParseRsrc(rm, nullptr, &type, &num), VI_ERROR_INV_RSRC_NAME);
}

}  // namespace

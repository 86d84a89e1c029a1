// A carrier session opened by the carrier driver is also a VISA session: its
// attributes can be read, but closing it is the carrier driver's business.
#include <cstring>

#include "session_registry.h"
#include "visa_fixture.h"

namespace {

using CarrierSessions = VisaTest;

TEST_F(CarrierSessions, AnswerTheAttributesOfTheirResource) {
    auto& registry = bench::SessionRegistry::instance();
    const ViSession carrier = registry.add({bench::SessionKind::Carrier, kVxiCarrier, 0, nullptr});
    ViInt16 slot = 0, crate = -1;
    ViChar name[256], intf[256];
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_MAINFRAME_LA, &crate), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_INTF_INST_NAME, intf), VI_SUCCESS);
    EXPECT_EQ(slot, 3);
    EXPECT_EQ(crate, 0);
    EXPECT_STREQ(name, kVxiCarrier);
    EXPECT_STREQ(intf, "VXI0");
    ASSERT_EQ(viSetAttribute(carrier, VI_ATTR_TMO_VALUE, 10), VI_SUCCESS);
    ViUInt32 tmo = 0;
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
    EXPECT_EQ(tmo, 10u);
    EXPECT_EQ(viClose(carrier), VI_ERROR_NSUP_OPER);
    EXPECT_TRUE(registry.remove(carrier));
    EXPECT_EQ(viGetAttribute(carrier, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);
}

TEST_F(CarrierSessions, UsbBoxCanBeQueried) {
    auto& registry = bench::SessionRegistry::instance();
    const ViSession carrier = registry.add({bench::SessionKind::Carrier, kUsbBox, 0, nullptr});
    ViChar intf[256], reply[256];
    ASSERT_EQ(viGetAttribute(carrier, VI_ATTR_INTF_INST_NAME, intf), VI_SUCCESS);
    EXPECT_STREQ(intf, "USB0");
    ASSERT_EQ(viQueryf(carrier, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_EQ(std::strncmp(reply, "VELTRONA,TARVO", 14), 0);
    registry.remove(carrier);
}

TEST_F(CarrierSessions, LocksMeetWhateverSpellingTheCarrierDriverUsed) {
    auto& registry = bench::SessionRegistry::instance();
    const ViSession carrier = registry.add({bench::SessionKind::Carrier, "usb::0xe76::0x1004::0457", 0, nullptr});
    const ViSession vi = open(kUsbBox);
    ASSERT_EQ(viLock(vi, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
    ViChar reply[256];
    EXPECT_EQ(viQueryf(carrier, "*IDN?\n", "%t", reply), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(viLock(carrier, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_ERROR_TMO);
    ASSERT_EQ(viUnlock(vi), VI_SUCCESS);
    EXPECT_EQ(viQueryf(carrier, "*IDN?\n", "%t", reply), VI_SUCCESS);
    registry.remove(carrier);
}

}  // namespace

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

}  // namespace

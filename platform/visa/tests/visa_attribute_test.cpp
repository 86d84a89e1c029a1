// Attributes: what each kind of resource reports and which settings stick.
#include <cstring>

#include "visa_fixture.h"

namespace {

using Attributes = VisaTest;

TEST_F(Attributes, VxiCarrier) {
    const ViSession vi = open(kVxiCarrier);
    EXPECT_EQ(attribute<ViUInt16>(vi, VI_ATTR_INTF_TYPE), VI_INTF_VXI);
    EXPECT_EQ(attribute<ViInt16>(vi, VI_ATTR_SLOT), 3);
    EXPECT_EQ(attribute<ViUInt16>(vi, VI_ATTR_MANF_ID), 0xE76);
    EXPECT_EQ(attribute<ViUInt16>(vi, VI_ATTR_MODEL_CODE), 0x10D);
    EXPECT_EQ(attribute<ViInt16>(vi, VI_ATTR_MAINFRAME_LA), 0);
    EXPECT_EQ(attribute<ViInt16>(vi, VI_ATTR_VXI_LA), 24);
    EXPECT_EQ(textAttribute(vi, VI_ATTR_INTF_INST_NAME), "VXI0");
    EXPECT_EQ(textAttribute(vi, VI_ATTR_RSRC_CLASS), "INSTR");
    ViChar text[256];
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_USB_SERIAL_NUM, text), VI_ERROR_NSUP_ATTR);
}

TEST_F(Attributes, UsbBoxHasNoVxiAttributes) {
    const ViSession vi = open(kUsbBox);
    EXPECT_EQ(attribute<ViUInt16>(vi, VI_ATTR_INTF_TYPE), VI_INTF_USB);
    EXPECT_EQ(textAttribute(vi, VI_ATTR_INTF_INST_NAME), "USB0");
    EXPECT_EQ(textAttribute(vi, VI_ATTR_USB_SERIAL_NUM), "0457");
    EXPECT_EQ(attribute<ViInt16>(vi, VI_ATTR_USB_INTFC_NUM), 0);
    EXPECT_EQ(textAttribute(vi, VI_ATTR_MANF_NAME), "VELTRONA");
    ViInt16 i16 = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_SLOT, &i16), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_MAINFRAME_LA, &i16), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_VXI_LA, &i16), VI_ERROR_NSUP_ATTR);
}

TEST_F(Attributes, LocalSettingsAreKeptPerSession) {
    const ViSession a = open(kUsbBox);
    const ViSession b = open(kUsbBox);
    EXPECT_EQ(attribute<ViUInt32>(a, VI_ATTR_TMO_VALUE), 2000u);
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TMO_VALUE, 125), VI_SUCCESS);
    EXPECT_EQ(attribute<ViUInt32>(a, VI_ATTR_TMO_VALUE), 125u);
    EXPECT_EQ(attribute<ViUInt32>(b, VI_ATTR_TMO_VALUE), 2000u);
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TERMCHAR, '\r'), VI_SUCCESS);
    EXPECT_EQ(attribute<ViUInt8>(a, VI_ATTR_TERMCHAR), '\r');
    EXPECT_EQ(attribute<ViBoolean>(a, VI_ATTR_TERMCHAR_EN), VI_FALSE);
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(attribute<ViBoolean>(a, VI_ATTR_TERMCHAR_EN), VI_TRUE);
}

TEST_F(Attributes, RefusedSettings) {
    const ViSession vi = open(kVxiCarrier);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_SLOT, 4), VI_ERROR_ATTR_READONLY);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_RSRC_NAME, 0), VI_ERROR_ATTR_READONLY);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_RSRC_IMPL_VERSION, 0), VI_ERROR_ATTR_READONLY);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TCPIP_ADDR, 0), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viSetAttribute(vi, 0x3FFF7777, 0), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, 300), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_SLOT, nullptr), VI_ERROR_USER_BUF);
    ViInt16 slot = 0;
    EXPECT_EQ(viGetAttribute(0xBAD, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viSetAttribute(0xBAD, VI_ATTR_TMO_VALUE, 1), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viGetAttribute(vi, 0x3FFF7777, &slot), VI_ERROR_NSUP_ATTR);
}

TEST_F(Attributes, ImplementationAttributesOnEverySession) {
    EXPECT_EQ(attribute<ViVersion>(rm, VI_ATTR_RSRC_SPEC_VERSION), VI_SPEC_VERSION);
    EXPECT_FALSE(textAttribute(rm, VI_ATTR_RSRC_MANF_NAME).empty());
    const ViSession vi = open(kVxiCarrier);
    EXPECT_EQ(attribute<ViAccessMode>(vi, VI_ATTR_RSRC_LOCK_STATE), static_cast<ViAccessMode>(VI_NO_LOCK));
}

TEST_F(Attributes, StatusTextsForEveryCode) {
    ViChar text[256];
    for (ViStatus st : {VI_SUCCESS, VI_SUCCESS_MAX_CNT, VI_WARN_NULL_OBJECT, VI_ERROR_TMO, VI_ERROR_RSRC_NFOUND,
                        VI_ERROR_NSUP_ATTR, VI_ERROR_NPERMISSION}) {
        ASSERT_EQ(viStatusDesc(rm, st, text), VI_SUCCESS);
        EXPECT_GT(std::strlen(text), 10u);
    }
    EXPECT_EQ(viStatusDesc(rm, 0x12345, text), VI_WARN_UNKNOWN_STATUS);
    EXPECT_EQ(viStatusDesc(rm, VI_ERROR_TMO, nullptr), VI_ERROR_USER_BUF);
}

}  // namespace

// Attributes: what each kind of resource reports and which settings stick.
#include <cstring>

#include "visa_fixture.h"

namespace {

using Attributes = VisaTest;

TEST_F(Attributes, VxiCarrier) {
    const ViSession vi = open(kVxiCarrier);
    ViUInt16 u16 = 0;
    ViInt16 i16 = 0;
    ViChar text[256];
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &u16), VI_SUCCESS);
    EXPECT_EQ(u16, VI_INTF_VXI);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_SLOT, &i16), VI_SUCCESS);
    EXPECT_EQ(i16, 3);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_MANF_ID, &u16), VI_SUCCESS);
    EXPECT_EQ(u16, 0xE76);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_MODEL_CODE, &u16), VI_SUCCESS);
    EXPECT_EQ(u16, 0x10D);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_MAINFRAME_LA, &i16), VI_SUCCESS);
    EXPECT_EQ(i16, 0);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_VXI_LA, &i16), VI_SUCCESS);
    EXPECT_EQ(i16, 24);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_INTF_INST_NAME, text), VI_SUCCESS);
    EXPECT_STREQ(text, "VXI0");
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_CLASS, text), VI_SUCCESS);
    EXPECT_STREQ(text, "INSTR");
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, text), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_USB_SERIAL_NUM, text), VI_ERROR_NSUP_ATTR);
}

TEST_F(Attributes, UsbBoxHasNoVxiAttributes) {
    const ViSession vi = open(kUsbBox);
    ViUInt16 u16 = 0;
    ViInt16 i16 = 0;
    ViChar text[256];
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &u16), VI_SUCCESS);
    EXPECT_EQ(u16, VI_INTF_USB);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_INTF_INST_NAME, text), VI_SUCCESS);
    EXPECT_STREQ(text, "USB0");
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_USB_SERIAL_NUM, text), VI_SUCCESS);
    EXPECT_STREQ(text, "0457");
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_USB_INTFC_NUM, &i16), VI_SUCCESS);
    EXPECT_EQ(i16, 0);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_MANF_NAME, text), VI_SUCCESS);
    EXPECT_STREQ(text, "VELTRONA");
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_SLOT, &i16), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_MAINFRAME_LA, &i16), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_VXI_LA, &i16), VI_ERROR_NSUP_ATTR);
}

TEST_F(Attributes, LocalSettingsAreKeptPerSession) {
    const ViSession a = open(kUsbBox);
    const ViSession b = open(kUsbBox);
    ViUInt32 tmo = 0;
    ASSERT_EQ(viGetAttribute(a, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
    EXPECT_EQ(tmo, 2000u);
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TMO_VALUE, 125), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(a, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
    EXPECT_EQ(tmo, 125u);
    ASSERT_EQ(viGetAttribute(b, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
    EXPECT_EQ(tmo, 2000u);
    ViUInt8 term = 0;
    ViBoolean enabled = VI_TRUE;
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TERMCHAR, '\r'), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(a, VI_ATTR_TERMCHAR, &term), VI_SUCCESS);
    EXPECT_EQ(term, '\r');
    ASSERT_EQ(viGetAttribute(a, VI_ATTR_TERMCHAR_EN, &enabled), VI_SUCCESS);
    EXPECT_EQ(enabled, VI_FALSE);
    ASSERT_EQ(viSetAttribute(a, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(a, VI_ATTR_TERMCHAR_EN, &enabled), VI_SUCCESS);
    EXPECT_EQ(enabled, VI_TRUE);
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
    ViVersion version = 0;
    ViChar text[256];
    ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_SPEC_VERSION, &version), VI_SUCCESS);
    EXPECT_EQ(version, VI_SPEC_VERSION);
    ASSERT_EQ(viGetAttribute(rm, VI_ATTR_RSRC_MANF_NAME, text), VI_SUCCESS);
    EXPECT_GT(std::strlen(text), 0u);
    ViAccessMode lock = 99;
    const ViSession vi = open(kVxiCarrier);
    ASSERT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_LOCK_STATE, &lock), VI_SUCCESS);
    EXPECT_EQ(lock, static_cast<ViAccessMode>(VI_NO_LOCK));
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

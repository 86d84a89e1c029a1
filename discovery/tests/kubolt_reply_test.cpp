// What an identification reply makes of a USB or TCP/IP resource, and which
// VXI model codes are carriers.
#include <gtest/gtest.h>

#include "carrier_search.h"
#include "visa.h"

namespace discovery {
namespace {

TEST(KuboltReply, SerialRunsFromAfterThePrefixToTheNextComma) {
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,0457,1.02"), "0457");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,0457,1.02\n"), "0457");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,0458\r\n"), "0458");  // the line end is not part of it
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,0457"), "0457");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO"), "");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO\n"), "");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,"), "");
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO-X99"), "X99");  // the character after the prefix is skipped
}

TEST(KuboltReply, SerialIsCutAt31BytesOnACharacterBoundary) {
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ,2.0"),
              "0123456789ABCDEFGHIJ0123456789A");
    // 30 ASCII bytes and a two-byte character: the character does not fit whole.
    const std::string thirty(30, '7');
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO," + thirty + "Ж1"), thirty);
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,№1"), "№1");
}

TEST(KuboltReply, ANulByteEndsTheReply) {
    using namespace std::string_view_literals;
    EXPECT_EQ(kuboltSerial("VELTRONA,TARVO,04\0"
                           "57,1.0"sv),
              "04");
    EXPECT_EQ(kuboltSerial("VELTRONA,TA\0RVO,0457"sv), std::nullopt);
}

TEST(KuboltReply, OtherRepliesAreNotKuboltBoxes) {
    for (const char* reply :
         {"ACME,TARVO,0460,1.0", "OTHER,TARVO,1002,1.0", "VELTRONA,TARV", "", " VELTRONA,TARVO,1", "veltrona,tarvo,1"})
        EXPECT_EQ(kuboltSerial(reply), std::nullopt) << reply;
}

TEST(KuboltReply, TheInterfaceTypeGivesTheKind) {
    Carrier usb;
    usb.intfType = VI_INTF_USB;
    ASSERT_TRUE(kuboltFromReply("VELTRONA,TARVO,0457,1.02\n", usb));
    EXPECT_EQ(usb.kind, CarrierKind::KuboltUsb);
    EXPECT_EQ(usb.modelCode, kKuboltModelCode);
    EXPECT_EQ(usb.serial, "0457");

    Carrier lxi;
    lxi.intfType = VI_INTF_TCPIP;
    ASSERT_TRUE(kuboltFromReply("VELTRONA,TARVO,0777", lxi));
    EXPECT_EQ(lxi.kind, CarrierKind::KuboltTcpip);

    Carrier other;
    other.intfType = VI_INTF_USB;
    EXPECT_FALSE(kuboltFromReply("ACME,METER,1,1", other));
    EXPECT_EQ(other.modelCode, 0);
}

TEST(VxiModels, ThreeCarrierFamiliesByTheLow12Bits) {
    EXPECT_EQ(vxiCarrierFamily(0x10D), "Н.М.");
    EXPECT_EQ(vxiCarrierFamily(0x155), "Н.М.У.");
    EXPECT_EQ(vxiCarrierFamily(0xF177), "Н.М.М.");
    EXPECT_EQ(vxiCarrierFamily(0x123), "");
    EXPECT_EQ(vxiCarrierFamily(0x1004), "");
}

}  // namespace
}  // namespace discovery

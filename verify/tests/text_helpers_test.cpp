// Bounded formatting, discovery's labels, and the channel
// verdicts: the pieces whose exact texts end up on screen and in protocols.
#include <gtest/gtest.h>

#include "channel_verdict.h"
#include "si.h"
#include "text_format.h"

TEST(BoundedText, CutsAtCharactersNotBytes) {
    EXPECT_EQ(truncateChars("канал", 3), "кан");
    EXPECT_EQ(truncateChars("abc", 10), "abc");
    EXPECT_EQ(truncateChars("", 5), "");
    EXPECT_EQ(formatBounded(5, "%s-%d", "слот", 12345), "слот-");
    const std::string longText(5000, 'x');
    EXPECT_EQ(formatBounded(1023, "%s\n", longText.c_str()).size(), 1023u);
}

TEST(BoundedText, EveryLineFeedBecomesCrLf) {
    EXPECT_EQ(withCrLf("\na\nb\n"), "\r\na\r\nb\r\n");
    EXPECT_EQ(withCrLf("no line end"), "no line end");
}

TEST(VxiLabels, FollowTheModelCode) {
    EXPECT_EQ(vxiCarrierLabel(0x10D, 10, 3, "VXI0::24::INSTR"), "Н.М.  Л.А.крейта:0x0A, слот:3\n(VXI0::24::INSTR)");
    EXPECT_EQ(vxiCarrierLabel(0x155, 0, 5, "VXI0::40::INSTR"), "Н.М.У.  Л.А.крейта:0x00, слот:5\n(VXI0::40::INSTR)");
    EXPECT_EQ(vxiCarrierLabel(0x177, 255, 12, "VXI0::8::INSTR"), "Н.М.М.  Л.А.крейта:0xFF, слот:12\n(VXI0::8::INSTR)");
    EXPECT_EQ(vxiCarrierLabel(0x123, 0, 3, "VXI0::24::INSTR"), "");
}

TEST(VxiLabels, StayWithin127Characters) {
    const std::string name(300, 'N');
    const std::string label = vxiCarrierLabel(0x10D, 0, 3, name);
    EXPECT_EQ(label.size(), truncateChars(label, 127).size());
    EXPECT_EQ(truncateChars(label, 126).size() + 1, label.size());
}

TEST(KuboltReplies, LabelsByInterface) {
    EXPECT_EQ(kuboltLabel(7, "", "0457"), "Kubolt, USB (№:0457)");
    EXPECT_EQ(kuboltLabel(6, "192.168.1.20", "0777"), "Kubolt, LXI (192.168.1.20, №:0777)");
    EXPECT_EQ(kuboltLabel(7, "", ""), "Kubolt, USB (№:)");
}

TEST(ChannelVerdicts, CellTextAgainstTheExpectedState) {
    EXPECT_STREQ(channelVerdict(cellState("1"), 1), "норма");
    EXPECT_STREQ(channelVerdict(cellState("0"), 1), "не норма");
    EXPECT_STREQ(channelVerdict(cellState("0"), 0), "норма");
    EXPECT_STREQ(channelVerdict(cellState("1"), 0), "не норма");
    EXPECT_STREQ(channelVerdict(cellState(""), 1), "не измерялось");
    EXPECT_STREQ(channelVerdict(cellState("x"), 0), "не измерялось");
    EXPECT_STREQ(channelVerdict(cellState("2"), 1), "не измерялось");
    EXPECT_STREQ(channelVerdict(cellState("-1"), 0), "не измерялось");
    EXPECT_STREQ(channelVerdict(cellState("  1abc"), 1), "норма");
    EXPECT_STREQ(channelVerdict(cellState("99999999999999999999"), 1), "не измерялось");
}

TEST(ChannelVerdicts, ChannelBitsIncludingChannel32) {
    EXPECT_EQ(channelBit(0x00000001u, 1), 1);
    EXPECT_EQ(channelBit(0x00000001u, 2), 0);
    EXPECT_EQ(channelBit(0x80000000u, 32), 1);
    EXPECT_EQ(channelBit(0x7FFFFFFFu, 32), 0);
    EXPECT_EQ(channelBit(0xFFFFFFFFu, 0), 0);
    EXPECT_EQ(channelBit(0xFFFFFFFFu, 33), 0);
}

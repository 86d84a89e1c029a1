// Message-based I/O: the identification query and its failures.
#include <cstring>

#include "visa_fixture.h"

namespace {

using MessageIo = VisaTest;

TEST_F(MessageIo, IdentificationQueryWithPercentT) {
    const ViSession vi = open(kUsbBox);
    ViChar reply[256] = {};
    ASSERT_EQ(viQueryf(vi, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "VELTRONA,TARVO,0457,1.02\n");
}

TEST_F(MessageIo, QueryfFormats) {
    const ViSession vi = open(kUsbBox);
    ViChar maker[32], rest[64];
    ViInt32 size = sizeof rest;
    ASSERT_EQ(viQueryf(vi, "%s%c\n", "%[^,],%#t", "*IDN", '?', maker, &size, rest), VI_SUCCESS);
    EXPECT_STREQ(maker, "VELTRONA");
    EXPECT_STREQ(rest, "TARVO,0457,1.02\n");
    EXPECT_EQ(size, 16);
    int ready = 0;
    ASSERT_EQ(viQueryf(vi, "*OPC?\n", "%d", &ready), VI_SUCCESS);
    EXPECT_EQ(ready, 1);
    ViChar small[8];
    size = sizeof small;
    ASSERT_EQ(viQueryf(vi, "*IDN?\n", "%#t", &size, small), VI_SUCCESS);
    EXPECT_STREQ(small, "VELTRON");  // cut to the buffer, never past it
    EXPECT_EQ(viQueryf(vi, "%b\n", "%t", 1, small), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(viQueryf(vi, "%q\n", "%t", 1, small), VI_ERROR_INV_FMT);
}

TEST_F(MessageIo, WriteAndReadInPieces) {
    const ViSession vi = open(kUsbBox);
    ViUInt32 count = 0;
    ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>("*IDN?\r\n"), 7, &count), VI_SUCCESS);
    EXPECT_EQ(count, 7u);
    ViByte buf[64];
    ASSERT_EQ(viRead(vi, buf, 8, &count), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), count), "VELTRONA");
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR, ','), VI_SUCCESS);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(viRead(vi, buf, sizeof buf, &count), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), count), ",");
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_FALSE), VI_SUCCESS);
    ASSERT_EQ(viRead(vi, buf, sizeof buf, &count), VI_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), count), "TARVO,0457,1.02\n");
}

TEST_F(MessageIo, NoAnswerTimesOut) {
    const ViSession vi = open(kUsbBox);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 20), VI_SUCCESS);
    ViChar reply[256];
    EXPECT_EQ(viQueryf(vi, "SYST:ERR?\n", "%t", reply), VI_ERROR_TMO);
    ViByte buf[16];
    ViUInt32 count = 5;
    EXPECT_EQ(viRead(vi, buf, sizeof buf, &count), VI_ERROR_TMO);
    EXPECT_EQ(count, 0u);
    // The VXI carrier is register-based: it answers nothing.
    const ViSession vxi = open(kVxiCarrier);
    ASSERT_EQ(viSetAttribute(vxi, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
    EXPECT_EQ(viQueryf(vxi, "*IDN?\n", "%t", reply), VI_ERROR_TMO);
}

// Queries nobody reads keep a bounded number of answers; the oldest are kept.
TEST_F(MessageIo, UnreadAnswersAreBounded) {
    const ViSession vi = open(kUsbBox);
    ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
    std::string many;
    for (int i = 0; i < 100000; ++i) many += "*IDN?;";
    ViUInt32 count = 0;
    for (int round = 0; round < 20; ++round)
        ASSERT_EQ(viWrite(vi, reinterpret_cast<ViConstBuf>(many.data()), static_cast<ViUInt32>(many.size()), &count),
                  VI_SUCCESS);
    int answers = 0;
    ViByte buf[256];
    while (viRead(vi, buf, sizeof buf, &count) == VI_SUCCESS) {
        ASSERT_EQ(std::string(reinterpret_cast<char*>(buf), count), "VELTRONA,TARVO,0457,1.02\n");
        ++answers;
    }
    EXPECT_GT(answers, 0);
    EXPECT_LE(answers, 1000);
    // The device still answers once its queue has room again.
    ViChar reply[64] = {};
    ASSERT_EQ(viQueryf(vi, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "VELTRONA,TARVO,0457,1.02\n");
}

TEST_F(MessageIo, ClearDropsPendingAnswers) {
    const ViSession vi = open(kUsbBox);
    ASSERT_EQ(viPrintf(vi, "*IDN?\n"), VI_SUCCESS);
    ViUInt16 stb = 0;
    ASSERT_EQ(viReadSTB(vi, &stb), VI_SUCCESS);
    EXPECT_EQ(stb & 0x10, 0x10);
    ASSERT_EQ(viClear(vi), VI_SUCCESS);
    ASSERT_EQ(viReadSTB(vi, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0);
}

TEST_F(MessageIo, BadArguments) {
    const ViSession vi = open(kUsbBox);
    ViUInt32 count = 0;
    EXPECT_EQ(viRead(vi, nullptr, 10, &count), VI_ERROR_USER_BUF);
    EXPECT_EQ(viWrite(vi, nullptr, 10, &count), VI_ERROR_USER_BUF);
    EXPECT_EQ(viQueryf(vi, nullptr, "%t", nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viWrite(0xBAD, reinterpret_cast<ViConstBuf>("x"), 1, &count), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viFlush(vi, 0), VI_ERROR_INV_MASK);
    EXPECT_EQ(viFlush(vi, VI_READ_BUF | VI_READ_BUF_DISCARD), VI_ERROR_INV_MASK);
    EXPECT_EQ(viIn16(vi, VI_A16_SPACE, 0, nullptr), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(viClose(VI_NULL), VI_WARN_NULL_OBJECT);
    EXPECT_EQ(viClose(0xBAD), VI_ERROR_INV_OBJECT);
}

TEST_F(MessageIo, EventsAreTrackedButNeverRaised) {
    const ViSession vi = open(kUsbBox);
    EXPECT_EQ(viEnableEvent(vi, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
    EXPECT_EQ(viEnableEvent(vi, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS_EVENT_EN);
    ViEventType type = 1;
    ViEvent event = 1;
    EXPECT_EQ(viWaitOnEvent(vi, VI_EVENT_SERVICE_REQ, 5, &type, &event), VI_ERROR_TMO);
    EXPECT_EQ(viDiscardEvents(vi, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS_QUEUE_EMPTY);
    EXPECT_EQ(viDisableEvent(vi, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
    EXPECT_EQ(viDisableEvent(vi, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS_EVENT_DIS);
    EXPECT_EQ(viWaitOnEvent(vi, VI_EVENT_SERVICE_REQ, 5, &type, &event), VI_ERROR_NENABLED);
    EXPECT_EQ(viEnableEvent(vi, 0x1234, VI_QUEUE, VI_NULL), VI_ERROR_INV_EVENT);
    EXPECT_EQ(viEnableEvent(vi, VI_EVENT_TRIG, 0, VI_NULL), VI_ERROR_INV_MECH);
}

}  // namespace

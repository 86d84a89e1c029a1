// The formatted I/O language on its own, through viSPrintf and viSScanf.
#include <cstdint>
#include <cstring>
#include <string>

#include "visa_fixture.h"

namespace {

using Format = VisaTest;

TEST_F(Format, PrintfConversions) {
    ViByte buf[256];
    ASSERT_EQ(viSPrintf(rm, buf, "%s=%d;%5.2f|%-4x|%c%%|%ld|%lld", "A", -7, 3.14159, 255, 'z', 70000, 1LL << 40),
              VI_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(buf), "A=-7; 3.14|ff  |z%|70000|1099511627776");
    ASSERT_EQ(viSPrintf(rm, buf, "%*d|%.*f", 4, 42, 1, 2.25), VI_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(buf), "  42|2.2");
    EXPECT_EQ(viSPrintf(rm, buf, "%s", nullptr), VI_ERROR_USER_BUF);
    EXPECT_EQ(viSPrintf(rm, buf, "%"), VI_ERROR_INV_FMT);
    EXPECT_EQ(viSPrintf(0xBAD, buf, "x"), VI_ERROR_INV_OBJECT);
}

TEST_F(Format, ScanfConversions) {
    const auto* input = reinterpret_cast<ViConstBuf>("  12 0x1F -3.5 word rest of line\n");
    ViInt32 a = 0, b = 0;
    ViReal64 c = 0;
    ViChar word[16], rest[64];
    ASSERT_EQ(viSScanf(rm, input, "%d %i %lf %s %t", &a, &b, &c, word, rest), VI_SUCCESS);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 31);
    EXPECT_DOUBLE_EQ(c, -3.5);
    EXPECT_STREQ(word, "word");
    EXPECT_STREQ(rest, "rest of line\n");
    ViInt16 h = 0;
    ViReal32 f = 0;
    ViChar two[3] = {};
    ASSERT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("7,2.5,abc"), "%hd,%f,%2c", &h, &f, two), VI_SUCCESS);
    EXPECT_EQ(h, 7);
    EXPECT_FLOAT_EQ(f, 2.5f);
    EXPECT_STREQ(two, "ab");
    ViChar limited[4];
    ASSERT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("abcdef"), "%3s", limited), VI_SUCCESS);
    EXPECT_STREQ(limited, "abc");
    ViInt32 skipped = 5;
    ASSERT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("1 2"), "%*d %d", &skipped), VI_SUCCESS);
    EXPECT_EQ(skipped, 2);
}

TEST_F(Format, ScanfStopsAtMismatch) {
    ViInt32 a = -1, b = -1;
    ASSERT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("5;x"), "%d;%d", &a, &b), VI_SUCCESS);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("5"), "%y", &a), VI_ERROR_NSUP_FMT);
    EXPECT_EQ(viSScanf(rm, reinterpret_cast<ViConstBuf>("5"), "%d", nullptr), VI_ERROR_USER_BUF);
}

// %#c stores no more than the size argument allows, whatever the width.
TEST_F(Format, SizedCharactersStayInsideTheBuffer) {
    const auto* input = reinterpret_cast<ViConstBuf>("abcdefghijklmnopqrstuvwxyz");
    ViChar buf[8];
    std::memset(buf, '.', sizeof buf);
    ViInt32 size = 4;
    ASSERT_EQ(viSScanf(rm, input, "%#20c", &size, buf), VI_SUCCESS);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(std::string(buf, sizeof buf), "abcd....");
    size = 4;
    ASSERT_EQ(viSScanf(rm, input, "%#2c", &size, buf), VI_SUCCESS);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(std::string(buf, 2), "ab");
    size = 0;
    EXPECT_EQ(viSScanf(rm, input, "%#c", &size, buf), VI_ERROR_USER_BUF);
}

// Widths and precisions too big for any message are refused, at once and
// without wrapping around.
TEST_F(Format, AbsurdWidthsAreRefused) {
    ViByte out[64];
    ViInt32 n = 0;
    ViChar text[8];
    for (const char* fmt : {"%2147483647d", "%999999999d", "%4294967297d", "%.999999999f", "%65537d"})
        EXPECT_EQ(viSPrintf(rm, out, fmt, 1), VI_ERROR_INV_FMT) << fmt;
    EXPECT_EQ(viSPrintf(rm, out, "%*d", 1 << 30, 1), VI_ERROR_INV_FMT);
    EXPECT_EQ(viSPrintf(rm, out, "%*d", INT32_MIN, 1), VI_ERROR_INV_FMT);
    ASSERT_EQ(viSPrintf(rm, out, "%*d|%.*f", -3, 7, -1, 0.5), VI_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(out), "7  |0.500000");
    const auto* input = reinterpret_cast<ViConstBuf>("12 abc");
    for (const char* fmt : {"%2147483647d", "%4294967298c", "%999999999s"})
        EXPECT_EQ(viSScanf(rm, input, fmt, &n), VI_ERROR_INV_FMT) << fmt;
    EXPECT_EQ(viSScanf(rm, input, "%*d %3s", text), VI_SUCCESS);
    EXPECT_STREQ(text, "abc");
}

TEST_F(Format, PrintfSendsAtLineEnd) {
    const ViSession vi = open(kUsbBox);
    ViUInt16 stb = 0;
    ASSERT_EQ(viPrintf(vi, "*IDN"), VI_SUCCESS);
    ASSERT_EQ(viReadSTB(vi, &stb), VI_SUCCESS);
    EXPECT_EQ(stb, 0);  // still in the write buffer
    ASSERT_EQ(viPrintf(vi, "?\n"), VI_SUCCESS);
    ViChar maker[32];
    ASSERT_EQ(viScanf(vi, "%[^,]", maker), VI_SUCCESS);
    EXPECT_STREQ(maker, "VELTRONA");
    ViChar rest[64];
    ASSERT_EQ(viScanf(vi, ",%t", rest), VI_SUCCESS);
    EXPECT_STREQ(rest, "TARVO,0457,1.02\n");
}

}  // namespace

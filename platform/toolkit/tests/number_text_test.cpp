// Display formats of numerics and the Windows-1251 boundary.
#include <gtest/gtest.h>

#include <clocale>

#include <paneltk/paneltk.h>

using tk::Format;
using tk::ValueType;
using tk::formatNumber;

TEST(NumberFormat, FixedDecimals) {
    EXPECT_EQ(formatNumber(0.001, ValueType::Double, Format::fixed(4)), "0.0010");
    EXPECT_EQ(formatNumber(2, ValueType::Double, Format::fixed(2)), "2.00");
    EXPECT_EQ(formatNumber(-9.99, ValueType::Double, Format::fixed(2)), "-9.99");
    EXPECT_EQ(formatNumber(-0.0, ValueType::Double, Format::fixed(2)), "0.00");
}

TEST(NumberFormat, Scientific) {
    EXPECT_EQ(formatNumber(1.5e-6, ValueType::Double, Format::scientific(6)), "1.500000E-6");
    EXPECT_EQ(formatNumber(0, ValueType::UInt32, Format::scientific(3)), "0.000E+0");
    EXPECT_EQ(formatNumber(0, ValueType::Double, Format::scientific(6)), "0.000000E+0");
    EXPECT_EQ(formatNumber(0.001, ValueType::Double, Format::scientific(0)), "1E-3");
    EXPECT_EQ(formatNumber(10240, ValueType::UInt32, Format::scientific(3)), "1.024E+4");
}

TEST(NumberFormat, HexadecimalAndBinary) {
    EXPECT_EQ(formatNumber(0x1A3, ValueType::UInt16, Format::hex(4)), "01A3");
    EXPECT_EQ(formatNumber(0, ValueType::UInt16, Format::hex(4)), "0000");
    EXPECT_EQ(formatNumber(2, ValueType::UInt32, Format::hex()), "2");
    EXPECT_EQ(formatNumber(0x1FE, ValueType::UInt32, Format::hex()), "1FE");
    EXPECT_EQ(formatNumber(-1, ValueType::Int16, Format::hex(4)), "FFFF");
    EXPECT_EQ(formatNumber(5, ValueType::UInt16, Format::binary(16)), "0000000000000101");
    EXPECT_EQ(formatNumber(0xFFFF, ValueType::UInt16, Format::binary(16)), "1111111111111111");
}

TEST(NumberFormat, Integers) {
    EXPECT_EQ(formatNumber(4294967295.0, ValueType::UInt32, Format::integer()), "4294967295");
    EXPECT_EQ(formatNumber(-32768, ValueType::Int16, Format::integer()), "-32768");
    EXPECT_EQ(formatNumber(10, ValueType::Double, Format::integer()), "10");
}

TEST(NumberFormat, DoesNotFollowTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(formatNumber(0.001, ValueType::Double, Format::fixed(4)), "0.0010");
    EXPECT_EQ(formatNumber(1.5e-6, ValueType::Double, Format::scientific(6)), "1.500000E-6");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Cp1251, RoundTripOfRussianText) {
    std::string utf8 = "Получено прерывание по ошибке инструмента: норма, не норма, № 5";
    std::string cp = tk::toCp1251(utf8);
    EXPECT_EQ(cp.size(), 63u);                           // one byte per character
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xCF);  // "П"
    EXPECT_EQ(tk::fromCp1251(cp), utf8);
}

TEST(Cp1251, BadInputIsReplacedNotFatal) {
    // 0x98 has no character in Windows-1251.
    EXPECT_EQ(tk::fromCp1251("a\x98z"), "a\xEF\xBF\xBDz");
    // A character Windows-1251 lacks, a broken sequence and a cut one.
    EXPECT_EQ(tk::toCp1251("a中b"), "a?b");
    EXPECT_EQ(tk::toCp1251("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(tk::toCp1251("ab\xD0"), "ab?");
    EXPECT_EQ(tk::toCp1251(""), "");
    EXPECT_EQ(tk::fromCp1251(std::string_view("\0x", 2)), std::string("\0x", 2));
}

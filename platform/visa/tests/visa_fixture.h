// A resource manager on the built-in default bench for each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "visa.h"

// The tests are written against the built-in default bench, whatever the
// environment of the test run says.
inline const bool kDefaultBenchForTests = (unsetenv("SORVI_BENCH"), true);

inline constexpr const char* kVxiCarrier = "VXI0::24::INSTR";
inline constexpr const char* kUsbBox = "USB0::0x0E76::0x1004::0457::0::INSTR";

// An attribute of a session, read as the type it has; a refused read fails
// the test. The value starts as a pattern no attribute holds, so a read that
// reports success without writing shows.
template <typename T>
T attribute(ViSession vi, ViAttr attr) {
    T value;
    std::memset(&value, 0xA5, sizeof value);
    EXPECT_EQ(viGetAttribute(vi, attr, &value), VI_SUCCESS) << "attribute " << attr;
    return value;
}

inline std::string textAttribute(ViSession vi, ViAttr attr) {
    ViChar text[256];
    std::memset(text, '#', sizeof text - 1);
    text[sizeof text - 1] = '\0';
    EXPECT_EQ(viGetAttribute(vi, attr, text), VI_SUCCESS) << "attribute " << attr;
    return text;
}

class VisaTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS); }
    void TearDown() override { viClose(rm); }

    ViSession open(const char* name) {
        ViSession vi = VI_NULL;
        EXPECT_EQ(viOpen(rm, name, VI_NULL, VI_NULL, &vi), VI_SUCCESS) << name;
        return vi;
    }

    ViSession rm = VI_NULL;
};

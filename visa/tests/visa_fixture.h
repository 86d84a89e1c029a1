// A resource manager on the built-in default bench for each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "visa.h"

// The tests are written against the built-in default bench, whatever the
// environment of the test run says.
inline const bool kDefaultBenchForTests = (unsetenv("SORVI_BENCH"), true);

inline constexpr const char* kVxiCarrier = "VXI0::24::INSTR";
inline constexpr const char* kUsbBox = "USB0::0x0E76::0x1004::0457::0::INSTR";

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

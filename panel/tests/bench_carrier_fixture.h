// Tests of a module's panels on the default simulated bench: a session of its
// VXI carrier, with the bench and the panel script reset around each test.
#pragma once

#include <gtest/gtest.h>

#include "bench_test_interface.h"
#include "plugin_test_support.h"
#include "sorvi_plugin.h"
#include "tarvo_32.h"

namespace sorvi_test {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";

// A control changed as an operator changes it: the value, then its callback.
inline void set(int panel, int control, double value) {
    tk::setValue(panel, control, value);
    tk::callCallback(panel, control);
}

// The display loop's turns for pending data, until none are left (at most
// `turns` of them).
inline void drain(SorviInstance& inst, int turns = 4) {
    for (int turn = 0; turn < turns && inst.dataPending.load() != 0; ++turn) process_data(inst.mainPanel);
}

class BenchCarrier : public ::testing::Test {
protected:
    void SetUp() override {
        tk::resetScript();
        bench::testing::resetBench();
    }
    void TearDown() override {
        if (carrier_ != 0) tarvo_close(carrier_);
        bench::testing::resetBench();
        tk::resetScript();
    }

    // Opens the carrier session the test's instances are opened on.
    void openCarrier() { ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_FALSE, &carrier_), 0); }

    ViSession carrier_ = 0;
};

}  // namespace sorvi_test

// The module, or its whole carrier, taken off the bus while the soft front
// panel runs a cycle: the panel shows the failure in its error line, stays
// usable, closes, and once the module is back a new instance runs again.
#include <gtest/gtest.h>

#include "bench_command.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;

namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";

void set(int panel, int control, double value) {
    tk::setValue(panel, control, value);
    tk::callCallback(panel, control);
}

void startCycle(SorviInstance& inst) {
    const int mp = inst.mainPanel;
    set(mp, MP_SAMPLE_PERIOD, 0.0001);
    set(mp, MP_MODE, 2);
    set(mp, MP_B_P_SIZE, 1000);
    set(mp, MP_RELE_SWITCH, 1);
    set(mp, MP_ENABLE_INTERRUPT, 1);
    tk::callCallback(mp, MP_START);
}

void drain(SorviInstance& inst) {
    for (int turn = 0; turn < 4 && inst.dataPending.load() != 0; ++turn) process_data(inst.mainPanel);
}

class ModuleRemoval : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        tk::resetScript();
        bench::testing::resetBench();
        bench::testing::useVirtualClock();
        ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_FALSE, &carrier_), 0);
    }
    void TearDown() override {
        if (carrier_ != 0) tarvo_close(carrier_);
        bench::testing::resetBench();
        tk::resetScript();
    }
    static int command(const std::string& text) { return sorvi_bench_command(text.c_str(), nullptr, 0); }

    ViSession carrier_ = 0;
};

}  // namespace

TEST_P(ModuleRemoval, MidRunIsShownAndTheNextInstanceRuns) {
    const std::string what = GetParam();
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier_, 1, handle), 0);
    int frames = -1;
    EXPECT_EQ(displayAndRun(handle,
                            [&](SorviInstance& inst) {
                                startCycle(inst);
                                bench::testing::advanceSeconds(0.3);
                                drain(inst);
                                frames = inst.totalRead;
                                ASSERT_EQ(command("remove " + what), 0);
                                bench::testing::advanceSeconds(0.3);
                                // The loop's turn: nothing new arrives, and
                                // the module's state cannot be had.
                                inst.dataPending.store(2);
                                drain(inst);
                                EXPECT_EQ(inst.totalRead, frames) << "no frame from a module that is gone";
                                EXPECT_NE(shown(inst.mainPanel, MP_ERROR_MESSAGE), "");
                                // The operator stops, then tries to start again.
                                tk::resetControl(inst.mainPanel, MP_ERROR_MESSAGE);
                                tk::callCallback(inst.mainPanel, MP_STOP);
                                EXPECT_NE(shown(inst.mainPanel, MP_ERROR_MESSAGE), "");
                                tk::resetControl(inst.mainPanel, MP_ERROR_MESSAGE);
                                tk::callCallback(inst.mainPanel, MP_START);
                                EXPECT_NE(shown(inst.mainPanel, MP_ERROR_MESSAGE), "");
                            }),
              0);
    EXPECT_EQ(frames, 3000);

    // While it is away a new instance fails in its pop-up.
    tk::startScript("answer", "away");
    handle = 0;
    EXPECT_NE(sorvi_init(carrier_, 1, VI_TRUE, VI_TRUE, &handle), 0);
    tk::resetScript();
    EXPECT_EQ(handle, 0);

    ASSERT_EQ(command("restore " + what), 0);
    ASSERT_EQ(initAnswered(carrier_, 1, handle), 0);
    EXPECT_EQ(displayAndRun(handle,
                            [&](SorviInstance& inst) {
                                startCycle(inst);
                                bench::testing::advanceSeconds(0.3);
                                drain(inst);
                                EXPECT_EQ(inst.totalRead, 3000);
                                EXPECT_EQ(shown(inst.mainPanel, MP_ERROR_MESSAGE), "");
                                tk::callCallback(inst.mainPanel, MP_STOP);
                            }),
              0);
}

INSTANTIATE_TEST_SUITE_P(ModuleOrCarrier, ModuleRemoval, ::testing::Values("VXI0::24::INSTR 1", "VXI0::24::INSTR"));

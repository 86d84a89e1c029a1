// The module, or its whole carrier, taken off the bus while the soft front
// panel runs a cycle: the panel shows the failure in its error line, stays
// usable, closes, and once the module is back a new instance runs again.
#include <gtest/gtest.h>

#include "bench_carrier_fixture.h"
#include "bench_command.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;

namespace {

void startCycle(SorviInstance& inst) {
    const int mp = inst.mainPanel;
    set(mp, MP_SAMPLE_PERIOD, 0.0001);
    set(mp, MP_MODE, 2);
    set(mp, MP_B_P_SIZE, 1000);
    set(mp, MP_RELE_SWITCH, 1);
    set(mp, MP_ENABLE_INTERRUPT, 1);
    tk::callCallback(mp, MP_START);
}

class ModuleRemoval : public BenchCarrier, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        BenchCarrier::SetUp();
        bench::testing::useVirtualClock();
        openCarrier();
    }
    static int command(const std::string& text) { return sorvi_bench_command(text.c_str(), nullptr, 0); }
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

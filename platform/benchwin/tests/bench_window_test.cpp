// The window drives the bench through its controls, as a person (or a
// script) would: inputs, faults, events reaching the driver, the prompts of
// the verification program.
#include <gtest/gtest.h>

#include <atomic>

#include <paneltk/paneltk.h>

#include "bench_view.h"
#include "bench_test_interface.h"
#include "benchwin.h"
#include "benchwin_uir.h"
#include "lumex.h"
#include "tarvo_32.h"

namespace benchwin {
namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";

class BenchWindow : public ::testing::Test {
protected:
    void SetUp() override {
        bench::testing::resetBench();
        tk::resetScript();
        ASSERT_GT(showBenchWindow(), 0);
    }
    void TearDown() override {
        closeBenchWindow();
        bench::setFollowingPrompts(false);
        bench::testing::resetBench();
        tk::resetScript();
    }
    // Runs script lines; every line must pass.
    void script(const std::string& text) {
        EXPECT_EQ(tk::runScript(text, 20.0), 0);
        for (const std::string& f : tk::scriptResult().failures) ADD_FAILURE() << f;
    }
    bench::ModuleView module(int position) {
        bench::ModuleView view;
        EXPECT_TRUE(bench::inspectModule(kCarrier, position, view));
        return view;
    }
};

TEST_F(BenchWindow, ListsTheBenchAndShowsTheChosenModule) {
    script(
        "expect value BENCH_CARRIER \"VXI0::24::INSTR\"\n"
        "expect items BENCH_POSITION 4\n"
        "expect value BENCH_POSITION \"1: СОРВИ\"\n"
        "ring BENCH_POSITION \"3: СОРВИ\"\n"
        "expect cell BENCH_INPUTS 1 1 \"-8,45 В\"\n"
        "expect cell BENCH_INPUTS 31 1 \"5 Ом\"\n"
        "expect cell BENCH_INPUTS 32 1 \"100 кОм\"\n"
        "expect value BENCH_STATE \"не открыт\"\n"
        "ring BENCH_POSITION \"2: модуль типа 5\"\n"
        "expect value BENCH_STATE \"на позиции нет модуля СОРВИ\"\n");
}

TEST_F(BenchWindow, InputsAndFaultsGoToTheChosenChannels) {
    script(
        "ring BENCH_POSITION \"3: СОРВИ\"\n"
        "ring BENCH_CHANNELS \"17–32\"\n"
        "ring BENCH_SIGNAL \"5 Ом\"\n"
        "commit BENCH_APPLY\n"
        "expect value BENCH_MESSAGE \"выполнено: input 17-32 5ohm\"\n"
        "ring BENCH_CHANNELS \"один канал\"\n"
        "set BENCH_CHANNEL 7\n"
        "ring BENCH_STUCK \"залипание в 0\"\n"
        "commit BENCH_STUCK_SET\n"
        "expect cell BENCH_INPUTS 7 1 \"-5,15 В (залип в 0)\"\n"
        "set BENCH_NOPOLL \"не приходит\"\n"
        "set BENCH_ID 12\n");
    const bench::ModuleView m = module(3);
    EXPECT_EQ(m.inputs[15].kind, bench::ChannelInput::Kind::Voltage);
    for (int k = 17; k <= 32; ++k) EXPECT_EQ(m.inputs[static_cast<std::size_t>(k - 1)].ohms, 5.0) << k;
    EXPECT_EQ(m.faults.stuckLowChannels, 1u << 6);
    EXPECT_TRUE(m.faults.noPollAck);
    EXPECT_EQ(m.faults.idValue, 12);
    EXPECT_FALSE(module(1).faults.noPollAck) << "the other module is left alone";
}

TEST_F(BenchWindow, TheWindowShowsWhatItDidAndWhyAChangeFailed) {
    script(
        "ring BENCH_SIGNAL \"меандр\"\n"
        "set BENCH_PERIOD 0.000001\n"
        "set BENCH_HIGH 100\n"
        "commit BENCH_APPLY\n");
    std::string message;
    tk::getValue(benchWindowPanel(), BENCH_MESSAGE, message);
    EXPECT_EQ(message, "выполнено: input all square 0 100 1e-06");
    // An event with no session open says so.
    script("ring BENCH_EVENT \"конец сбора\"\ncommit BENCH_RAISE\n");
    tk::getValue(benchWindowPanel(), BENCH_MESSAGE, message);
    EXPECT_EQ(message, "error: no open session to raise the event for");
}

std::atomic<int> lastCode{1};
ViInt16 _VI_FUNCH remember(ViSession, ViInt32 code) {
    lastCode = code;
    return 1;
}

TEST_F(BenchWindow, AFifoOverflowRaisedOnARunningModuleReachesTheDriversHandler) {
    ViSession carrier = VI_NULL, vi = VI_NULL;
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_TRUE, &carrier), VI_SUCCESS);
    ASSERT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    ASSERT_EQ(lumex_set_user_ihandle(vi, remember), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_alloc(vi, 100000), VI_SUCCESS);
    ASSERT_EQ(lumex_mode_cycle(vi, 1000), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    script(
        "ring BENCH_POSITION \"1: СОРВИ\"\n"
        "expect value BENCH_STATE \"открыт, остановлен, режим однократный, кадров в памяти: 0\"\n");
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    // The live display follows on its timer, with nothing done in the window.
    script("wait 0.5\n");
    std::string state;
    tk::getValue(benchWindowPanel(), BENCH_STATE, state);
    EXPECT_EQ(state.rfind("открыт, идёт сбор, режим циклический, кадров в памяти: ", 0), 0u) << state;
    lastCode = 1;
    script(
        "ring BENCH_EVENT \"переполнение FIFO\"\n"
        "commit BENCH_RAISE\n");
    EXPECT_EQ(lastCode.load(), -4) << "the driver passes a FIFO overflow on as -4";
    const bench::ModuleView m = module(1);
    EXPECT_TRUE(m.open);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
}

TEST_F(BenchWindow, PromptsAreFollowedOrBringTheWindowUpAboveThem) {
    ViSession carrier = VI_NULL, vi = VI_NULL;
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_TRUE, &carrier), VI_SUCCESS);
    ASSERT_EQ(lumex_init(carrier, 3, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);

    // Not following: the window comes up over the prompt, on the open module.
    stimulusPrompted("100k");
    int popup = 0;
    tk::getPanelAttribute(benchWindowPanel(), tk::ATTR_POPUP, popup);
    EXPECT_EQ(popup, 1);
    script(
        "expect value BENCH_POSITION \"3: СОРВИ\"\n"
        "expect value BENCH_MESSAGE \"программа проверки просит подключить 100 кОм\"\n"
        "expect visible BENCH_DONE 1\n"
        "commit BENCH_DONE\n"
        "expect visible BENCH_DONE 0\n");
    tk::getPanelAttribute(benchWindowPanel(), tk::ATTR_POPUP, popup);
    EXPECT_EQ(popup, 0);
    EXPECT_EQ(module(3).inputs[0].kind, bench::ChannelInput::Kind::Voltage) << "nothing connected by itself";

    // Following: the stimulus goes on every channel of the open module.
    script("set BENCH_FOLLOW да\n");
    EXPECT_TRUE(bench::followingPrompts());
    stimulusPrompted("3V");
    tk::getPanelAttribute(benchWindowPanel(), tk::ATTR_POPUP, popup);
    EXPECT_EQ(popup, 0);
    for (const bench::ChannelInput& in : module(3).inputs) EXPECT_EQ(in.volts, 3.0);
    EXPECT_EQ(module(1).inputs[0].kind, bench::ChannelInput::Kind::Square);

    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
}

}  // namespace
}  // namespace benchwin

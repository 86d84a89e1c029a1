// A bench file and the text commands keep the same limits on signals and
// events; and the commands the bench window uses (counter and live inputs,
// following the verification prompts, reading a module's state).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench_command.h"
#include "bench_view.h"
#include "bench_loader.h"
#include "bench_simulation.h"
#include "bench_test_interface.h"
#include "sorvi_module.h"

namespace bench {
namespace {

class SignalLimits : public ::testing::Test {
protected:
    void SetUp() override { testing::resetBench(); }
    void TearDown() override {
        setFollowingPrompts(false);
        testing::resetBench();
    }
    int command(const std::string& text) { return sorvi_bench_command(text.c_str(), reply, sizeof reply); }
    // A bench file whose one module has `input` on channel 1.
    bool fileAccepts(const std::string& input) {
        const std::string text =
            "resources:\n  - name: VXI0::24::INSTR\n    carrier:\n      memory: 1MiB\n      positions:\n        1:\n"
            "          module: sorvi\n          inputs:\n            1: " +
            input + "\n";
        const LoadResult result = parseBenchText(text, "lab.yaml");
        lastError = result.error;
        return result.bench.has_value();
    }
    char reply[160] = {};
    std::string lastError;
};

TEST_F(SignalLimits, FileAndCommandAgreeOnEverySignal) {
    struct Case {
        const char* command;  // after "input 1 "
        const char* file;     // the same signal in a bench file
        bool valid;
    };
    const Case cases[] = {
        {"square -1e308 1e308 1e-300", "{square: {low: -1e308V, high: 1e308V, period: 1e-300s}}", false},
        {"square 0 5 1e-9", "{square: {low: 0V, high: 5V, period: 1ns}}", false},
        {"square 0 5 7200", "{square: {low: 0V, high: 5V, period: 7200s}}", false},
        {"square 0 5 0.01 0.5 -1", "{square: {low: 0V, high: 5V, period: 10ms, phase: -1s}}", false},
        {"square 0 101 0.01", "{square: {low: 0V, high: 101V, period: 10ms}}", false},
        {"square 0 5 0.01 0.25 0.001", "{square: {low: 0V, high: 5V, period: 10ms, duty: 0.25, phase: 1ms}}", true},
        {"seq 1e-9 0 5", "{sequence: {volts: [0, 5], step: 1ns}}", false},
        {"seq 0.001 0 500", "{sequence: {volts: [0, 500], step: 1ms}}", false},
        {"seq 0.001 0 5", "{sequence: {volts: [0, 5], step: 1ms}}", true},
        {"150V", "150V", false},
        {"-100V", "-100V", true},
        {"2000M", "2000Mohm", false},
        {"1000M", "1000Mohm", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(command(std::string("input 1 ") + c.command) == 0, c.valid) << reply;
        EXPECT_EQ(fileAccepts(c.file), c.valid) << lastError;
    }
}

TEST_F(SignalLimits, EventNumbersOutsideTheEventRegisterAreRefused) {
    for (const char* text : {"event 999999999", "event -40000", "event 2.5", "event 1e300"}) {
        EXPECT_EQ(command(text), -1) << text;
        EXPECT_NE(std::string(reply).find("-32768 to 32767"), std::string::npos) << text << ": " << reply;
    }
    // A sound number gets as far as looking for the session to raise it for.
    EXPECT_EQ(command("event -5"), -1);
    EXPECT_NE(std::string(reply).find("no open session"), std::string::npos) << reply;
}

const char* const kCarrier = "VXI0::24::INSTR";

TEST_F(SignalLimits, CounterInputsCountPolls) {
    ASSERT_EQ(command("at VXI0::24::INSTR 1 input all counter"), 0) << reply;
    std::vector<std::uint32_t> frames;
    BenchSimulation::instance().carrier(kCarrier)->withModule(1, [&](SorviModule& m) {
        m.write(sorvi_reg::Com1, 0);  // relays on, threshold 0 V
        m.write(sorvi_reg::Com3, 0);
        m.write(sorvi_reg::Load1, 0);
        m.write(sorvi_reg::Load3, 0);
        for (int i = 0; i < 5; ++i) frames.push_back(m.poll(0.001 * i));
    });
    EXPECT_EQ(frames, (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
}

TEST_F(SignalLimits, LiveInputsAreTheDefaultPattern) {
    ASSERT_EQ(command("at VXI0::24::INSTR 3 input 17-32 live"), 0) << reply;
    ModuleView view;
    ASSERT_TRUE(inspectModule(kCarrier, 3, view));
    EXPECT_EQ(view.inputs[16].kind, defaultLiveInput(17).kind);
    EXPECT_EQ(view.inputs[16].periodS, defaultLiveInput(17).periodS);
    EXPECT_EQ(view.inputs[31].kind, defaultLiveInput(32).kind);
    EXPECT_EQ(view.inputs[0].kind, ChannelInput::Kind::Voltage) << "channel 1 keeps its level";
    EXPECT_DOUBLE_EQ(view.inputs[0].volts, ladderVolts(1));
}

TEST_F(SignalLimits, PromptsReachOnlyOpenModulesAndOnlyWhileFollowing) {
    auto model = BenchSimulation::instance().carrier(kCarrier);
    ASSERT_EQ(model->openMezzanine(3, 4242), 0);
    ASSERT_EQ(command("prompt 100k"), 0) << reply;
    ModuleView view;
    ASSERT_TRUE(inspectModule(kCarrier, 3, view));
    EXPECT_EQ(view.inputs[0].kind, ChannelInput::Kind::Voltage) << "not following: nothing changes";

    ASSERT_EQ(command("follow on"), 0) << reply;
    EXPECT_TRUE(followingPrompts());
    ASSERT_EQ(command("prompt 100k"), 0) << reply;
    ASSERT_TRUE(inspectModule(kCarrier, 3, view));
    EXPECT_TRUE(view.open);
    for (const ChannelInput& in : view.inputs) {
        EXPECT_EQ(in.kind, ChannelInput::Kind::Resistance);
        EXPECT_EQ(in.ohms, 100000.0);
    }
    ASSERT_TRUE(inspectModule(kCarrier, 1, view));
    EXPECT_FALSE(view.open);
    EXPECT_EQ(view.inputs[0].kind, ChannelInput::Kind::Square) << "a module nobody opened keeps its inputs";
    EXPECT_EQ(command("prompt 1e6V"), -1) << "a prompt keeps the limits too";
    model->closeMezzanine(3, 4242);
}

TEST_F(SignalLimits, InspectionShowsFaultsAndState) {
    ASSERT_EQ(command("at VXI0::24::INSTR 1 stuck 3-4 high"), 0) << reply;
    ASSERT_EQ(command("at VXI0::24::INSTR 1 nopollack on"), 0) << reply;
    ModuleView view;
    ASSERT_TRUE(inspectModule(kCarrier, 1, view));
    EXPECT_EQ(view.faults.stuckHighChannels, 0xCu);
    EXPECT_TRUE(view.faults.noPollAck);
    EXPECT_FALSE(view.running);
    EXPECT_FALSE(inspectModule(kCarrier, 2, view)) << "position 2 holds another module";
    const auto carriers = benchCarriers();
    ASSERT_FALSE(carriers.empty());
    EXPECT_EQ(carriers[0].name, kCarrier);
    EXPECT_EQ(carriers[0].moduleTypes[1], 5);
}

}  // namespace
}  // namespace bench

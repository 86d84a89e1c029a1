// The text command entry point for scripted runs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "bench_command.h"
#include "bench_simulation.h"
#include "bench_test_interface.h"
#include "sorvi_module.h"

namespace bench {
namespace {

class SimBenchCommand : public ::testing::Test {
protected:
    void SetUp() override { testing::resetBench(); }
    void TearDown() override { testing::resetBench(); }

    int command(const std::string& text) { return sorvi_bench_command(text.c_str(), reply, sizeof reply); }

    ChannelInput inputOf(const std::string& carrier, int position, int channel) {
        ChannelInput in;
        EXPECT_TRUE(BenchSimulation::instance().carrier(carrier)->withModule(
            position, [&](SorviModule& m) { in = m.input(channel); }));
        return in;
    }

    ModuleFaults faultsOf(const std::string& carrier, int position) {
        ModuleFaults f;
        BenchSimulation::instance().carrier(carrier)->withModule(position, [&](SorviModule& m) { f = m.faults(); });
        return f;
    }

    char reply[128] = {};
};

TEST_F(SimBenchCommand, InputsOnEveryModule) {
    ASSERT_EQ(command("input all 100k"), 0) << reply;
    EXPECT_STREQ(reply, "ok");
    for (const char* carrier : {"VXI0::24::INSTR", "VXI0::40::INSTR", "USB0::0x0E76::0x1004::0457::0::INSTR"}) {
        const ChannelInput in = inputOf(carrier, 1, 32);
        EXPECT_EQ(in.kind, ChannelInput::Kind::Resistance) << carrier;
        EXPECT_EQ(in.ohms, 100000.0) << carrier;
    }
    EXPECT_EQ(inputOf("VXI0::24::INSTR", 3, 1).ohms, 100000.0);
}

TEST_F(SimBenchCommand, SignalSpellings) {
    struct Case {
        const char* text;
        ChannelInput::Kind kind;
        double value;
    } cases[] = {
        {"input 7 5ohm", ChannelInput::Kind::Resistance, 5.0},
        {"input 7 2M", ChannelInput::Kind::Resistance, 2e6},
        {"input 7 1.5kohm", ChannelInput::Kind::Resistance, 1500.0},
        {"input 7 3V", ChannelInput::Kind::Voltage, 3.0},
        {"input 7 -250mV", ChannelInput::Kind::Voltage, -0.25},
        {"INPUT 7 4.5", ChannelInput::Kind::Voltage, 4.5},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(command(c.text), 0) << c.text << ": " << reply;
        const ChannelInput in = inputOf("VXI0::24::INSTR", 1, 7);
        EXPECT_EQ(in.kind, c.kind) << c.text;
        EXPECT_DOUBLE_EQ(in.kind == ChannelInput::Kind::Voltage ? in.volts : in.ohms, c.value) << c.text;
    }
    ASSERT_EQ(command("input 5 square 0 5 0.01"), 0) << reply;
    ChannelInput sq = inputOf("VXI0::24::INSTR", 1, 5);
    EXPECT_EQ(sq.kind, ChannelInput::Kind::Square);
    EXPECT_EQ(sq.high, 5.0);
    EXPECT_EQ(sq.periodS, 0.01);
    EXPECT_EQ(sq.duty, 0.5);
    ASSERT_EQ(command("input 1-3 seq 0.1 1 2V 3"), 0) << reply;
    const ChannelInput seq = inputOf("VXI0::24::INSTR", 3, 3);
    EXPECT_EQ(seq.kind, ChannelInput::Kind::Sequence);
    EXPECT_EQ(seq.sequence, (std::vector<double>{1.0, 2.0, 3.0}));
    ASSERT_EQ(command("input 9 open"), 0) << reply;
    EXPECT_TRUE(std::isinf(inputOf("VXI0::24::INSTR", 1, 9).ohms));
}

TEST_F(SimBenchCommand, TargetsOneModuleWithAt) {
    ASSERT_EQ(command("input all 1V"), 0);
    ASSERT_EQ(command("at vxi0::24 3 input 2 3V"), 0) << reply;
    EXPECT_EQ(inputOf("VXI0::24::INSTR", 3, 2).volts, 3.0);
    EXPECT_EQ(inputOf("VXI0::24::INSTR", 1, 2).volts, 1.0);
    ASSERT_EQ(command("at VXI0::24::INSTR 1 stuck 3-4 low"), 0) << reply;
    EXPECT_EQ(faultsOf("VXI0::24::INSTR", 1).stuckLowChannels, 0x0Cu);
    ASSERT_EQ(command("at VXI0::24::INSTR 1 stuck 4 high"), 0) << reply;
    EXPECT_EQ(faultsOf("VXI0::24::INSTR", 1).stuckLowChannels, 0x04u);
    EXPECT_EQ(faultsOf("VXI0::24::INSTR", 1).stuckHighChannels, 0x08u);
    ASSERT_EQ(command("at VXI0::24::INSTR 1 nopollack on"), 0) << reply;
    EXPECT_TRUE(faultsOf("VXI0::24::INSTR", 1).noPollAck);
    ASSERT_EQ(command("at VXI0::24::INSTR 1 id 12"), 0) << reply;
    EXPECT_EQ(faultsOf("VXI0::24::INSTR", 1).idValue, 12);
    EXPECT_FALSE(faultsOf("VXI0::24::INSTR", 3).noPollAck);
}

TEST_F(SimBenchCommand, ClockCommands) {
    ASSERT_EQ(command("clock virtual"), 0) << reply;
    const double before = testing::nowSeconds();
    ASSERT_EQ(command("advance 2.5"), 0) << reply;
    EXPECT_NEAR(testing::nowSeconds() - before, 2.5, 1e-9);
    ASSERT_EQ(command("clock real"), 0) << reply;
    EXPECT_FALSE(BenchSimulation::instance().clock().isVirtual());
}

TEST_F(SimBenchCommand, BadCommandsSayWhy) {
    const char* bad[] = {"",
                         "fly away",
                         "input",
                         "input 33 3V",
                         "input 0 3V",
                         "input 5-2 3V",
                         "input all",
                         "input all 3X",
                         "input all -5ohm",
                         "input 1 square 0 5",
                         "input 1 square 0 5 -1",
                         "input 1 square 0 5 0.1 2",
                         "input 1 seq 0.1",
                         "input 1 3V 4V",
                         "at VXI0::24::INSTR 2 input 1 3V",
                         "at VXI0::99::INSTR 1 input 1 3V",
                         "at VXI0::24::INSTR 9 input 1 3V",
                         "at VXI0::24::INSTR",
                         "stuck 1 sideways",
                         "id 300",
                         "advance -1",
                         "advance lots",
                         "clock sundial",
                         "event 4"};
    for (const char* text : bad) {
        EXPECT_EQ(command(text), -1) << text;
        EXPECT_EQ(std::string(reply).rfind("error: ", 0), 0u) << text << ": " << reply;
    }
    EXPECT_EQ(sorvi_bench_command(nullptr, reply, sizeof reply), -1);
    EXPECT_EQ(sorvi_bench_command("input all 3V", nullptr, 0), 0);
    char tiny[4];
    EXPECT_EQ(sorvi_bench_command("fly away", tiny, sizeof tiny), -1);
    EXPECT_STREQ(tiny, "err");
}

}  // namespace
}  // namespace bench

// scan, selftest, watch and dac-sweep on the bench.
#include <gtest/gtest.h>

#include "bench_test_interface.h"
#include "command_error.h"
#include "dac_sweep_command.h"
#include "scan_command.h"
#include "selftest_command.h"
#include "stop_request.h"
#include "test_support.h"
#include "watch_command.h"

namespace sorvictl::testing {
namespace {

using CommandsTest = BenchTest;

TEST_F(CommandsTest, ScanOfTheDefaultBenchListsEveryPositionOfTheThreeCarriers) {
    EXPECT_EQ(runScan(false, console), 3);
    EXPECT_EQ(out.str(),
              "VXI0::24::INSTR 1 sorvi\nVXI0::24::INSTR 2 type 5\nVXI0::24::INSTR 3 sorvi\nVXI0::24::INSTR 4 empty\n"
              "VXI0::40::INSTR 1 sorvi\nVXI0::40::INSTR 2 empty\nVXI0::40::INSTR 3 empty\nVXI0::40::INSTR 4 empty\n"
              "USB0::0x0E76::0x1004::0457::0::INSTR 1 sorvi\nUSB0::0x0E76::0x1004::0457::0::INSTR 2 empty\n"
              "USB0::0x0E76::0x1004::0457::0::INSTR 3 empty\nUSB0::0x0E76::0x1004::0457::0::INSTR 4 empty\n");
}

TEST_F(CommandsTest, ScanOfABenchWithEveryKindOfResourceKeepsOnlyCarriers) {
    const std::string bench = quoted(SORVICTL_TEST_BENCHES "/every-kind.yaml");
    const RunResult text = runProgram("scan --bench " + bench);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("VXI0::24::INSTR 4 sorvi\n"), std::string::npos);
    EXPECT_NE(text.out.find("VXI0::56::INSTR - not opened: 0xBFFF0011"), std::string::npos);
    EXPECT_NE(text.out.find("USB0::0x0E76::0x1004::0457::0::INSTR 3 sorvi\n"), std::string::npos);
    EXPECT_NE(text.out.find("TCPIP0::192.168.1.20::inst0::INSTR 1 sorvi\n"), std::string::npos);
    for (const char* left : {"VXI0::48", "VXI0::8:", "0x1234", "GPIB"})
        EXPECT_EQ(text.out.find(left), std::string::npos) << left;

    const RunResult json = runProgram("scan --json --bench " + bench);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_NE(json.out.find("\"kind\": \"kubolt-lxi\", \"label\": \"Kubolt, LXI (192.168.1.20, №:1203)\""),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"position\": 2, \"module\": \"type 5\", \"type\": 5}"), std::string::npos);
    EXPECT_NE(json.out.find("\"error\": \"0xBFFF0011"), std::string::npos);
}

TEST_F(CommandsTest, SelftestPassesOnAHealthyModuleAndFailsOnStuckRegisterBits) {
    bench::testing::resetBench();  // the self-test waits in real time
    EXPECT_EQ(runSelftest(kCarrier, 1, console), 0);
    EXPECT_NE(out.str().find("result: 0\nmessage: Самоконтроль завершен успешно"), std::string::npos) << out.str();
    out.str("");
    ASSERT_TRUE(bench::testing::setStuckRegisterBits(kCarrier, 3, 0x0C, 0x0001, 0));
    EXPECT_NE(runSelftest(kCarrier, 3, console), 0);
    EXPECT_EQ(out.str().find("result: 0\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("message: Ошибка"), std::string::npos) << out.str();
}

TEST_F(CommandsTest, SelftestOfAFaultyBenchExitsNonZeroWithTheDriverMessage) {
    const RunResult r = runProgram("selftest VXI0::16::INSTR 1 --bench " +
                                   quoted(SORVICTL_BENCH_EXAMPLES "/faulty-module.yaml"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("message: Ошибка записи в RG_COM3"), std::string::npos) << r.out;
    const RunResult wrongId = runProgram("selftest VXI0::16::INSTR 3 --bench " +
                                         quoted(SORVICTL_BENCH_EXAMPLES "/faulty-module.yaml"));
    EXPECT_EQ(wrongId.status, 1);
    EXPECT_NE(wrongId.err.find("0xBFFC0011"), std::string::npos) << wrongId.err;
}

TEST_F(CommandsTest, WatchPrintsALinePerChangeInTheResultsListFormat) {
    // Channel 1 toggles every 3 ms, channel 32 is high; sampled every 1 ms.
    for (int k = 1; k <= 32; ++k) bench::testing::setInput(kCarrier, 1, k, bench::ChannelInput{});
    ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, 32, bench::ChannelInput::voltage(5.0)));
    const double phase = -bench::testing::nowSeconds() - 90e-6 + 0.0005;
    ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, 1, bench::ChannelInput::square(0.0, 5.0, 0.006, 0.5, phase)));
    WatchOptions o;
    o.resource = kCarrier;
    o.period = 0.001;
    o.frames = 10;
    EXPECT_EQ(runWatch(o, console, clock), 10u);
    EXPECT_EQ(out.str(),
              "    1 1000 0000 0000 0000 0000 0000 0000 0001 \n"
              "    4 1000 0000 0000 0000 0000 0000 0000 0000 \n"
              "    7 1000 0000 0000 0000 0000 0000 0000 0001 \n"
              "   10 1000 0000 0000 0000 0000 0000 0000 0000 \n");
}

TEST_F(CommandsTest, WatchEndsOnAStopRequest) {
    WatchOptions o;
    o.resource = kCarrier;
    clock.stopAfter = 3;
    EXPECT_EQ(runWatch(o, console, clock), 400u);
}

TEST(StateLine, EightGroupsOfFourFromChannel32Down) {
    EXPECT_EQ(stateLine(7, 0x80000001u), "    7 1000 0000 0000 0000 0000 0000 0000 0001 ");
    EXPECT_EQ(stateLine(123456, 0xF0u), "123456 0000 0000 0000 0000 0000 0000 1111 0000 ");
}

TEST(DacSweep, FindsEachChannelsSwitchingThresholdAndStopsOnAnAllZeroFrame) {
    bench::testing::resetBench();  // real time: each step is one single poll
    clearStopRequest();
    for (int k = 1; k <= 32; ++k) {
        bench::ChannelInput in;
        in.volts = k <= 16 ? 0.2 * k : -10.0;  // 0.2 V to 3.2 V; group 2 below every threshold
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, k, in));
    }
    std::ostringstream out, err;
    Console console{out, err, false};
    SteadyClock clock;
    const DacSweepResult r = runDacSweep(kCarrier, 1, console, clock);
    // Channels of group 2 read 0 from the first step on.
    for (int k = 17; k <= 32; ++k) ASSERT_EQ(r.switching[k - 1], -9.99) << k;
    // A channel at u volts switches to 0 once the threshold (raised to the
    // next 0.05 V) reaches u; the sweep then ends on the all-zero frame.
    for (int k = 1; k <= 16; ++k) {
        ASSERT_TRUE(r.switching[k - 1].has_value()) << k;
        EXPECT_NEAR(*r.switching[k - 1], 0.2 * k, 0.051) << k;
    }
    EXPECT_LT(r.steps, 1400);
    EXPECT_NE(out.str().find("channel threshold_V\n      1 "), std::string::npos);
    EXPECT_NE(out.str().find("     32 -9.99\n"), std::string::npos);
    bench::testing::resetBench();
}

}  // namespace
}  // namespace sorvictl::testing

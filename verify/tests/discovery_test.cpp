// Instrument discovery over benches with every kind of resource that must be
// listed or skipped. Each bench runs in a process of its own.
#include <gtest/gtest.h>

#include <sstream>

#include "program_run.h"

namespace {

std::vector<std::string> discoveredLines(const std::string& bench, const std::vector<std::string>& env = {}) {
    const std::string dir = makeScratchDirectory();
    const ProgramRun run = runProgram(VERISK_DISCOVERY_PROBE, {}, dir, bench, env);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::vector<std::string> lines;
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(Discovery, ListsCarriersAndKuboltBoxesAndSkipsTheRest) {
    const std::vector<std::string> lines = discoveredLines(testBench("discovery.yaml"));
    const std::vector<std::string> expected{
        "count 7",
        "VXI0::24::INSTR|Н.М.  Л.А.крейта:0x0A, слот:3\\n(VXI0::24::INSTR)|10D|10|24|3|2|",
        "VXI0::32::INSTR|Н.М.У.  Л.А.крейта:0x00, слот:4\\n(VXI0::32::INSTR)|155|0|32|4|2|",
        "VXI0::40::INSTR|Н.М.М.  Л.А.крейта:0xFF, слот:12\\n(VXI0::40::INSTR)|177|255|40|12|2|",
        "USB0::0x0E76::0x1004::0457::0::INSTR|Kubolt, USB (№:0457)|1004|0|255|255|7|0457",
        "USB0::0x0E76::0x1004::0458::0::INSTR|Kubolt, USB (№:0458)|1004|0|255|255|7|0458",
        "USB0::0x0E76::0x1004::0459::0::INSTR|Kubolt, USB (№:0123456789ABCDEFGHIJ0123456789A)|1004|0|255|255|7|"
        "0123456789ABCDEFGHIJ0123456789A",
        "TCPIP0::192.168.1.20::inst0::INSTR|Kubolt, LXI (192.168.1.20, №:0777)|1004|0|255|255|6|0777",
    };
    EXPECT_EQ(lines, expected);
}

TEST(Discovery, DefaultBenchHasTwoVxiCarriersAndOneUsbBox) {
    const std::vector<std::string> lines = discoveredLines("");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "count 3");
    EXPECT_EQ(lines[1].substr(0, lines[1].find('|')), "VXI0::24::INSTR");
    EXPECT_EQ(lines[2].substr(0, lines[2].find('|')), "VXI0::40::INSTR");
    EXPECT_NE(lines[3].find("|Kubolt, USB (№:0457)|"), std::string::npos);
}

TEST(Discovery, EmptyBusAndBadBenchFindNothing) {
    std::vector<std::string> lines = discoveredLines(testBench("empty_bus.yaml"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("count -", 0), 0u) << lines[0];  // the search's own "not found" status

    const std::string dir = makeScratchDirectory();
    const std::string bad = writeFile(dir, "bad.yaml", "resources:\n  - name: NOT A NAME\n");
    const ProgramRun run = runProgram(VERISK_DISCOVERY_PROBE, {}, dir, bad);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("count -"), std::string::npos) << run.output;
}

TEST(Discovery, SearchThatFailsHalfWayKeepsWhatWasFound) {
    // The second viFindNext fails: the two carriers seen before it stay listed.
    const std::vector<std::string> lines = discoveredLines(testBench("discovery.yaml"),
                                                           {"VERISK_PROBE_FIND_NEXT_FAILS_AT=2"});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "count 2");
    EXPECT_EQ(lines[1].substr(0, lines[1].find('|')), "VXI0::24::INSTR");
    EXPECT_EQ(lines[2].substr(0, lines[2].find('|')), "VXI0::32::INSTR");
}

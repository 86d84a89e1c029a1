// Whole runs of verisk with the bench window: the stimuli connected in the
// window "Стенд" (not by bench commands) give the protocol a person would get
// at a real bench.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <paneltk/text_cp1251.h>

#include "program_run.h"

namespace {

std::string example() {
    std::ifstream in(std::string(VERISK_SOURCE_DIR) + "/examples/bench_window.script");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string runWithWindow(const std::string& script) {
    const std::string dir = makeScratchDirectory();
    const std::string path = writeFile(dir, "run.script", script);
    const ProgramRun run = runProgram(VERISK_PROGRAM, {"--bench-window", "--script", path}, dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return readBytes(dir + "/sorvi.log");
}

}  // namespace

TEST(BenchWindowRun, StimuliConnectedInTheWindowGiveAnAllInNormProtocol) {
    const std::string protocol = runWithWindow(example());
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(норма)\r\n")), 128u);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("не норма")), 0u);
}

TEST(BenchWindowRun, AChannelStuckInTheWindowIsOutOfNormWhereItShouldReadOne) {
    // Channel 7 stuck at 0 through the window's fault controls, before the
    // verification starts: it fails the 100 kOhm and the 3 V stages.
    std::string script = example();
    const std::string before = "ring TP_RING \"соответствия выходных сигналов мезонина сопротивлению ДД \"\n";
    script.replace(script.find(before), 0,
                   "ring BENCH_CHANNELS \"один канал\"\nset BENCH_CHANNEL 7\n"
                   "ring BENCH_STUCK \"залипание в 0\"\ncommit BENCH_STUCK_SET\n"
                   "expect cell BENCH_INPUTS 7 1 \"меандр 0…5 В, 128 мс (залип в 0)\"\n");
    const std::string protocol = runWithWindow(script);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("канал  7    0(не норма)\r\n")), 2u);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("не норма")), 2u);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(норма)\r\n")), 126u);
}

TEST(BenchWindowRun, FollowingThePromptsRunsUnattended) {
    // The option is switched on in the window; after that no stimulus is
    // connected by hand and the window never comes up over a prompt.
    std::string script = "timeout 10\nselect-list LIST 0\nset BENCH_FOLLOW да\n";
    const std::string starts = [] {
        std::string s;
        for (int i = 0; i < 32; ++i) s += "commit P4_START\n";
        return s;
    }();
    for (const char* step : {"сопротивлению", "напряжению"}) {
        script += std::string("ring TP_RING \"соответствия выходных сигналов мезонина ") + step + " ДД \"\n";
        script += "commit TP_INPUT\nexpect visible BENCH_DONE 0\n" + starts + "commit P4_INPUT\n" + starts +
                  "commit P4_INPUT\n";
    }
    script += "commit MP_MP_EXIT\ncommit EXIT_POPUP_EXIT_YES\n";
    const std::string protocol = runWithWindow(script);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(норма)\r\n")), 128u);
}

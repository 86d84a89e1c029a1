// The program itself: its command line, Ctrl-C during a capture and a file
// that cannot grow.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace sorvictl::testing {
namespace {

TEST(Program, HelpForEachSubcommandAndUsageErrors) {
    EXPECT_EQ(runProgram("--help").status, 0);
    for (const char* command : {"scan", "selftest", "acquire", "export", "watch", "dac-sweep"}) {
        const RunResult r = runProgram(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find("--bench"), std::string::npos) << command;
    }
    EXPECT_NE(runProgram("acquire --help").out.find("--mode"), std::string::npos);
    EXPECT_EQ(runProgram("").status, 2);
    EXPECT_EQ(runProgram("acquire VXI0::24::INSTR 5 -o x.sorvi").status, 2);
    EXPECT_EQ(runProgram("acquire VXI0::24::INSTR 1").status, 2);  // no -o
    EXPECT_EQ(runProgram("acquire VXI0::24::INSTR 1 --frames 1 --duration 1 -o x.sorvi").status, 2);
    EXPECT_EQ(runProgram("export in.sorvi -o out.sr").status, 2);  // no --samplerate
    const RunResult bench = runProgram("scan --bench /nonexistent/bench.yaml");
    EXPECT_EQ(bench.status, 1);
    EXPECT_EQ(bench.err, "sorvictl: cannot read the bench file /nonexistent/bench.yaml\n");
}

TEST(Program, FailingDriverStatusGivesOneLineAndStatus1) {
    const RunResult r = runProgram("acquire VXI0::24::INSTR 2 -o /tmp/never-written.sorvi");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sorvictl: no SORVI at VXI0::24::INSTR position 2 (a module of type 5)\n");
}

TEST(Program, CtrlCMidCaptureStopsAndLeavesWholeFrames) {
    ScratchDir dir;
    const std::string file = dir.path("c.sorvi");
    const std::string errFile = dir.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = {
        SORVICTL_PROGRAM, "acquire",  kCarrier,   "1",  "--period", "0.0001", "--packet", "100",
        "--interrupts",   "--frames", "10000000", "-o", file};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Wait for the first frames on disk, then interrupt.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && (::access(file.c_str(), F_OK) != 0 || fileSize(file) < 2000))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);  // stopped before the count asked for
    const auto size = fileSize(file);
    EXPECT_GE(size, 2000u);
    EXPECT_EQ(size % 4, 0u);
    std::ifstream err(errFile);
    std::string line;
    std::getline(err, line);
    EXPECT_EQ(line, "sorvictl: " + std::to_string(size / 4) + " frames written to " + file + " (stopped)");
}

TEST(Program, AFileThatCannotGrowKeepsWholeFramesAndEndsTheRun) {
    ScratchDir dir;
    const std::string file = dir.path("full.sorvi");
    // A file-size limit of 4006 bytes stands in for a disk that fills.
    const RunResult r = runProgram("acquire VXI0::24::INSTR 1 --period 0.0001 --frames 5000 -o " + quoted(file),
                                   "prlimit --fsize=4006");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(fileSize(file), 4004u);
    EXPECT_NE(r.err.find("writing " + file + " failed: File too large; " + file + " holds the 1001 whole frames"),
              std::string::npos)
        << r.err;
}

TEST(Program, TrailingBytesOfAnInputAreReported) {
    ScratchDir dir;
    writeBytes(dir.path("odd.sorvi"), std::string(10, '\0'));
    const RunResult r = runProgram("export " + quoted(dir.path("odd.sorvi")) + " -o " + quoted(dir.path("o.vcd")) +
                                   " --samplerate 1000");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ends in 2 bytes that are not a whole frame; they were ignored"), std::string::npos);
}

}  // namespace
}  // namespace sorvictl::testing

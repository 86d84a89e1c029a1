// The panelhost program run as an operator would, headless, with scripts.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace host {
namespace {

struct HostRun {
    int exitCode = -1;
    std::string output;
};

// Runs panelhost with the given arguments off screen on the default bench,
// in workDir if given; a run that hangs is killed after a minute.
HostRun runHost(const std::string& arguments, const std::string& workDir = {}) {
    const std::string command = (workDir.empty() ? std::string() : "cd '" + workDir + "' && ") +
                                "env -u SORVI_BENCH -u SORVI_PLUGIN -u SORVI_SCRIPT -u SORVI_SCREENSHOTS "
                                "QT_QPA_PLATFORM=offscreen timeout 60 " HOST_TEST_PROGRAM " " +
                                arguments + " 2>&1";
    HostRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string script(const char* name) { return std::string(HOST_TEST_SCRIPTS) + "/" + name; }

class ScriptedHost : public ::testing::Test {
protected:
    void SetUp() override {
        shots_ = std::filesystem::temp_directory_path() /
                 ("panelhost_shots_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(shots_);
    }
    void TearDown() override { std::filesystem::remove_all(shots_); }
    std::filesystem::path shots_;
};

TEST_F(ScriptedHost, DemoInstanceOpensAndEnds) {
    if (!std::filesystem::exists(HOST_TEST_PLUGIN))
        GTEST_SKIP() << "the soft front panel plug-in is not built yet (" << HOST_TEST_PLUGIN << ")";
    const HostRun run = runHost("--script " + script("demo.tks") + " --screenshots " + shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(shots_ / "host_demo_closed.png")) << run.output;
}

TEST_F(ScriptedHost, DefaultBenchOpensTwoPositionsSideBySide) {
    if (!std::filesystem::exists(HOST_TEST_PLUGIN))
        GTEST_SKIP() << "the soft front panel plug-in is not built yet (" << HOST_TEST_PLUGIN << ")";
    const HostRun run = runHost("--script " + script("bench.tks") + " --screenshots " + shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(shots_ / "host_bench.png")) << run.output;
}

// A cycle run on the default bench with a result file, chart and list, and
// a FIFO overflow raised on the bench (the script checks the panels).
TEST_F(ScriptedHost, CycleRunWritesWholeFramesAndShowsTheFifoOverflow) {
    if (!std::filesystem::exists(HOST_TEST_PLUGIN))
        GTEST_SKIP() << "the soft front panel plug-in is not built yet (" << HOST_TEST_PLUGIN << ")";
    std::filesystem::create_directories(shots_);
    const HostRun run = runHost("--script " + script("cycle_run.tks") + " --screenshots " + shots_.string(),
                                shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const auto file = shots_ / "cycle_run.sorvi";
    ASSERT_TRUE(std::filesystem::exists(file)) << run.output;
    EXPECT_GT(std::filesystem::file_size(file), 40000u);  // two seconds at 10 000 frames a second
    EXPECT_EQ(std::filesystem::file_size(file) % 4, 0u);
    for (const char* shot : {"sorvi_MP_cycle.png", "sorvi_SP_traces.png", "sorvi_RP_file.png", "sorvi_EP_fifo.png"})
        EXPECT_TRUE(std::filesystem::exists(shots_ / shot)) << shot;
}

// Thresholds by group, a register, the self-test, the DAC sweep and the
// ring size on position 3 (the script checks what the panels show).
TEST_F(ScriptedHost, SettingsAndTestPanelsOfAModule) {
    if (!std::filesystem::exists(HOST_TEST_PLUGIN))
        GTEST_SKIP() << "the soft front panel plug-in is not built yet (" << HOST_TEST_PLUGIN << ")";
    const HostRun run = runHost("--script " + script("settings_run.tks") + " --screenshots " + shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* shot : {"sorvi_ST_result.png", "sorvi_TP_sweep.png", "sorvi_PP_params.png"})
        EXPECT_TRUE(std::filesystem::exists(shots_ / shot)) << shot;
}

TEST_F(ScriptedHost, WithoutThePluginTheHostStillRunsAndSaysWhy) {
    const HostRun run = runHost("--plugin /nonexistent/sorvi.so --script " + script("no_plugin.tks"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("/nonexistent/sorvi.so"), std::string::npos) << run.output;
}

TEST_F(ScriptedHost, BenchOptionChoosesTheBenchAndALoneCarrierOpensAtOnce) {
    const HostRun run = runHost("--plugin /nonexistent/sorvi.so --bench " HOST_TEST_SOURCE_DIR
                                "/../bench/examples/lxi-kubolt.yaml --script " + script("lone_carrier.tks"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

TEST_F(ScriptedHost, CommandLineMistakesAreRefusedWithUsage) {
    HostRun run = runHost("--frobnicate");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("unknown option --frobnicate"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("usage: panelhost"), std::string::npos) << run.output;
    run = runHost("--plugin");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("--plugin needs a value"), std::string::npos) << run.output;
    run = runHost("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("--bench FILE"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace host

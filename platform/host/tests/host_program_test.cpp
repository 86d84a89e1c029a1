// The panelhost program run as an operator would, headless, with scripts.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "plugin_skip.h"
#include "sorvi_version.h"

namespace host {
namespace {

struct HostRun {
    int exitCode = -1;
    std::string output;
};

// Runs panelhost with the given arguments off screen on the default bench,
// with extra environment settings and in workDir if given; a run that hangs
// is killed after a minute.
HostRun runHost(const std::string& arguments, const std::string& environment = "", const std::string& workDir = {}) {
    const std::string command = (workDir.empty() ? std::string() : "cd '" + workDir + "' && ") +
                                "env -u SORVI_BENCH -u SORVI_PLUGIN -u SORVI_SCRIPT -u SORVI_SCREENSHOTS "
                                "QT_QPA_PLATFORM=offscreen " +
                                environment + " timeout 60 " HOST_TEST_PROGRAM " " + arguments + " 2>&1";
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

    // Runs a script of the tests' folder, saving screenshots into shots_.
    HostRun runWithShots(const char* name, const std::string& workDir = {}) {
        return runHost("--script " + script(name) + " --screenshots " + shots_.string(), "", workDir);
    }
    // The script runs to its end and leaves each of these screenshots.
    void expectRunSaves(const char* name, std::initializer_list<const char*> shots) {
        const HostRun run = runWithShots(name);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        for (const char* shot : shots)
            EXPECT_TRUE(std::filesystem::exists(shots_ / shot)) << shot << "\n" << run.output;
    }

    std::filesystem::path shots_;
};

TEST_F(ScriptedHost, DemoInstanceOpensAndEnds) {
    SKIP_WITHOUT_PLUGIN();
    expectRunSaves("demo.tks", {"host_demo_closed.png"});
}

TEST_F(ScriptedHost, BenchWindowRaisesAFifoOverflowThePanelShows) {
    SKIP_WITHOUT_PLUGIN();
    expectRunSaves("bench_window_fifo.tks", {"BENCH.png"});
}

TEST_F(ScriptedHost, DefaultBenchOpensTwoPositionsSideBySide) {
    SKIP_WITHOUT_PLUGIN();
    expectRunSaves("bench.tks", {"host_bench.png"});
}

// A cycle run on the default bench with a result file, chart and list, and
// a FIFO overflow raised on the bench (the script checks the panels).
TEST_F(ScriptedHost, CycleRunWritesWholeFramesAndShowsTheFifoOverflow) {
    SKIP_WITHOUT_PLUGIN();
    std::filesystem::create_directories(shots_);
    const HostRun run = runWithShots("cycle_run.tks", shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const auto file = shots_ / "cycle_run.sorvi";
    ASSERT_TRUE(std::filesystem::exists(file)) << run.output;
    EXPECT_GT(std::filesystem::file_size(file), 40000u);  // two seconds at 10 000 frames a second
    EXPECT_EQ(std::filesystem::file_size(file) % 4, 0u);
    for (const char* shot : {"sorvi_MP_cycle.png", "sorvi_SP_traces.png", "sorvi_RP_file.png", "sorvi_EP_fifo.png"})
        EXPECT_TRUE(std::filesystem::exists(shots_ / shot)) << shot;
}

// The four modules of a full carrier acquiring at once in real time, each
// panel opened from the host while the others run: every result file holds
// its own module's frames (count and per-module pattern), none lost.
TEST_F(ScriptedHost, FullCarrierKeepsEveryFrameOfEveryModule) {
    SKIP_WITHOUT_PLUGIN();
    std::filesystem::create_directories(shots_);
    const HostRun run = runHost("--bench " HOST_TEST_SOURCE_DIR "/../bench/examples/four-counters.yaml --script " +
                                    script("full_carrier.tks") + " --screenshots " + shots_.string(),
                                "", shots_.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (std::uint32_t position = 1; position <= 4; ++position) {
        SCOPED_TRACE("position " + std::to_string(position));
        std::ifstream in(shots_ / ("module-" + std::to_string(position) + ".sorvi"), std::ios::binary);
        std::vector<std::uint32_t> frames;
        unsigned char b[4];
        while (in.read(reinterpret_cast<char*>(b), 4))
            frames.push_back(b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24));
        EXPECT_GT(frames.size(), 7500u);  // a second at 10 000 frames a second
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if ((frames[i] >> 16) != (0x5A00u | (position << 4) | position)) ++wrong;
            if (i > 0 && (frames[i] & 0xFFFFu) != ((frames[i - 1] + 1) & 0xFFFFu)) ++wrong;
        }
        EXPECT_EQ(wrong, 0u);
        EXPECT_TRUE(std::filesystem::exists(shots_ / ("full_carrier_SP" + std::to_string(position) + ".png")));
    }
}

// Thresholds by group, a register, the self-test, the DAC sweep and the
// ring size on position 3 (the script checks what the panels show).
TEST_F(ScriptedHost, SettingsAndTestPanelsOfAModule) {
    SKIP_WITHOUT_PLUGIN();
    expectRunSaves("settings_run.tks", {"sorvi_ST_result.png", "sorvi_TP_sweep.png", "sorvi_PP_params.png"});
}

TEST_F(ScriptedHost, BenchOptionChoosesTheBenchAndALoneCarrierOpensAtOnce) {
    const HostRun run = runHost("--bench " HOST_TEST_SOURCE_DIR "/../bench/examples/lxi-kubolt.yaml --script " +
                                script("lone_carrier.tks"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

// Everything wrong with the command line ends the host at once with status
// 2 and one line that says what, before any window opens (no display is
// needed for that: the runs below have none).
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(HostCommandLine, MistakesAreRefusedWithOneLineBeforeAnyWindow) {
    struct Case {
        std::string arguments;
        std::string firstLine;
    } cases[] = {
        {"--frobnicate", "panelhost: unknown option --frobnicate (panelhost --help lists the options)"},
        {"--plugin", "panelhost: option --plugin needs a value (panelhost --help lists the options)"},
        {"--script", "panelhost: option --script needs a value (panelhost --help lists the options)"},
        {"--script /nonexistent/x.tks", "panelhost: cannot read script /nonexistent/x.tks: No such file or directory"},
        {"--script /", "panelhost: cannot read script /: it is a folder"},
        {"--bench /nonexistent/bench.yaml", "panelhost: /nonexistent/bench.yaml: cannot open the bench file"},
        {"--plugin /nonexistent/sorvi.so", "panelhost: нет файла модуля панели /nonexistent/sorvi.so"},
    };
    for (const Case& c : cases) {
        const HostRun run = runHost("--screenshots /nonexistent/shots " + c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments << "\n" << run.output;
        EXPECT_EQ(firstLine(run.output).substr(0, c.firstLine.size()), c.firstLine) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "more than one line: " << run.output;
    }
}

TEST(HostCommandLine, BenchFileWithAMistakeIsRefusedWhetherOptionOrEnvironment) {
    const std::string bad = HOST_TEST_SOURCE_DIR "/tests/scripts/demo.tks";  // not a bench description
    HostRun run = runHost("--bench " + bad);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_EQ(run.output.rfind("panelhost: " + bad, 0), 0u) << run.output;
    run = runHost("--script " + script("lone_carrier.tks"), "SORVI_BENCH=" + bad);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_EQ(run.output.rfind("panelhost: " + bad, 0), 0u) << run.output;
}

TEST(HostCommandLine, HelpAndVersionNeedNoDisplay) {
    HostRun run = runHost("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.rfind("usage: panelhost", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("--version"), std::string::npos) << run.output;
    run = runHost("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "panelhost " SORVI_VERSION "\n");
}

}  // namespace
}  // namespace host

// verisk's command line: it explains itself, and refuses every mistake (in
// the options, the script or the bench file) with status 2 and one line
// before any window opens, so that a headless run never waits for nobody.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_run.h"
#include "sorvi_version.h"

namespace {

ProgramRun runVerisk(const std::vector<std::string>& args, const std::string& bench = "",
                     const std::vector<std::string>& extraEnv = {}) {
    // A time-out turns a run that would wait for an operator into a failure.
    std::vector<std::string> command{"10", VERISK_PROGRAM};
    command.insert(command.end(), args.begin(), args.end());
    return runProgram("timeout", command, makeScratchDirectory(), bench, extraEnv);
}

// The whole output is exactly one line that begins with the given text.
void expectOneLine(const ProgramRun& run, const std::string& begins) {
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_EQ(run.output.rfind(begins, 0), 0u) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "more than one line: " << run.output;
}

TEST(CommandLine, HelpAndVersion) {
    for (const char* help : {"--help", "-h"}) {
        const ProgramRun run = runVerisk({help});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(
            run.output.rfind("usage: verisk [--bench FILE] [--bench-window] [--script FILE] [--screenshots DIR]\n", 0),
            0u)
            << run.output;
    }
    const ProgramRun run = runVerisk({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "verisk " SORVI_VERSION "\n");
}

TEST(CommandLine, OptionMistakesAreRefused) {
    expectOneLine(runVerisk({"--bogus"}), "verisk: unknown option --bogus (verisk --help lists the options)");
    expectOneLine(runVerisk({"protocol.log"}), "verisk: unexpected argument protocol.log");
    expectOneLine(runVerisk({"--bench"}), "verisk: --bench needs the name of a bench file");
    expectOneLine(runVerisk({"--bench="}), "verisk: --bench needs the name of a bench file");
    expectOneLine(runVerisk({"--script"}), "verisk: --script needs a value");
    expectOneLine(runVerisk({"--screenshots", ""}), "verisk: --screenshots needs a value");
    // A mistake after good options is still found.
    expectOneLine(runVerisk({"--screenshots", "shots", "--frobnicate"}), "verisk: unknown option --frobnicate");
}

TEST(CommandLine, ScriptThatCannotBeReadIsRefused) {
    expectOneLine(runVerisk({"--script", "/nonexistent/check.tks"}),
                  "verisk: cannot read script /nonexistent/check.tks: No such file or directory");
    expectOneLine(runVerisk({"--script=/nonexistent/check.tks"}), "verisk: cannot read script /nonexistent/check.tks");
    expectOneLine(runVerisk({"--script", "/"}), "verisk: cannot read script /: it is a folder");
    expectOneLine(runVerisk({}, "", {"SORVI_SCRIPT=/nonexistent/env.tks"}),
                  "verisk: cannot read script /nonexistent/env.tks");
}

TEST(CommandLine, BenchFileWithAMistakeIsNeverReplacedByDemoMode) {
    const std::string dir = makeScratchDirectory();
    const std::string bad = writeFile(dir, "bad.yaml", "resources:\n  - name: VXI0::24::INSTR\n    slot: twelve\n");
    expectOneLine(runVerisk({"--bench", bad}), "verisk: " + bad + ":3:");
    expectOneLine(runVerisk({"--bench=" + bad}), "verisk: " + bad + ":3:");
    expectOneLine(runVerisk({}, bad), "verisk: " + bad + ":3:");  // through SORVI_BENCH
    expectOneLine(runVerisk({"--bench", dir + "/missing.yaml"}), "verisk: " + dir + "/missing.yaml: cannot open");
}

}  // namespace

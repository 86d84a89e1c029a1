// Running the verification program (or the discovery probe) as a separate
// process on a bench of its own, in a scratch directory, and reading what
// it left behind.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// A fresh empty directory under the system's temporary directory.
std::string makeScratchDirectory();

// Runs program with args in directory, with SORVI_BENCH set to bench (empty:
// the built-in default bench) and the panels off screen. A run still going
// after two minutes is ended (exit code 124).
// extraEnv holds further NAME=VALUE settings.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& directory,
                      const std::string& bench, const std::vector<std::string>& extraEnv = {});

// Writes text to directory/name and returns the path.
std::string writeFile(const std::string& directory, const std::string& name, const std::string& text);
// The bytes of a file ("" when it does not exist).
std::string readBytes(const std::string& path);
bool fileExists(const std::string& path);
// How often `what` occurs in text, occurrences not overlapping.
std::size_t countOf(const std::string& text, const std::string& what);

// Path of a bench file of the tests.
std::string testBench(const std::string& name);

// Helpers of the sorvictl tests: a scratch folder, result files, the bench's
// virtual clock, checkable input patterns and runs of the program itself.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "acquire_command.h"
#include "acquisition_clock.h"
#include "command_error.h"
#include "console.h"
#include "export_command.h"

namespace sorvictl::testing {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

std::vector<std::uint32_t> readFrames(const std::string& path);
std::uintmax_t fileSize(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
void writeFrames(const std::string& path, const std::vector<std::uint32_t>& frames);

// The bench's virtual clock: pausing moves bench time.
class VirtualClock : public AcquisitionClock {
public:
    double now() override;
    void pause(double seconds) override;
    int pauses = 0;
    int stopAfter = -1;  // requests a stop (as Ctrl-C does) after this many pauses
};

// Channel j + 1 of each group follows bit j of the frame number, so frame k
// of a run started now reads (k mod 65536) in both halves.
void setCounterInputs(const std::string& carrier, int position, double period);
// Frame k + 1 is frame k plus one in both halves (mod 65536).
bool consecutive(std::uint32_t a, std::uint32_t b);

// A capture at 0.1 ms from the module at position 1 of kCarrier into `path`.
AcquireOptions captureOptions(const std::string& path);
// An export of `in` to `out` at 10 kHz.
ExportOptions exportOptions(const std::string& in, const std::string& out);

// What `run` failed with, or "no failure" when it ran through.
template <typename Run>
std::string failureOf(Run run) {
    try {
        run();
    } catch (const CommandError& e) {
        return e.what();
    }
    return "no failure";
}

// Tests in this process run on the built-in default bench, on the virtual
// clock, with no stop request pending.
class BenchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string acquireFailure(const AcquireOptions& o, AcquisitionClock& c) {
        return failureOf([&] { runAcquire(o, console, c); });
    }
    std::string exportFailure(const ExportOptions& o) {
        return failureOf([&] { runExport(o, console); });
    }

    std::ostringstream out;
    std::ostringstream err;
    Console console{out, err, false};
    VirtualClock clock;
    ScratchDir scratch;
};

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the sorvictl program with `arguments` (already quoted for the shell),
// optionally under `prefix` (e.g. "prlimit --fsize=100").
RunResult runProgram(const std::string& arguments, const std::string& prefix = "");
std::string quoted(const std::string& text);
// The sigrok-cli program, or empty when it is not installed.
std::string sigrokCli();

}  // namespace sorvictl::testing

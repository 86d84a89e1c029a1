// A whole cycle run as an operator makes it, scripted on the plug-in's own
// loop with the bench in real time: 0.1 ms period, result file, chart and
// list shown, stopped after a second. The file holds exactly the frames
// counted on the panel, and the list's lines are exactly the changes among
// the file's frames that the list covers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_test_interface.h"
#include "data_path.h"
#include "data_path_fixture.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;
namespace fs = std::filesystem;

namespace {

// What the script's "capture-run" line sees of the instance before it ends.
struct Capture {
    sorvi_handle handle = 0;
    bool taken = false;
    long long framesShown = -1;
    std::vector<std::string> lines;
};

int captureRun(const std::vector<std::string>&, std::string& reply, void* data) {
    auto& capture = *static_cast<Capture*>(data);
    const SorviInstance& inst = *instanceOf(capture.handle);
    std::string text;
    tk::getDisplayText(inst.mainPanel, MP_N_CADRS, text);
    capture.framesShown = std::stoll(text);
    int n = 0;
    tk::lineCount(inst.resultsPanel, RP_RESULTS_BOX, n);
    for (int i = 0; i < n; ++i) {
        tk::lineText(inst.resultsPanel, RP_RESULTS_BOX, i, text);
        capture.lines.push_back(text);
    }
    capture.taken = true;
    reply.clear();
    return 0;
}

}  // namespace

TEST(CycleRun, FileHoldsTheCountedFramesAndTheListTheirChanges) {
    tk::resetScript();
    bench::testing::resetBench();
    const fs::path dir = fs::temp_directory_path() / "sorvi_cycle_run";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "run.sorvi";

    ViSession carrier = 0;
    ASSERT_GE(tarvo_init(const_cast<ViRsrc>("VXI0::24::INSTR"), VI_TRUE, VI_FALSE, &carrier), 0);
    Capture capture;
    ASSERT_EQ(initAnswered(carrier, 1, capture.handle), 0);
    tk::registerScriptCommand("capture-run", captureRun, &capture);
    tk::startScript(
        "set MP_SAMPLE_PERIOD 0.0001\n"
        "ring MP_MODE \"непрерывный\"\n"
        "set MP_B_P_SIZE 1000\n"
        "set MP_RELE_SWITCH 1\n"
        "set MP_FILE_NAME \"" +
            file.string() +
            "\"\n"
            "commit MP_GRAPH\n"
            "commit MP_SHOW_RES\n"
            "commit MP_START\n"
            "wait 1\n"
            "commit MP_STOP\n"
            "wait 0.3\n"
            "capture-run\n"
            "commit MP_MP_EXIT\n"
            "commit EXIT_POPUP_EXIT_YES\n",
        "cycle-run");
    EXPECT_EQ(sorvi_display(capture.handle), 0);
    const tk::ScriptResult result = tk::scriptResult();
    EXPECT_TRUE(result.finished);
    EXPECT_TRUE(result.failures.empty()) << (result.failures.empty() ? "" : result.failures.front());
    tarvo_close(carrier);
    tk::resetScript();

    ASSERT_TRUE(capture.taken);
    const std::vector<std::uint32_t> frames = fileFrames(file);
    EXPECT_GT(frames.size(), 5000u);  // about 10 000 frames a second
    EXPECT_EQ(fs::file_size(file), 4u * std::uint64_t(capture.framesShown));
    ASSERT_FALSE(capture.lines.empty());

    // Each line: a frame number (1-based in the run) and that frame's bits.
    std::vector<long long> numbers;
    for (const std::string& line : capture.lines) {
        std::istringstream words(line);
        long long number = 0;
        words >> number;
        std::uint32_t frame = 0;
        std::string group;
        while (words >> group) {
            for (char c : group) frame = (frame << 1) | std::uint32_t(c == '1');
        }
        ASSERT_GE(number, 1);
        const bool closing = number == static_cast<long long>(frames.size()) + 1;
        ASSERT_LE(number, static_cast<long long>(frames.size()) + (closing ? 1 : 0)) << line;
        EXPECT_EQ(frame, frames[std::size_t(number - (closing ? 2 : 1))]) << line;
        numbers.push_back(number);
    }
    // Between the first and the last listed frame, every change is a line
    // and every line but the first and the closing one is a change.
    const long long first = numbers.front();
    const long long last = numbers.back() == static_cast<long long>(frames.size()) + 1 ? numbers.back() - 1
                                                                                       : numbers.back();
    std::vector<long long> changes{first};
    for (long long n = first + 1; n <= last; ++n) {
        if (frames[std::size_t(n - 1)] != frames[std::size_t(n - 2)]) changes.push_back(n);
    }
    if (numbers.back() != last) changes.push_back(numbers.back());
    EXPECT_EQ(numbers, changes);
    fs::remove_all(dir);
}

// Exports to the sigrok formats, read back by sigrok-cli to the very frames
// of the raw file; channel lists; bad input files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "acquire_command.h"
#include "command_error.h"
#include "export_command.h"
#include "frame_sink.h"
#include "test_support.h"

namespace sorvictl::testing {
namespace {

// sigrok-cli's raw output of a file: one 4-byte word per sample for 17 to
// 32 channels. Input modules may print a "META ..." line first.
std::string readBack(const std::string& file, const std::string& scratchFile) {
    const std::string command = quoted(sigrokCli()) + " -i " + quoted(file) + " -O binary >" + quoted(scratchFile) +
                                " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return "sigrok-cli failed";
    std::ifstream in(scratchFile, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (bytes.rfind("META ", 0) == 0) bytes.erase(0, bytes.find('\n') + 1);
    return bytes;
}

std::string rawBytes(const std::vector<std::uint32_t>& frames) {
    return std::string(reinterpret_cast<const char*>(frames.data()), frames.size() * 4);
}

using ExportTest = BenchTest;

TEST_F(ExportTest, CaptureExportedToSrAndVcdReadsBackAsTheRawFrames) {
    if (sigrokCli().empty()) GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps.sh installs it)";
    AcquireOptions a = captureOptions(scratch.path("run.sorvi"));
    a.frames = 20000;
    setCounterInputs(kCarrier, 1, a.period);
    runAcquire(a, console, clock);
    const auto frames = readFrames(a.output);
    ASSERT_EQ(frames.size(), 20000u);

    for (const char* ext : {"sr", "vcd"}) {
        SCOPED_TRACE(ext);
        const std::string out = scratch.path(std::string("run.") + ext);
        EXPECT_EQ(runExport(exportOptions(a.output, out), console).frames, 20000u);
        EXPECT_TRUE(readBack(out, scratch.path("back.bin")) == rawBytes(frames));
    }
    // A capture written straight to .sr holds the same frames as well.
    AcquireOptions direct = a;
    direct.output = scratch.path("direct.sr");
    setCounterInputs(kCarrier, 1, a.period);
    runAcquire(direct, console, clock);
    EXPECT_TRUE(readBack(direct.output, scratch.path("back.bin")) == rawBytes(frames));
}

TEST_F(ExportTest, LargeSessionFilesSpanManyChunksAndReadBackWhole) {
    if (sigrokCli().empty()) GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps.sh installs it)";
    // 4.8 MB of frames: srzip's first chunk and four more added in one pass.
    std::vector<std::uint32_t> frames(1'200'000);
    for (std::size_t k = 0; k < frames.size(); ++k) frames[k] = static_cast<std::uint32_t>(k * 2654435761u);
    writeFrames(scratch.path("big.sorvi"), frames);
    ExportOptions all = exportOptions(scratch.path("big.sorvi"), scratch.path("big.sr"));
    EXPECT_EQ(runExport(all, console).frames, frames.size());
    EXPECT_TRUE(readBack(all.output, scratch.path("back.bin")) == rawBytes(frames));
    // One byte per sample for eight channels: 1.2 Mi samples, two chunks.
    ExportOptions eight = exportOptions(scratch.path("big.sorvi"), scratch.path("eight.sr"));
    eight.channels = "1-8";
    runExport(eight, console);
    const std::string back = readBack(eight.output, scratch.path("back.bin"));
    ASSERT_EQ(back.size(), frames.size());
    std::size_t wrong = 0;
    for (std::size_t k = 0; k < frames.size(); ++k) wrong += static_cast<std::uint8_t>(back[k]) != (frames[k] & 0xFF);
    EXPECT_EQ(wrong, 0u);
    // Nothing is left beside the output.
    EXPECT_FALSE(std::filesystem::exists(all.output + ".part-" + std::to_string(::getpid())));
}

TEST_F(ExportTest, ChannelListKeepsThoseChannelsInItsOrder) {
    if (sigrokCli().empty()) GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps.sh installs it)";
    const std::vector<std::uint32_t> frames = {0x00000001, 0x80000000, 0x00010004, 0xFFFFFFFF, 0};
    writeFrames(scratch.path("in.sorvi"), frames);
    ExportOptions o = exportOptions(scratch.path("in.sorvi"), scratch.path("part.sr"));
    o.channels = "32,1-3,17";
    runExport(o, console);
    const std::string back = readBack(o.output, scratch.path("back.bin"));
    // Five channels: one byte per sample, bit k = k-th channel of the list.
    EXPECT_EQ(back, std::string("\x02\x01\x18\x1F\x00", 5));
}

TEST_F(ExportTest, CsvHasOneRowPerFrameWithChannel1First) {
    writeFrames(scratch.path("in.sorvi"), {0x00000001, 0x80000002});
    ExportOptions o = exportOptions(scratch.path("in.sorvi"), scratch.path("out.csv"));
    runExport(o, console);
    std::ifstream in(o.output);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != ';' && line.rfind("logic", 0) != 0) rows.push_back(line);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].substr(0, 4), "1,0,");
    EXPECT_EQ(rows[1].substr(0, 4), "0,1,");
    EXPECT_EQ(rows[1].substr(rows[1].size() - 2), ",1");
}

TEST_F(ExportTest, TrailingBytesAreNamedAndTheWholeFramesStillExported) {
    const std::vector<std::uint32_t> frames = {1, 2, 3};
    writeBytes(scratch.path("odd.sorvi"), rawBytes(frames) + "xyz");
    ExportOptions o = exportOptions(scratch.path("odd.sorvi"), scratch.path("odd.vcd"));
    try {
        runExport(o, console);
        ADD_FAILURE() << "trailing bytes not reported";
    } catch (const CommandError& e) {
        EXPECT_NE(std::string(e.what()).find("ends in 3 bytes that are not a whole frame; they were ignored"),
                  std::string::npos);
    }
    EXPECT_NE(err.str().find("3 frames exported"), std::string::npos);
}

TEST_F(ExportTest, BadInputGivesOneClearLineAndTouchesNoExistingFile) {
    writeFrames(scratch.path("in.sorvi"), {1, 2});
    writeBytes(scratch.path("old.sr"), "keep me");
    struct Case {
        const char* what;
        std::function<void(ExportOptions&)> change;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"missing input", [&](ExportOptions& o) { o.input = scratch.path("none.sorvi"); }, "cannot open"},
        {"folder as input", [&](ExportOptions& o) { o.input = scratch.path(""); }, "is not a regular file"},
        {"existing output", [&](ExportOptions& o) { o.output = scratch.path("old.sr"); }, "exists; add --force"},
        {"zero rate", [](ExportOptions& o) { o.samplerateHz = 0; }, "--samplerate must be at least 1 Hz"},
        {"raw output", [&](ExportOptions& o) { o.output = scratch.path("x.sorvi"); }, "export writes sr, vcd or csv"},
        {"bad channels", [](ExportOptions& o) { o.channels = "0-40"; }, "bad channel list"},
        {"twice a channel", [](ExportOptions& o) { o.channels = "1,1"; }, "bad channel list"},
        {"unwritable", [](ExportOptions& o) { o.output = "/nonexistent-dir/x.vcd"; }, "cannot create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExportOptions o = exportOptions(scratch.path("in.sorvi"), scratch.path("new.vcd"));
        c.change(o);
        try {
            runExport(o, console);
            ADD_FAILURE() << "accepted";
        } catch (const CommandError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
    std::ifstream old(scratch.path("old.sr"));
    std::string kept;
    std::getline(old, kept);
    EXPECT_EQ(kept, "keep me");
}

TEST(ChannelList, RangesAndSinglesInTheGivenOrder) {
    EXPECT_EQ(parseChannelList("1-3,17,32"), (std::vector<int>{1, 2, 3, 17, 32}));
    EXPECT_EQ(parseChannelList("5"), (std::vector<int>{5}));
    for (const char* bad : {"", "0", "33", "3-1", "1,", ",1", "1-", "a", "1;2", "1-2-3"})
        EXPECT_THROW(parseChannelList(bad), CommandError) << bad;
}

TEST(FileFormatChoice, OptionBeforeExtension) {
    EXPECT_EQ(chooseFormat("a.SR", ""), FileFormat::Sr);
    EXPECT_EQ(chooseFormat("dir.v/a.vcd", ""), FileFormat::Vcd);
    EXPECT_EQ(chooseFormat("a.bin", "csv"), FileFormat::Csv);
    EXPECT_THROW(chooseFormat("dir.sr/file", ""), CommandError);
    EXPECT_THROW(chooseFormat("a.sr", "zip"), CommandError);
}

}  // namespace
}  // namespace sorvictl::testing

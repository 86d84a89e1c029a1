// The result file when the disk lets it down: full, at its size limit, in a
// folder that cannot be written, removed or replaced during a run, or named
// by a path too long. Each case is popped up (titled with the file name),
// the acquisition goes on, and what the file held stays as it was with only
// whole frames after it; the viewer never lists another file's frames.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_test_interface.h"
#include "data_path.h"
#include "data_path_fixture.h"
#include "file_size_limit.h"
#include "file_snapshot.h"
#include "sorvi_uir.h"

using namespace sorvi_test;
using sorvi_testing::fileBytes;
using sorvi_testing::FileSizeLimit;
using sorvi_testing::FileSnapshot;
namespace fs = std::filesystem;

namespace {

// The next portion's pop-up, answered and checked.
void expectPopup(const std::string& title, const std::string& text) {
    tk::startScript("answer expect \"" + title + "\" \"" + text + "\"", "file");
}

// 0.1 s of frames (1000 at 0.1 ms) fetched in one portion.
void nextPortion(SorviInstance& inst) {
    bench::testing::advanceSeconds(0.1);
    EXPECT_EQ(outData(inst), VI_SUCCESS);
}

void expectNoScriptFailures() {
    EXPECT_TRUE(tk::scriptResult().failures.empty());
    tk::resetScript();
}

}  // namespace

TEST_F(DataPath, FullDiskOrSizeLimitKeepsWholeFramesAndTheRunGoesOn) {
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "limited.sorvi";
    onModule([&](SorviInstance& inst) {
        startFileRun(inst, "/dev/full");
        expectPopup("/dev/full", "Ошибка при записи файла");
        nextPortion(inst);
        EXPECT_EQ(inst.totalRead, 1000);
        expectNoScriptFailures();

        // A file that may grow by 1001 bytes only: the portion that does not
        // fit is cut off again; once there is room the next one is written.
        { std::ofstream(file, std::ios::binary) << "KEEP"; }
        const FileSnapshot before(file.string());
        setText(inst.mainPanel, MP_FILE_NAME, file.string());
        expectPopup(file.string(), "Ошибка при записи файла");
        {
            const FileSizeLimit limit(1005);
            nextPortion(inst);
        }
        expectNoScriptFailures();
        EXPECT_TRUE(before.unchanged());
        nextPortion(inst);
        EXPECT_EQ(inst.totalRead, 3000);
        EXPECT_TRUE(before.keptWithWholeUnits(4));
        EXPECT_EQ(fs::file_size(file), 4u + 4000u);
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

// Folders no user can write into: a folder named as the file, a path below a
// plain file, a path in /proc.
TEST_F(DataPath, UnwritableFolderIsPoppedUpAndTheRunGoesOn) {
    bench::testing::useVirtualClock();
    const fs::path plain = dir_ / "plain";
    { std::ofstream(plain) << "not a folder"; }
    const FileSnapshot plainBefore(plain.string());
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        int read = 0;
        for (const std::string& name : {dir_.string(), (plain / "r.sorvi").string(), std::string("/proc/r.sorvi")}) {
            SCOPED_TRACE(name);
            setText(inst.mainPanel, MP_FILE_NAME, name);
            expectPopup(name, "Ошибка при открытии файла");
            nextPortion(inst);
            EXPECT_EQ(inst.totalRead, read += 1000);
            expectNoScriptFailures();
        }
        EXPECT_FALSE(fs::exists("/proc/r.sorvi"));
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
    EXPECT_TRUE(plainBefore.unchanged());
}

// Permission bits stop only a user who is not root.
TEST_F(DataPath, ReadOnlyFileOrFolderIsPoppedUpAndLeftAsItWas) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes whatever the permission bits say";
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "read-only.sorvi";
    { std::ofstream(file, std::ios::binary) << "KEEP"; }
    const FileSnapshot before(file.string());
    fs::permissions(file, fs::perms::owner_read);
    const fs::path folder = dir_ / "read-only";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        for (const std::string& name : {file.string(), (folder / "r.sorvi").string()}) {
            SCOPED_TRACE(name);
            setText(inst.mainPanel, MP_FILE_NAME, name);
            expectPopup(name, "Ошибка при открытии файла");
            nextPortion(inst);
            expectNoScriptFailures();
        }
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
    EXPECT_TRUE(before.unchanged());
    EXPECT_FALSE(fs::exists(folder / "r.sorvi"));
    fs::permissions(folder, fs::perms::owner_all);
}

// The file is opened for every portion: after a removal the run goes on in
// a new file; a file renamed into its place keeps its bytes and gets whole
// frames after them, unless it does not end on a whole frame (frames after
// a torn one would all be read shifted). The viewer then refuses the run.
TEST_F(DataPath, FileRemovedOrReplacedMidRunKeepsEveryFileWhole) {
    const fs::path file = dir_ / "run.sorvi";
    const fs::path other = dir_ / "other.sorvi";
    onListedFileRun(file, [&](SorviInstance& inst) {
        nextPortion(inst);
        ASSERT_EQ(fs::file_size(file), 4000u);

        fs::remove(file);
        nextPortion(inst);
        EXPECT_EQ(fs::file_size(file), 4000u);  // the second portion, whole

        { std::ofstream(other, std::ios::binary) << "ABCD"; }
        fs::rename(other, file);
        const FileSnapshot replacement(file.string());
        nextPortion(inst);
        EXPECT_TRUE(replacement.keptWithWholeUnits(4));
        EXPECT_EQ(fs::file_size(file), 4u + 4000u);

        { std::ofstream(other, std::ios::binary) << "ABC"; }
        fs::rename(other, file);
        expectPopup(file.string(), "Ошибка при записи файла");
        nextPortion(inst);
        expectNoScriptFailures();
        EXPECT_EQ(fileBytes(file.string()), "ABC");
        EXPECT_EQ(inst.totalRead, 4000);

        tk::setValue(inst.resultsPanel, inst.scrollBar, 1);
        inst.firstShown = 3000;
        expectPopup(file.string(), "Ошибка при чтении файла");
        EXPECT_EQ(scrollF(inst.resultsPanel), -1);
        expectNoScriptFailures();
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

// After the run another file of the very same size is put in its place: its
// frames are not this run's, and the viewer says so instead of listing them.
TEST_F(DataPath, ViewerRefusesAFileOfTheSameSizePutInThePlaceOfTheRun) {
    const fs::path file = dir_ / "run.sorvi";
    const fs::path other = dir_ / "other.sorvi";
    onListedFileRun(file, [&](SorviInstance& inst) {
        stopAfter(inst, 0.5);
        const auto size = fs::file_size(file);
        ASSERT_EQ(size, 4u * static_cast<unsigned>(inst.totalRead));

        { std::ofstream(other, std::ios::binary) << std::string(size, '\x55'); }
        fs::rename(other, file);
        tk::setValue(inst.resultsPanel, inst.scrollBar, 1);
        inst.firstShown = 4000;
        expectPopup(file.string(), "Ошибка при чтении файла");
        EXPECT_EQ(scrollF(inst.resultsPanel), -1);
        expectNoScriptFailures();
        EXPECT_EQ(inst.firstShown, 4000);  // the list was left as it was
    });
}

// 300 characters do not fit the name field: refused (cutting the name would
// write another file), and nothing is written while it stands.
TEST_F(DataPath, NameThatDoesNotFitIsRefusedAndNothingIsWritten) {
    bench::testing::useVirtualClock();
    const fs::path folder = dir_ / std::string(150, 'd');
    fs::create_directories(folder);
    const std::string name = (folder / std::string(300 - folder.string().size() - 1, 'r')).string();
    ASSERT_EQ(name.size(), 300u);
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        expectPopup(name.substr(0, 80) + "...", "Ошибка при открытии файла");
        setText(inst.mainPanel, MP_FILE_NAME, name);
        expectNoScriptFailures();
        EXPECT_EQ(inst.writeFile, 0);
        tk::callCallback(inst.mainPanel, MP_START);
        nextPortion(inst);
        EXPECT_EQ(inst.totalRead, 1000);
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
    EXPECT_TRUE(fs::is_empty(folder));
}

// A file that does not end on a whole frame is left alone for the whole run,
// and said so once, not with every portion; the next run says it again.
TEST_F(DataPath, AFileNotEndingOnAWholeFrameIsToldOnceARun) {
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "torn.sorvi";
    { std::ofstream(file, std::ios::binary) << "ABC"; }
    onModule([&](SorviInstance& inst) {
        // Answers enough for a pop-up with every portion, so that a fault
        // fails the counts below instead of waiting for an answer.
        tk::startScript("answer\nanswer\nanswer\nanswer\nanswer\nanswer", "torn");
        const auto before = tk::messagePopupsSeen().size();
        startFileRun(inst, file.string());
        for (int i = 0; i < 3; ++i) nextPortion(inst);
        EXPECT_EQ(tk::messagePopupsSeen().size(), before + 1);
        tk::callCallback(inst.mainPanel, MP_STOP);
        process_data(inst.mainPanel);
        tk::callCallback(inst.mainPanel, MP_START);
        nextPortion(inst);
        EXPECT_EQ(tk::messagePopupsSeen().size(), before + 2);
        tk::callCallback(inst.mainPanel, MP_STOP);
        EXPECT_EQ(fileBytes(file.string()), "ABC");
    });
    tk::resetScript();
}

// The name of the file being written, typed again in another spelling: the
// run goes on in it and the viewer still reads it back.
TEST_F(DataPath, TheRunsFileNamedAgainStillScrolls) {
    const fs::path file = dir_ / "run.sorvi";
    onListedFileRun(file, [&](SorviInstance& inst) {
        nextPortion(inst);
        nextPortion(inst);
        setText(inst.mainPanel, MP_FILE_NAME, (dir_ / "." / "run.sorvi").string());
        nextPortion(inst);
        tk::callCallback(inst.mainPanel, MP_STOP);
        process_data(inst.mainPanel);
        ASSERT_EQ(fs::file_size(file), 4u * static_cast<unsigned>(inst.totalRead));
        tk::setValue(inst.resultsPanel, inst.scrollBar, 1);
        inst.firstShown = 4000;
        const auto before = tk::messagePopupsSeen().size();
        tk::startScript("answer", "guard");
        EXPECT_EQ(scrollF(inst.resultsPanel), 0);
        EXPECT_EQ(tk::messagePopupsSeen().size(), before);
        tk::resetScript();
    });
}

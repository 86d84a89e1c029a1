// Output files of captures and exports when the disk lets them down: full,
// at their size limit, in a folder that cannot be written, removed or
// replaced during the run, or under a long path. Each case ends with one
// clear line, and no file that was there before loses or changes a byte.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "acquire_command.h"
#include "command_error.h"
#include "export_command.h"
#include "file_size_limit.h"
#include "file_snapshot.h"
#include "test_support.h"

namespace sorvictl::testing {
namespace {

namespace fs = std::filesystem;
using sorvi_testing::fileBytes;
using sorvi_testing::FileSnapshot;

// Runs something on the bench's clock after a number of its pauses.
struct ClockWithAction : VirtualClock {
    void pause(double seconds) override {
        if (++turns == at && action) action();
        VirtualClock::pause(seconds);
    }
    int turns = 0;
    int at = 0;
    std::function<void()> action;
};

class OutputFileTest : public BenchTest {
protected:
    AcquireOptions capture(const std::string& path, long long frames = 3000) {
        AcquireOptions o = captureOptions(path);
        o.frames = frames;
        return o;
    }
};

TEST_F(OutputFileTest, FullDiskAndSizeLimitEndTheRunWithWholeUnits) {
    AcquireOptions o = capture("/dev/full");
    o.format = "sorvi";
    o.force = true;
    EXPECT_NE(acquireFailure(o, clock).find("writing /dev/full failed: No space left on device"), std::string::npos);

    writeFrames(scratch.path("in.sorvi"), std::vector<std::uint32_t>(3000, 0x00010001u));
    ExportOptions e = exportOptions(scratch.path("in.sorvi"), "/dev/full");
    e.format = "csv";
    e.force = true;
    EXPECT_NE(exportFailure(e).find("writing /dev/full failed: No space left on device"), std::string::npos);

    // A file that may not grow past 100 000 bytes: the csv text of the
    // portion that does not fit is cut off again, so the file ends on a row.
    const AcquireOptions limited = capture(scratch.path("limited.csv"), 5000);
    {
        const sorvi_testing::FileSizeLimit limit(100000);
        EXPECT_NE(acquireFailure(limited, clock).find("File too large"), std::string::npos);
    }
    const std::string text = fileBytes(limited.output);
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.size(), 100000u);
    EXPECT_EQ(text.back(), '\n');
}

// Folders no user can write into: below a plain file, in /proc.
TEST_F(OutputFileTest, UnwritableFolderIsOneClearLineAndTouchesNothing) {
    writeBytes(scratch.path("plain"), "not a folder");
    const FileSnapshot plain(scratch.path("plain"));
    writeFrames(scratch.path("in.sorvi"), {1, 2, 3});
    for (const std::string& path : {scratch.path("plain/out.sorvi"), std::string("/proc/sorvictl-out.sorvi")}) {
        SCOPED_TRACE(path);
        EXPECT_NE(acquireFailure(capture(path), clock).find("cannot "), std::string::npos);
        const std::string vcd = path.substr(0, path.size() - 5) + "vcd";
        EXPECT_NE(exportFailure(exportOptions(scratch.path("in.sorvi"), vcd)).find("cannot create"), std::string::npos);
        EXPECT_FALSE(fs::exists(path));
    }
    EXPECT_TRUE(plain.unchanged());
}

// Permission bits stop only a user who is not root.
TEST_F(OutputFileTest, ReadOnlyFolderIsOneClearLine) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes whatever the permission bits say";
    const std::string folder = scratch.path("read-only");
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    EXPECT_NE(acquireFailure(capture(folder + "/out.sorvi"), clock).find("cannot write into"), std::string::npos);
    writeFrames(scratch.path("in.sorvi"), {1, 2, 3});
    EXPECT_NE(exportFailure(exportOptions(scratch.path("in.sorvi"), folder + "/out.vcd")).find("cannot create"),
              std::string::npos);
    EXPECT_TRUE(fs::is_empty(folder));
}

// What is written to a file removed while open is lost with it: that is
// said, not "frames written". A file put in its place is left as it is.
TEST_F(OutputFileTest, FileRemovedOrReplacedMidRunIsReportedAndTheNewOneLeftAlone) {
    for (const std::string name : {"removed.sorvi", "removed.sr", "replaced.sorvi"}) {
        SCOPED_TRACE(name);
        const std::string path = scratch.path(name);
        ClockWithAction c;
        c.at = 3;
        c.action = [&] {
            if (name.rfind("replaced", 0) == 0) {
                writeBytes(scratch.path("other"), "someone else's");
                ASSERT_EQ(std::rename(scratch.path("other").c_str(), path.c_str()), 0);
            } else {
                // The session file is spooled first: the spool is what is open.
                const std::string open = name.ends_with(".sr") ? path + ".part-" + std::to_string(::getpid()) : path;
                ASSERT_EQ(std::remove(open.c_str()), 0);
            }
        };
        const std::string says = acquireFailure(capture(path), c);
        EXPECT_NE(says.find("was removed or replaced while being written"), std::string::npos) << says;
        if (name.rfind("replaced", 0) == 0) {
            EXPECT_EQ(fileBytes(path), "someone else's");
        } else {
            EXPECT_FALSE(fs::exists(path));
        }
    }
}

TEST_F(OutputFileTest, LongPathsWorkUpToWhatTheSystemTakes) {
    const std::string folder = scratch.path(std::string(150, 'd'));
    ASSERT_TRUE(fs::create_directory(folder));
    for (const char* extension : {".sorvi", ".sr"}) {
        std::string path = folder + "/";
        path += std::string(300 - path.size() - std::strlen(extension), 'f') + extension;
        ASSERT_EQ(path.size(), 300u);
        EXPECT_EQ(runAcquire(capture(path, 2000), console, clock).frames, 2000u) << extension;
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_EQ(fileSize(folder + "/" + std::string(300 - folder.size() - 7, 'f') + ".sorvi"), 8000u);

    // A single name of 300 characters is more than the file system takes.
    const std::string tooLong = scratch.path(std::string(294, 'f') + ".sorvi");
    EXPECT_NE(acquireFailure(capture(tooLong), clock).find("File name too long"), std::string::npos);
}

// Writing the output would empty the input before it is read: refused
// under any name of it, even with --force.
TEST_F(OutputFileTest, ExportRefusesToWriteOverItsInput) {
    writeFrames(scratch.path("run.sorvi"), std::vector<std::uint32_t>(1000, 0x12345678u));
    ASSERT_EQ(::link(scratch.path("run.sorvi").c_str(), scratch.path("alias.csv").c_str()), 0);
    const FileSnapshot input(scratch.path("run.sorvi"));
    for (const std::string& output : {scratch.path("run.sorvi"), scratch.path("alias.csv")}) {
        for (const char* format : {"csv", "sr"}) {
            SCOPED_TRACE(output + " as " + format);
            ExportOptions e = exportOptions(scratch.path("run.sorvi"), output);
            e.format = format;
            e.force = true;
            EXPECT_NE(exportFailure(e).find("is the input file"), std::string::npos);
            EXPECT_TRUE(input.unchanged());
        }
    }
}

// A session file is written by replacing the path: only a regular file is
// replaced, never a device or a pipe, even with --force.
TEST_F(OutputFileTest, SessionFileDoesNotReplaceWhatIsNotARegularFile) {
    const std::string fifo = scratch.path("pipe.sr");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    writeFrames(scratch.path("in.sorvi"), {1, 2, 3});
    ExportOptions e = exportOptions(scratch.path("in.sorvi"), fifo);
    e.force = true;
    EXPECT_NE(exportFailure(e).find("is not a regular file"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace sorvictl::testing

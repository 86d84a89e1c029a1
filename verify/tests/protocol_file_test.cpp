// The protocol file when the disk lets it down: full, at its size limit, in
// a folder that cannot be written, removed or replaced while open, or under
// a path too long. Each case tells the operator, keeps every message in the
// window, leaves what the file already held as it was, and the next
// protocol opening works again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include <paneltk/paneltk.h>

#include "chklog.h"
#include "file_size_limit.h"
#include "file_snapshot.h"
#include "program_run.h"
#include "t_sorvi.h"
#include "verisk_panels_fixture.h"
#include "verisk_uir.h"

using sorvi_testing::FileSnapshot;
using sorvi_testing::FileSizeLimit;
using sorvi_testing::fileBytes;

namespace {

const char* const kWriteError = "Ошибка записи в файл протокола";
const char* const kOpenError = "Ошибка открытия файла протокола.";
const char* const kAnswerWriteError =
    "answer expect \"Ошибка записи в файл протокола\" \"Сообщения будут выводиться только на экран\"\n";
const char* const kAnswerOpenError =
    "answer expect \"Ошибка открытия файла протокола.\" \"Сообщения будут выводиться только на экран\"\n";

std::size_t popupsTitled(const std::string& title) {
    std::size_t n = 0;
    for (const auto& p : tk::messagePopupsSeen()) n += p.title == title;
    return n;
}

class ProtocolFile : public VeriskPanels {
protected:
    void SetUp() override {
        VeriskPanels::SetUp();
        tk::resetScript();
    }
    void TearDown() override {
        EXPECT_TRUE(tk::scriptResult().failures.empty());
        tk::resetScript();
    }
};

}  // namespace

// A full disk: one pop-up per opening, and every message still in the window.
TEST_F(ProtocolFile, WriteErrorIsShownOncePerOpeningAndTheWindowGoesOn) {
    const std::size_t before = popupsTitled(kWriteError);
    tk::startScript(kAnswerWriteError, "full");
    ASSERT_EQ(SetupChlp(kVeriskResource, 6, "Протокол", "/dev/full"), 0);
    WriteLOG(6, "первая\n");
    WriteLOG(6, "вторая\n");
    EXPECT_EQ(popupsTitled(kWriteError), before + 1);
    EXPECT_EQ(windowLineCount(6), 3);
    EXPECT_EQ(windowLine(6, 2), "вторая");
    tk::startScript(kAnswerWriteError, "full again");
    ASSERT_EQ(SetupChlp(kVeriskResource, 6, "Протокол", "/dev/full"), 0);
    EXPECT_EQ(popupsTitled(kWriteError), before + 2);
    EXPECT_TRUE(tk::scriptResult().failures.empty());
    DiscardChlp(6);
    tk::resetScript();
}

// A path longer than the protocol's path field is refused, not cut to another file.
TEST_F(ProtocolFile, PathThatDoesNotFitIsRefusedWithTheOpeningPopup) {
    tk::resetScript();
    const std::string dir = makeScratchDirectory() + "/" + std::string(150, 'd');
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    const std::string path = dir + "/" + std::string(300 - dir.size() - 1, 'p');
    ASSERT_EQ(path.size(), 300u);
    const std::size_t before = popupsTitled(kOpenError);
    tk::startScript("answer\n", "long path");
    ASSERT_EQ(SetupChlp(kVeriskResource, 7, "Протокол", path), 0);
    EXPECT_EQ(popupsTitled(kOpenError), before + 1);
    EXPECT_EQ(protocolFile(7), -1);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 0u);              // nothing written under a cut name
    EXPECT_EQ(windowLineCount(7), 1);  // the title, on screen only
    DiscardChlp(7);
    tk::resetScript();
}

// A file that reaches its size limit in the middle of a message: the part
// written is cut off again, so the file keeps whole messages.
TEST_F(ProtocolFile, FileThatCannotGrowKeepsWholeMessages) {
    const std::string path = writeFile(makeScratchDirectory(), "limited.log", "old\r\n");
    ASSERT_EQ(SetupChlp(kVeriskResource, 8, "Протокол", path), 0);
    WriteLOG(8, "первая\n");
    const FileSnapshot before(path);
    const std::size_t popups = popupsTitled(kWriteError);
    tk::startScript(kAnswerWriteError, "limit");
    {
        const FileSizeLimit limit(before.bytes().size() + 10);
        WriteLOG(8, "вторая строка, длиннее десяти байт\n");
        WriteLOG(8, "третья\n");
    }
    EXPECT_TRUE(before.unchanged());
    EXPECT_EQ(popupsTitled(kWriteError), popups + 1);
    WriteLOG(8, "четвёртая\n");  // on screen only, without a second pop-up
    EXPECT_EQ(popupsTitled(kWriteError), popups + 1);
    EXPECT_TRUE(before.unchanged());
    EXPECT_EQ(windowLine(8, 4), "четвёртая");

    // The next opening appends again after what was there (the title is a
    // message without a line end of its own).
    ASSERT_EQ(SetupChlp(kVeriskResource, 8, "Протокол", path), 0);
    WriteLOG(8, "снова\n");
    EXPECT_TRUE(before.keptWithWholeLines());
    EXPECT_EQ(fileBytes(path), before.bytes() + tk::toCp1251("Протоколснова\r\n"));
    DiscardChlp(8);
}

// Folders no user can write into: below a plain file, and in /proc.
TEST_F(ProtocolFile, UnwritableFolderGetsTheOpeningPopupAndTheWindowGoesOn) {
    const std::string plain = writeFile(makeScratchDirectory(), "plain", "not a folder\n");
    const FileSnapshot plainBefore(plain);
    for (const std::string& path : {plain + "/p.log", std::string("/proc/sorvi-protocol.log")}) {
        SCOPED_TRACE(path);
        const std::size_t popups = popupsTitled(kOpenError);
        tk::startScript(kAnswerOpenError, "unwritable");
        ASSERT_EQ(SetupChlp(kVeriskResource, 9, "Протокол", path), 0);
        EXPECT_EQ(popupsTitled(kOpenError), popups + 1);
        EXPECT_EQ(protocolFile(9), -1);
        WriteLOG(9, "строка\n");
        EXPECT_EQ(windowLine(9, 1), "строка");
        EXPECT_FALSE(fileExists(path));
        DiscardChlp(9);
    }
    EXPECT_TRUE(plainBefore.unchanged());
}

// Permission bits stop only a user who is not root.
TEST_F(ProtocolFile, ReadOnlyFolderAndFileGetTheOpeningPopup) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes whatever the permission bits say";
    const std::string dir = makeScratchDirectory();
    const std::string file = writeFile(dir, "read-only.log", "old\r\n");
    const FileSnapshot before(file);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const std::string folder = dir + "/read-only";
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    for (const std::string& path : {file, folder + "/p.log"}) {
        SCOPED_TRACE(path);
        const std::size_t popups = popupsTitled(kOpenError);
        tk::startScript(kAnswerOpenError, "read-only");
        ASSERT_EQ(SetupChlp(kVeriskResource, 9, "Протокол", path), 0);
        EXPECT_EQ(popupsTitled(kOpenError), popups + 1);
        WriteLOG(9, "строка\n");
        EXPECT_EQ(windowLine(9, 1), "строка");
        DiscardChlp(9);
    }
    EXPECT_TRUE(before.unchanged());
    EXPECT_FALSE(fileExists(folder + "/p.log"));
}

// Removed while open: the messages would go to a file nobody can see, so
// the operator is told; a file put in its place is someone else's and is
// left alone. Choosing the protocol anew writes again.
TEST_F(ProtocolFile, FileRemovedOrReplacedWhileOpenIsToldAndLeftAlone) {
    const std::string dir = makeScratchDirectory();
    const std::string path = dir + "/p.log";
    ASSERT_EQ(SetupChlp(kVeriskResource, 10, "Протокол", path), 0);
    WriteLOG(10, "первая\n");
    ASSERT_EQ(std::remove(path.c_str()), 0);
    std::size_t popups = popupsTitled(kWriteError);
    tk::startScript(kAnswerWriteError, "removed");
    WriteLOG(10, "вторая\n");
    WriteLOG(10, "третья\n");
    EXPECT_EQ(popupsTitled(kWriteError), popups + 1);
    EXPECT_EQ(windowLine(10, 2), "вторая");
    EXPECT_EQ(windowLine(10, 3), "третья");
    EXPECT_FALSE(fileExists(path));

    ASSERT_EQ(SetupChlp(kVeriskResource, 10, "Протокол", path), 0);
    WriteLOG(10, "первая\n");
    const std::string other = writeFile(dir, "other.log", "someone else's\r\n");
    ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
    const FileSnapshot replacement(path);
    popups = popupsTitled(kWriteError);
    tk::startScript(kAnswerWriteError, "replaced");
    WriteLOG(10, "вторая\n");
    EXPECT_EQ(popupsTitled(kWriteError), popups + 1);
    EXPECT_TRUE(replacement.unchanged());

    ASSERT_EQ(SetupChlp(kVeriskResource, 10, "Протокол", path), 0);
    WriteLOG(10, "третья\n");
    EXPECT_TRUE(replacement.keptWithWholeLines());
    EXPECT_EQ(fileBytes(path), replacement.bytes() + tk::toCp1251("Протоколтретья\r\n"));
    DiscardChlp(10);
}

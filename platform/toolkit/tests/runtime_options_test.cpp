// What a program meets before and around its windows: the script option is
// checked before any window, tk_demo explains itself and refuses mistakes,
// Qt's own texts are Russian, and a message box raised without a title
// carries the title of its window.
#include <sys/wait.h>

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sorvi_version.h"
#include "toolkit_fixture.h"

using namespace tk;

namespace {

struct DemoRun {
    int exitCode = -1;
    std::string output;
};

DemoRun runDemo(const std::string& arguments) {
    const std::string command =
        "env -u SORVI_SCRIPT -u SORVI_SCREENSHOTS QT_QPA_PLATFORM=offscreen timeout 10 " TK_DEMO_PROGRAM " " +
        arguments + " </dev/null 2>&1";
    DemoRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[1024];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ScriptOption, ReadableFileOrNothingPassesAndEverythingElseSaysWhy) {
    const auto dir = std::filesystem::temp_directory_path() / "paneltk_script_option";
    std::filesystem::create_directories(dir);
    const std::string script = (dir / "ok.tks").string();
    std::ofstream(script) << "echo hello\n";
    std::string reason;
    EXPECT_TRUE(checkScriptFile(script, reason)) << reason;
    EXPECT_TRUE(checkScriptFile("", reason)) << "no script asked for";
    EXPECT_FALSE(checkScriptFile((dir / "missing.tks").string(), reason));
    EXPECT_EQ(reason, "cannot read script " + (dir / "missing.tks").string() + ": No such file or directory");
    EXPECT_FALSE(checkScriptFile(dir.string(), reason));
    EXPECT_EQ(reason, "cannot read script " + dir.string() + ": it is a folder");

    // Without an option the environment's script is the one that must be readable.
    setenv("SORVI_SCRIPT", (dir / "missing.tks").string().c_str(), 1);
    EXPECT_FALSE(checkScriptFile("", reason));
    EXPECT_TRUE(checkScriptFile(script, reason)) << "the option goes before the environment";
    unsetenv("SORVI_SCRIPT");
    std::filesystem::remove_all(dir);
}

TEST(DemoCommandLine, ExplainsItselfAndRefusesMistakesBeforeAnyWindow) {
    DemoRun run = runDemo("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.rfind("usage: tk_demo", 0), 0u) << run.output;
    run = runDemo("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "tk_demo " SORVI_VERSION "\n");

    const struct {
        const char* arguments;
        const char* output;
    } refused[] = {
        {"--bogus", "tk_demo: unknown option --bogus (tk_demo --help lists the options)\n"},
        {"--idle", "tk_demo: --idle needs a value\n"},
        {"--idle soon", "tk_demo: --idle needs a number of seconds (0 to 86400), not soon\n"},
        {"--script /nonexistent/demo.tks",
         "tk_demo: cannot read script /nonexistent/demo.tks: No such file or directory\n"},
    };
    for (const auto& r : refused) {
        run = runDemo(r.arguments);
        EXPECT_EQ(run.exitCode, 2) << r.arguments;
        EXPECT_EQ(run.output, r.output);
    }
}

TEST(QtTexts, StandardDialogsAreRussianWhateverTheLocale) {
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), "Папка");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "&Имя файла:")
        << "Qt's translations (qt6-translations-l10n) are not loaded";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
}

int untitledMessage(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) messagePopup("", "Ошибка инициализации");
    return 0;
}

class UntitledMessage : public ToolkitTest {};

// Raised from inside a titled window, a box without a title stays without
// one: it does not borrow its window's title.
TEST_F(UntitledMessage, StaysUntitledInsideATitledWindow) {
    bindings.insert(bindings.begin(), {"findAnother", untitledMessage});
    const int panel = load(SAMPLE);
    displayPanel(panel);
    std::string title;
    ASSERT_EQ(getPanelAttribute(panel, ATTR_TITLE, title), OK);
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(runScript("commit SAMPLE_FIND\nanswer expect \"\" \"Ошибка инициализации\"\n"), 0);
    ASSERT_FALSE(messagePopupsSeen().empty());
    EXPECT_EQ(messagePopupsSeen().back().title, "");
}

}  // namespace

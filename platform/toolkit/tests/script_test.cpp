// Scripts drive the panels as an operator would, through modal pop-ups and
// nested waits, and report failed expectations with their line numbers.
#include <cstdio>
#include <filesystem>

#include "toolkit_fixture.h"

using namespace tk;

namespace {

int askPanel = 0;
bool confirmed = false;
int fileResult = -100;
std::string filePath;

// Like the programs' step runner: show the pop-up and wait in it.
int runStep(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    confirmed = false;
    installPopup(askPanel);
    int visible = 1;
    while (visible) {
        processEvents();
        waitEvents(0.005);
        getPanelAttribute(askPanel, ATTR_VISIBLE, visible);
    }
    return 0;
}

int yes(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        confirmed = true;
        removePopup(0);
    }
    return 0;
}

int no(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) removePopup(0);
    return 0;
}

int showMessage(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) messagePopup("Ошибка", "Процесс запущен");
    return 0;
}

int chooseFile(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    FileSelectOptions o;
    o.title = "Файл протокола";
    o.defaultFile = "*.log";
    o.filter = "*.log";
    filePath.clear();
    fileResult = fileSelectPopup(o, filePath);
    return 0;
}

int benchReply(const std::vector<std::string>& args, std::string& reply, void* data) {
    *static_cast<int*>(data) += 1;
    reply = args.size() > 1 ? args[1] : "";
    return args.size() > 1 && args[1] == "ok" ? 0 : 1;
}

}  // namespace

class ScriptTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        bindings.insert(bindings.begin(), {"yes", yes});
        bindings.insert(bindings.begin(), {"no", no});
        bindings.insert(bindings.begin(), {"findAnother", showMessage});
        bindings.insert(bindings.begin(), {"go", chooseFile});
        bindings.insert(bindings.begin(), {"startP", runStep});
        panel = load(SAMPLE);
        askPanel = load(ASK);
        displayPanel(panel);
    }
    // Runs a script that must pass; returns the seconds it took on the toolkit's clock.
    double secondsToRun(const char* script) {
        const double t0 = timer();
        EXPECT_EQ(runScript(script), 0);
        return timer() - t0;
    }
    int panel = 0;
};

TEST_F(ScriptTest, ModalPopupWithNestedWaitIsDrivenByTheScript) {
    int failures = runScript(R"(
        commit SAMPLE_START
        expect visible ASK 1
        expect value ASK_TEXT "Завершить работу с мезонином СОРВИ?"
        commit ASK_YES
        expect visible ASK 0
    )");
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(confirmed);
    EXPECT_TRUE(scriptResult().finished);
}

TEST_F(ScriptTest, OtherWindowsTakeNoInputWhileAPopupIsUp) {
    int failures = runScript(R"(
        timeout 0.2
        commit SAMPLE_START
        commit SAMPLE_EXIT
        close ASK
    )",
                             10, "modal");
    EXPECT_EQ(failures, 1);
    auto r = scriptResult();
    ASSERT_EQ(r.failures.size(), 1u);
    EXPECT_NE(r.failures[0].find("modal:4:"), std::string::npos) << r.failures[0];
    EXPECT_NE(r.failures[0].find("ASK takes all input"), std::string::npos) << r.failures[0];
    EXPECT_TRUE(callsOf(SAMPLE_EXIT).empty());
    EXPECT_FALSE(confirmed);  // closed with the close box: "НЕТ"
}

TEST_F(ScriptTest, FailedExpectationNamesItsLine) {
    setValue(panel, SAMPLE_REG, 0x1A3);
    int failures = runScript(
        "# formats\nexpect value SAMPLE_REG \"01A3\"\n\nexpect value SAMPLE_CHAN \"5\"\n"
        "expect dimmed SAMPLE_STOP 1\nexpect label SAMPLE_START \"Старт\"\n",
        10, "check.tks");
    EXPECT_EQ(failures, 2);
    auto r = scriptResult();
    ASSERT_EQ(r.failures.size(), 2u);
    EXPECT_EQ(r.failures[0].rfind("check.tks:4: ", 0), 0u) << r.failures[0];
    EXPECT_NE(r.failures[0].find("\"5\""), std::string::npos);
    EXPECT_EQ(r.failures[1].rfind("check.tks:6: ", 0), 0u) << r.failures[1];
}

TEST_F(ScriptTest, ActionsActAsTheOperator) {
    int failures = runScript(R"(
        set SAMPLE_PERIOD 0,0025
        expect value SAMPLE_PERIOD "0.0025"
        set SAMPLE_REG 1a3
        expect value SAMPLE_REG "01A3"
        ring SAMPLE_MODE "непрерывный"
        expect value SAMPLE_MODE "непрерывный"
        ring SAMPLE_MODE #1
        set SAMPLE_RELAY "вкл."
        expect value SAMPLE_RELAY "вкл."
        cell SAMPLE_TABLE 3 1 "1"
        expect cell SAMPLE_TABLE 3 1 "1"
        set SAMPLE_NAME "протокол 2.log"
        expect value SAMPLE_NAME "протокол 2.log"
        menu MENU_FILE_ABOUT
        expect items SAMPLE_MODE 3
        expect color SAMPLE_STATUS 0xFFFFFF
        expect title SAMPLE "Пример панели"
    )");
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(callsOf(SAMPLE_PERIOD).size(), 1u);
    EXPECT_EQ(callsOf(SAMPLE_MODE).size(), 2u);
    EXPECT_EQ(callsOf(SAMPLE_MODE, EVENT_VAL_CHANGED).size(), 2u);
    ASSERT_EQ(callsOf(SAMPLE_TABLE).size(), 1u);
    EXPECT_EQ(callsOf(SAMPLE_TABLE)[0].data1, 3);
    EXPECT_EQ(menuCalls.size(), 1u);
    int v = 0;
    getValue(panel, SAMPLE_MODE, v);
    EXPECT_EQ(v, 1);
}

TEST_F(ScriptTest, DisplayOnlyAndDimmedControlsCannotBeUsed) {
    int failures = runScript(R"(
        timeout 0.1
        set SAMPLE_BITS 5
        commit SAMPLE_STATUS
        commit SAMPLE_STOP
        commit SAMPLE_HIDDEN
        commit NO_SUCH_CONTROL
    )");
    EXPECT_EQ(failures, 5);
    auto f = scriptResult().failures;
    ASSERT_EQ(f.size(), 5u);
    EXPECT_NE(f[0].find("display only"), std::string::npos);
    EXPECT_NE(f[1].find("SAMPLE_STATUS is display only"), std::string::npos) << f[1];
    EXPECT_NE(f[2].find("dimmed"), std::string::npos);
    EXPECT_NE(f[3].find("hidden"), std::string::npos);
    EXPECT_NE(f[4].find("NO_SUCH_CONTROL"), std::string::npos);
}

TEST_F(ScriptTest, MessageBoxIsAnsweredAndRecorded) {
    int failures = runScript(R"(
        commit SAMPLE_FIND
        answer expect "Ошибка" "Процесс запущен"
        expect popup "Ошибка" "Процесс запущен"
        commit SAMPLE_FIND
        answer expect "Ошибка" "другой текст"
    )");
    EXPECT_EQ(failures, 1);
    auto seen = messagePopupsSeen();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back().text, "Процесс запущен");
}

TEST_F(ScriptTest, FileDialogIsAnsweredWithAPathOrCancel) {
    int page = makeTabPage(panel, SAMPLE_CANVAS, "sample.uir", PAGE, {}, &bindings);
    ASSERT_GT(page, 0);
    std::string path = (std::filesystem::temp_directory_path() / "paneltk_новый.log").string();
    std::filesystem::remove(path);
    EXPECT_EQ(runScript("commit PAGE_GO\nfile \"" + path + "\"\n"), 0);
    EXPECT_EQ(fileResult, NEW_FILE_SELECTED);
    EXPECT_EQ(filePath, path);
    EXPECT_EQ(runScript("commit PAGE_GO\nfile cancel\n"), 0);
    EXPECT_EQ(fileResult, NOTHING_SELECTED);
    EXPECT_TRUE(filePath.empty());
}

TEST_F(ScriptTest, QualifiersPickOneOfSeveralInstruments) {
    int second = load(SAMPLE);
    setValue(second, SAMPLE_CHAN, 7);
    displayPanel(second);
    int failures = runScript(R"(
        expect value SAMPLE#1.SAMPLE_CHAN "1"
        expect value SAMPLE#2.SAMPLE_CHAN "7"
        expect value SAMPLE_CHAN "7"
        commit SAMPLE#1.SAMPLE_START
        commit ASK_NO
    )");
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(calls.size(), 0u);  // runStep does not record; ASK_NO is bound to "no"
    std::string reply;
    EXPECT_EQ(executeScriptLine("expect value @" + std::to_string(second) + ".SAMPLE_CHAN 7", reply), OK);
    EXPECT_EQ(executeScriptLine("expect value SAMPLE#3.SAMPLE_CHAN 7", reply), ERR_SCRIPT);
    EXPECT_NE(reply.find("only 2"), std::string::npos) << reply;
}

TEST_F(ScriptTest, CloseBoxAndVirtualWait) {
    useVirtualClock(true);
    const double seconds = secondsToRun(R"(
        wait 2.5
        close SAMPLE
    )");
    EXPECT_DOUBLE_EQ(seconds, 2.5);
    EXPECT_EQ(callsOf(SAMPLE_EXIT).size(), 1u);
}

// A real-time wait is no action waiting for its target: it lasts its whole
// time even when that is longer than the actions' time-out.
TEST_F(ScriptTest, RealTimeWaitOutlastsTheActionTimeout) {
    useVirtualClock(false);
    const double seconds = secondsToRun(R"(
        timeout 0.1
        wait 0.3
        close SAMPLE
    )");
    EXPECT_GE(seconds, 0.3);
    EXPECT_EQ(callsOf(SAMPLE_EXIT).size(), 1u);
}

TEST_F(ScriptTest, ExtraCommandsAndTheBenchHook) {
    int count = 0;
    ASSERT_EQ(registerScriptCommand("probe", benchReply, &count), OK);
    std::string reply;
    EXPECT_EQ(executeScriptLine("probe ok", reply), OK);
    EXPECT_EQ(reply, "ok");
    EXPECT_EQ(executeScriptLine("probe bad", reply), ERR_SCRIPT);
    EXPECT_EQ(count, 2);
    // The test program has no simulated bench linked in.
    EXPECT_EQ(executeScriptLine("bench add carrier", reply), ERR_SCRIPT);
    EXPECT_NE(reply.find("sorvi_bench_command"), std::string::npos);
    EXPECT_EQ(executeScriptLine("frobnicate", reply), ERR_SCRIPT);
    EXPECT_EQ(executeScriptLine("expect value \"unclosed", reply), ERR_SCRIPT);
}

// Numbers that do not fit are refused, never wrapped around to a small one.
TEST_F(ScriptTest, OutOfRangeNumbersAreRefused) {
    std::string reply;
    for (const char* line : {"ring SAMPLE_MODE #4294967297", "ring SAMPLE_MODE #-4294967295",
                             "expect value SAMPLE#4294967297.SAMPLE_CHAN 1", "expect value @4294967297.SAMPLE_CHAN 1",
                             "cell SAMPLE_TABLE 4294967299 1 x", "expect line SAMPLE_TABLE 99999999999999999999 x",
                             "wait abc", "wait -1", "wait nan", "timeout 1e400", "timeout", "exit1"})
        EXPECT_EQ(executeScriptLine(line, reply), ERR_SCRIPT) << line;
    int v = -1;
    getValue(panel, SAMPLE_MODE, v);
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(callsOf(SAMPLE_MODE).empty());
    EXPECT_TRUE(callsOf(SAMPLE_TABLE).empty());
    EXPECT_EQ(executeScriptLine("ring SAMPLE_MODE #0x1", reply), OK);
}

// A failure whose text holds line breaks, escapes or a NUL is still one line.
TEST_F(ScriptTest, FailuresAreOneLineWithControlsEscaped) {
    int count = 0;
    ASSERT_EQ(registerScriptCommand("probe", benchReply, &count), OK);
    const std::string text = std::string("probe \"a\\nb\x1b[2J\x07") + '\0' + "z\xC2\x9B\xFFю\"\n";
    EXPECT_EQ(runScript(text, 10, "one\nline"), 1);
    const auto failures = scriptResult().failures;
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "one\\nline:1: a\\nb\\x1B[2J\\x07\\x00z\\xC2\\x9B\\xFFю");
}

class ScriptExitTest : public ScriptTest {
protected:
    static void teardown() {
        std::fprintf(stderr, "teardown ran\n");
        std::fflush(stderr);
    }
};

// exit ends through the program's teardown; a bad status is a failure and
// ends with 1.
TEST_F(ScriptExitTest, ExitRunsTheTeardownAndChecksItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string reply;
    onScriptExit(teardown);
    EXPECT_EXIT(executeScriptLine("exit 7", reply), testing::ExitedWithCode(7), "teardown ran");
    EXPECT_EXIT(executeScriptLine("exit", reply), testing::ExitedWithCode(0), "teardown ran");
    EXPECT_EXIT(executeScriptLine("exit 256", reply), testing::ExitedWithCode(1),
                "the status must be a whole number from 0 to 255, not 256(.|\n)*teardown ran");
    EXPECT_EXIT(executeScriptLine("exit abc", reply), testing::ExitedWithCode(1), "not abc");
    EXPECT_EXIT(runScript("exit -1\n", 10, "s.tks"), testing::ExitedWithCode(1), "s.tks:1: exit: the status");
    onScriptExit(nullptr);
}

TEST_F(ScriptTest, ScreenshotsAreSavedWithCyrillicText) {
    auto dir = std::filesystem::temp_directory_path() / "paneltk_shots";
    std::filesystem::remove_all(dir);
    setScreenshotDirectory(dir.string());
    int failures = runScript("screenshot главная SAMPLE\n");
    setScreenshotDirectory("");
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "главная.png"));
    EXPECT_GT(std::filesystem::file_size(dir / "главная.png"), 1000u);
}

// Whole runs of verisk, headless, driven by scripts over a bench: the
// protocol file's exact bytes and what the operator sees along the way.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <paneltk/text_cp1251.h>

#include "program_run.h"

namespace {

const char* const kResistanceHeading = "\nПроверка соответствия выходных сигналов мезонина сопротивлению ДД.\n";
const char* const kVoltageHeading = "\nПроверка соответствия выходных сигналов мезонина напряжению ДД.\n";
const char* const kDefaultTitle = "Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 1";

// The 32 channel lines of a stage: cells[k] is what channel k+1's cell held.
std::string channelLines(const std::vector<std::string>& cells, int expected) {
    std::string text;
    for (int n = 1; n <= 32; ++n) {
        const std::string& cell = cells[static_cast<std::size_t>(n - 1)];
        const char* verdict = "не измерялось";
        if (cell == std::to_string(expected)) verdict = "норма";
        else if (cell == std::to_string(1 - expected)) verdict = "не норма";
        char number[8];
        std::snprintf(number, sizeof number, "%2d", n);
        text += "канал " + std::string(number) + "    " + cell + "(" + verdict + ")\n";
    }
    return text;
}

std::vector<std::string> allCells(const std::string& cell) { return std::vector<std::string>(32, cell); }

// Text as it must reach the file: Windows-1251 with CR LF line ends.
std::string asFile(const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return tk::toCp1251(crlf);
}

std::string fullProtocol(const std::string& title, const std::vector<std::vector<std::string>>& stages) {
    return title + kResistanceHeading + "Сопротивление >= 100 кОм.\n" + channelLines(stages[0], 1) +
           "Сопротивление <= 5 Ом.\n" + channelLines(stages[1], 0) + kVoltageHeading + "Напряжение 1 В.\n" +
           channelLines(stages[2], 0) + "Напряжение 3 В.\n" + channelLines(stages[3], 1);
}

std::string readExample() {
    std::ifstream in(std::string(VERISK_SOURCE_DIR) + "/examples/full_verification.script");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line + "\n";
    return text;
}

// Runs a script on a bench in a fresh directory; returns the directory.
std::string runScript(const std::string& script, const std::string& bench, ProgramRun* result = nullptr) {
    const std::string dir = makeScratchDirectory();
    const std::string path = writeFile(dir, "run.script", script);
    const ProgramRun run = runProgram(VERISK_PROGRAM, {"--script", path}, dir, bench);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    if (result) *result = run;
    return dir;
}

const char* const kSelectFirstCarrier = "timeout 10\nselect-list LIST 0\ncommit MP_SELFTEST\ncommit ST_CLOSE\n";
const char* const kExit = "commit MP_MP_EXIT\ncommit EXIT_POPUP_EXIT_YES\n";

// Runs the steps between choosing carrier `item` of the selection list and
// the usual exit, on a bench in a fresh directory; returns the directory.
std::string runOnCarrier(int item, const std::string& steps, const std::string& bench) {
    return runScript("timeout 10\nselect-list LIST " + std::to_string(item) + "\n" + steps + kExit, bench);
}

}  // namespace

TEST(ScriptedRun, ExampleFullVerificationIsAllInNorm) {
    const std::string dir = runScript(readExample(), "");
    const std::string protocol = readBytes(dir + "/sorvi.log");
    EXPECT_EQ(protocol,
              asFile(fullProtocol(kDefaultTitle, {allCells("1"), allCells("0"), allCells("0"), allCells("1")})));
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(норма)\r\n")), 128u);
}

TEST(ScriptedRun, BrokenChannelIsOutOfNormAndAnUnsampledOneNotMeasured) {
    // Channel 7 gets the opposite of what every stage asks; channel 32 is
    // never sampled in the 1 V stage.
    std::string script = kSelectFirstCarrier;
    script += "ring TP_RING \"соответствия выходных сигналов мезонина сопротивлению ДД \"\n";
    script += "bench input all 100k\nbench input 7 5ohm\ncommit TP_INPUT\n" + repeat("commit P4_START", 32);
    script += "commit P4_INPUT\nbench input all 5ohm\nbench input 7 100k\n" + repeat("commit P4_START", 32);
    script += "commit P4_INPUT\n";
    script += "ring TP_RING \"соответствия выходных сигналов мезонина напряжению ДД \"\n";
    script += "bench input all 1V\nbench input 7 3V\ncommit TP_INPUT\n" + repeat("commit P4_START", 31);
    script += "commit P4_INPUT\nbench input all 3V\nbench input 7 1V\n" + repeat("commit P4_START", 32);
    script += "commit P4_INPUT\n";
    script += kExit;
    const std::string dir = runScript(script, "");

    auto stage = [](const char* all, const char* seventh) {
        std::vector<std::string> cells = allCells(all);
        cells[6] = seventh;
        return cells;
    };
    std::vector<std::string> oneVolt = stage("0", "1");
    oneVolt[31] = "";
    const std::string protocol = readBytes(dir + "/sorvi.log");
    EXPECT_EQ(protocol,
              asFile(fullProtocol(kDefaultTitle, {stage("1", "0"), stage("0", "1"), oneVolt, stage("1", "0")})));
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(не норма)")), 4u);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(не измерялось)")), 1u);
    EXPECT_EQ(countOf(protocol, tk::toCp1251("(норма)")), 123u);
}

TEST(ScriptedRun, CancelledSecondStageKeepsTheFirstAndReportsNotDone) {
    std::string script = kSelectFirstCarrier;
    script += "bench input all 100k\ncommit TP_INPUT\n" + repeat("commit P4_START", 32) + "commit P4_INPUT\n";
    script += "wait 1.1\ncommit P4_COMMANDBUTTON_2\n";
    script += "expect value MP_ERROR_MESSAGE \"проверка не выполнена\"\n";
    script += kExit;
    const std::string dir = runScript(script, "");
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), asFile(std::string(kDefaultTitle) + kResistanceHeading +
                                                    "Сопротивление >= 100 кОм.\n" + channelLines(allCells("1"), 1)));
}

TEST(ScriptedRun, DemoModeRunsEveryWindowWithoutMeasuring) {
    std::string script = "timeout 10\n";
    script +=
        "answer expect \"Приборная панель носителя мезонинов\" "
        "\"Инструмент не найден.\\nПанель запускается в демо-режиме.\"\n";
    script += "commit MP_SELFTEST\nexpect value ST_RESULT \"0\"\nexpect value ST_MSG \"Демо режим\"\n";
    script += "expect dimmed ST_CLOSE 0\ncommit ST_CLOSE\nexpect items MP_MEZ_NUM 0\n";
    script += "commit TP_INPUT\ncommit P4_START\ncommit P4_INPUT\ncommit P4_INPUT\n";
    script += "commit TP_SHOW_LOG\nexpect title CHLP \"\"\ncommit CHLP_COMMANDBUTTON_2\n";
    script += kExit;
    const std::string dir = runScript(script, testBench("empty_bus.yaml"));
    EXPECT_EQ(readBytes(dir + "/sorvi.log"),
              asFile(std::string(kResistanceHeading) + "Сопротивление >= 100 кОм.\n" + channelLines(allCells(""), 1) +
                     "Сопротивление <= 5 Ом.\n" + channelLines(allCells(""), 0)));
}

TEST(ScriptedRun, ProtocolFileChosenBeforeAndAfterTheProtocolOpens) {
    const std::string dir = makeScratchDirectory();
    const std::string first = dir + "/first.log";
    const std::string second = dir + "/second.log";
    std::string script = kSelectFirstCarrier;
    // Before any step: only the name changes; the file is made at the next step.
    script += "commit TP_FILE_NAME_S\nfile " + first + "\n";
    script += "expect value TP_FILE_NAME \"" + first + "\"\n";
    script += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    // With the protocol open: the new file gets the title at once.
    script += "commit TP_FILE_NAME_S\nfile " + second + "\n";
    script += "expect value TP_FILE_NAME \"" + second + "\"\n";
    script += "bench input all 100k\ncommit TP_INPUT\n" + repeat("commit P4_START", 32) + "commit P4_INPUT\n";
    script += "commit P4_COMMANDBUTTON_2\n";
    script += kExit;
    const std::string path = writeFile(dir, "run.script", script);
    const ProgramRun run = runProgram(VERISK_PROGRAM, {"--script", path}, dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(fileExists(dir + "/sorvi.log"));
    EXPECT_EQ(readBytes(first), asFile(kDefaultTitle));
    EXPECT_EQ(readBytes(second), asFile(std::string(kDefaultTitle) + kResistanceHeading +
                                        "Сопротивление >= 100 кОм.\n" + channelLines(allCells("1"), 1)));
}

TEST(ScriptedRun, UnopenableProtocolFileLeavesTheWindowOnly) {
    std::string script = kSelectFirstCarrier;
    script += "set TP_FILE_NAME \"no-such-directory/p.log\"\n";
    script += "commit TP_INPUT\n";
    script += "answer expect \"Ошибка открытия файла протокола.\" \"Сообщения будут выводиться только на экран\"\n";
    script += "bench input all 100k\n" + repeat("commit P4_START", 32) + "commit P4_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    script += "commit TP_SHOW_LOG\n";
    script += std::string("expect line CHLP_LOG 0 \"") + kDefaultTitle + "\"\n";
    script += "expect line CHLP_LOG 2 \"Проверка соответствия выходных сигналов мезонина сопротивлению ДД.\"\n";
    script += "expect line CHLP_LOG 4 \"канал  1    1(норма)\"\n";
    script += "expect lines CHLP_LOG 36\n";
    script += kExit;
    const std::string dir = runScript(script, "");
    EXPECT_FALSE(fileExists(dir + "/no-such-directory"));
    EXPECT_FALSE(fileExists(dir + "/sorvi.log"));
}

TEST(ScriptedRun, PositionsTwoAndFourAreOfferedAndEachOpensItsOwnProtocol) {
    std::string steps = "expect items MP_MEZ_NUM 2\nexpect value MP_MEZ_NUM \"2\"\n";
    steps += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    steps += "ring MP_MEZ_NUM \"4\"\nexpect value MP_MEZ_NUM \"4\"\n";
    steps += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    steps += "ring MP_MEZ_NUM \"4\"\n";  // the same position again starts another protocol
    steps += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    const std::string dir = runOnCarrier(0, steps, testBench("positions_2_4.yaml"));
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), asFile("Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 2"
                                                    "Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 4"
                                                    "Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 4"));
}

TEST(ScriptedRun, ModuleOnAnLxiBoxCanBeVerified) {
    std::string steps = "commit MP_SELFTEST\n";
    steps += "expect value ST_RESULT \"0\"\nexpect value ST_MSG \"Самоконтроль завершен успешно\"\ncommit ST_CLOSE\n";
    steps += "expect value MP_K \"0\"\nexpect value MP_S \"0\"\n";
    steps += "commit TP_INPUT\n" + repeat("commit P4_START", 32) + "commit P4_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    const std::string dir = runOnCarrier(0, steps, testBench("lxi_box.yaml"));
    EXPECT_EQ(readBytes(dir + "/sorvi.log"),
              asFile(std::string("Протокол поверки мезонина СОРВИ крейт 0,слот 0,мезонин 1") + kResistanceHeading +
                     "Сопротивление >= 100 кОм.\n" + channelLines(allCells("1"), 1)));
}

TEST(ScriptedRun, ExitAsksFirstAndCancelledSelectionMeansDemo) {
    std::string script = "timeout 10\ncommit CANCEL\n";
    script += "commit MP_SELFTEST\nexpect value ST_MSG \"Демо режим\"\ncommit ST_CLOSE\n";
    script += "commit MP_MP_EXIT\nexpect visible EXIT_POPUP 1\ncommit EXIT_POPUP_EXIT_NO\n";
    script += "expect visible EXIT_POPUP 0\nexpect visible MP 1\n";
    script += kExit;
    ProgramRun run;
    runScript(script, "", &run);
}

TEST(ScriptedRun, FailedExpectationMakesTheRunFail) {
    const std::string dir = makeScratchDirectory();
    const std::string path = writeFile(dir, "run.script",
                                       std::string("timeout 10\ncommit CANCEL\nexpect value MP_K \"77\"\n") + kExit);
    const ProgramRun run = runProgram(VERISK_PROGRAM, {"--script", path}, dir, "");
    EXPECT_NE(run.exitCode, 0) << run.output;
}

// A script's exit ends through the program's teardown: the module and the
// carrier are closed (the leak checker of the sanitizer build sees the
// difference) and the status is the script's.
TEST(ScriptedRun, ScriptExitClosesTheModuleAndEndsWithItsStatus) {
    const std::string dir = makeScratchDirectory();
    const std::string path = writeFile(dir, "run.script", std::string(kSelectFirstCarrier) + "exit 3\n");
    ProgramRun run = runProgram(VERISK_PROGRAM, {"--script", path}, dir, "");
    EXPECT_EQ(run.exitCode, 3) << run.output;
    writeFile(dir, "bad.script", std::string(kSelectFirstCarrier) + "exit 256\n");
    run = runProgram(VERISK_PROGRAM, {"--script", dir + "/bad.script"}, dir, "");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("bad.script:5: exit: the status must be a whole number from 0 to 255, not 256"),
              std::string::npos)
        << run.output;
}

TEST(ScriptedRun, BenchOptionNeedsAFile) {
    const std::string dir = makeScratchDirectory();
    const ProgramRun run = runProgram(VERISK_PROGRAM, {"--bench"}, dir, "");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("--bench"), std::string::npos) << run.output;
}

TEST(ScriptedRun, ScreenshotScriptSavesEveryWindowAsPng) {
    const std::string dir = makeScratchDirectory();
    const std::string shots = dir + "/shots";
    const ProgramRun run = runProgram(
        VERISK_PROGRAM,
        {"--script", std::string(VERISK_SOURCE_DIR) + "/examples/screenshots.script", "--screenshots", shots}, dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* name : {"verisk_selection", "verisk_selftest", "verisk_main", "verisk_p4", "verisk_protocol"}) {
        const std::string png = readBytes(shots + "/" + name + ".png");
        EXPECT_EQ(png.substr(0, 4), "\x89PNG") << name;
    }
}

// The program raises these boxes without a title, and they show none.
TEST(ScriptedRun, CarrierThatDoesNotOpenIsReportedAndTheProgramRunsOn) {
    std::string steps =
        "answer expect \"\" \"          Ошибка инициализации.\\nУстройство занято либо не сконфигурировано\\n"
        "          Менеджером Ресурсов.\"\n";
    steps += "expect items MP_MEZ_NUM 0\n";
    runOnCarrier(0, steps, testBench("failures.yaml"));
}

TEST(ScriptedRun, CarrierWithoutSorviModulesOffersNoPosition) {
    std::string steps = "answer expect \"\" \"нет наших мезонинов на базе\"\n";
    steps += "expect items MP_MEZ_NUM 0\n";
    runOnCarrier(1, steps, testBench("failures.yaml"));
}

TEST(ScriptedRun, ModuleThatFailsIdentificationLeavesADriverMessageInRed) {
    std::string steps = "answer expect \"\" \"Ошибка инициализации\"\n";
    steps += "expect items MP_MEZ_NUM 1\n";
    steps += "expect color MP_ERROR_MESSAGE 0xFF0000\n";
    steps += "commit MP_SELFTEST\nexpect value ST_MSG \"Демо режим\"\ncommit ST_CLOSE\n";
    runOnCarrier(2, steps, testBench("failures.yaml"));
}

TEST(ScriptedRun, FailedSelfTestShowsTheDriverMessage) {
    std::string steps = "bench at VXI0::24::INSTR 1 stuck 1 low\n";
    steps += "commit MP_SELFTEST\nexpect value ST_RESULT \"3\"\n";
    steps += "expect value ST_MSG \"Не проходит сигнал логической 1. Прочитано 0xfffffffe\"\n";
    steps += "expect dimmed ST_CLOSE 0\ncommit ST_CLOSE\nexpect visible ST 0\n";
    runOnCarrier(0, steps, "");
}

// The module taken off the bus after it was opened: the self-test fails and
// the step's preparation shows the carrier's failure in red; put back, the
// module passes again and the program ends as usual.
TEST(ScriptedRun, ModuleTakenAwayIsReportedAndWorksOnceBack) {
    for (const char* what : {"VXI0::24::INSTR 1", "VXI0::24::INSTR"}) {
        SCOPED_TRACE(what);
        std::string script = kSelectFirstCarrier;
        script += std::string("bench remove ") + what + "\n";
        script += "commit MP_SELFTEST\nexpect value ST_RESULT \"100\"\n";
        script += "expect value ST_MSG \"Ошибка самоконтроля\"\ncommit ST_CLOSE\n";
        script += "ring TP_RING \"соответствия выходных сигналов мезонина сопротивлению ДД \"\n";
        script += "commit TP_INPUT\nexpect color MP_ERROR_MESSAGE 0xFF0000\n";
        script += "expect value MP_ERROR_MESSAGE \"Could not perform operation because of I/O error.\"\n";
        script += std::string("bench restore ") + what + "\n";
        script += "commit MP_SELFTEST\nexpect value ST_RESULT \"0\"\ncommit ST_CLOSE\n";
        script += kExit;
        runScript(script, "");
    }
}

// A stage confirmed just before the inputs could not be switched off ends its
// step in failure; that confirmation does not carry over, so cancelling the
// first stage of the next step writes nothing.
TEST(ScriptedRun, ConfirmationOfAFailedStepIsNotTakenForTheNextStage) {
    std::string script = kSelectFirstCarrier;
    script += "bench input all 100k\ncommit TP_INPUT\n" + repeat("commit P4_START", 32);
    script += "bench remove VXI0::24::INSTR 1\ncommit P4_INPUT\n";
    script += "expect color MP_ERROR_MESSAGE 0xFF0000\n";
    script += "bench restore VXI0::24::INSTR 1\nwait 1.1\n";
    script += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\nexpect visible P4 0\n";
    script += "wait 1.1\nexpect value MP_ERROR_MESSAGE \"проверка не выполнена\"\n";
    script += "exit\n";  // also from inside a pop-up left up by a confirmation taken wrongly
    const std::string dir = runScript(script, "");
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), asFile(kDefaultTitle));
}

// Opening position 4 fails after position 2 was verified: a step run now is
// recorded under position 4, the one shown, not under position 2.
TEST(ScriptedRun, ProtocolAfterAFailedOpeningNamesThePositionShown) {
    std::string steps = "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    steps += "bench at VXI0::24::INSTR 4 id 5\nring MP_MEZ_NUM \"4\"\n";
    steps += "answer expect \"\" \"Ошибка инициализации\"\nexpect value MP_MEZ_NUM \"4\"\n";
    steps += "commit TP_INPUT\ncommit P4_COMMANDBUTTON_2\n";
    const std::string dir = runOnCarrier(0, steps, testBench("positions_2_4.yaml"));
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), asFile("Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 2"
                                                    "Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 4"));
}

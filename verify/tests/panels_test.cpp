// The program's panels loaded in this process: the pruned step list, the
// status line's hold, the protocol window and file, and the selection list.
#include <gtest/gtest.h>

#include <paneltk/paneltk.h>

#include "bench_test_interface.h"
#include "tarvo_32.h"
#include "visa.h"
#include "chklog.h"
#include "lumex.h"
#include "program_run.h"
#include "si.h"
#include "t_sorvi.h"
#include "verisk_panels_fixture.h"
#include "verisk_uir.h"

namespace {

std::string controlText(int panel, int control) {
    std::string text;
    tk::getValue(panel, control, text);
    return text;
}

int bgColor(int panel, int control) {
    int color = -1;
    tk::getAttribute(panel, control, tk::ATTR_TEXT_BGCOLOR, color);
    return color;
}

}  // namespace

TEST_F(VeriskPanels, StepListOffersResistanceAndVoltageWithResistanceChosen) {
    int count = 0;
    ASSERT_EQ(tk::itemCount(hTP, TP_RING, count), tk::OK);
    ASSERT_EQ(count, 2);
    std::string label;
    double value = 0;
    tk::itemLabel(hTP, TP_RING, 0, label);
    tk::itemValue(hTP, TP_RING, 0, value);
    EXPECT_EQ(label, "соответствия выходных сигналов мезонина сопротивлению ДД ");
    EXPECT_EQ(value, 4);
    tk::itemLabel(hTP, TP_RING, 1, label);
    tk::itemValue(hTP, TP_RING, 1, value);
    EXPECT_EQ(label, "соответствия выходных сигналов мезонина напряжению ДД ");
    EXPECT_EQ(value, 5);
    EXPECT_EQ(checkType, 4);
    int visible = 1;
    tk::getAttribute(hTP, TP_INPUT8_1, tk::ATTR_VISIBLE, visible);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(controlText(hTP, TP_FILE_NAME), "sorvi.log");
}

TEST_F(VeriskPanels, EveryCallbackNameOfTheResourceIsBound) {
    const int protocol = tk::loadPanel(0, kVeriskResource, CHLP);
    ASSERT_GT(protocol, 0);
    tk::discardPanel(protocol);
    EXPECT_EQ(tk::unboundCallbacks(), std::vector<std::string>{});
}

TEST_F(VeriskPanels, FixedTextsKeepTheirSpaces) {
    std::string label;
    tk::getAttribute(hMP, MP_MP_EXIT, tk::ATTR_LABEL_TEXT, label);
    EXPECT_EQ(label, " Выход ");
    EXPECT_EQ(controlText(hEXIT, EXIT_POPUP_TEXTMSG), "Завершить работу с мезонином СОРВИ ?");
    EXPECT_EQ(controlText(hP4, P4_MSG_2), "Подключите сопротивление     5 Ом");
    EXPECT_EQ(controlText(hP4, P4_MSG_1), "Подключите сопротивление  100  кОм");
    int rows = 0;
    tk::getAttribute(hP4, P4_TABLE, tk::ATTR_NUM_ROWS, rows);
    EXPECT_EQ(rows, 32);
    tk::setValue(hP4, P4_CHAN, 40);
    unsigned short channel = 0;
    tk::getValue(hP4, P4_CHAN, channel);
    EXPECT_EQ(channel, 32);
    tk::setValue(hP4, P4_CHAN, 0);
    tk::getValue(hP4, P4_CHAN, channel);
    EXPECT_EQ(channel, 1);
}

TEST_F(VeriskPanels, DriverMessageHoldsTheStatusLineUntilTheNextWholeSecond) {
    tk::advanceClock(10.3 - tk::timer());  // the clock now reads 10.3 s
    EXPECT_EQ(checkErr(LUMEX_ERROR_RG_COM1), LUMEX_ERROR_RG_COM1);
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "Ошибка записи в RG_COM1");
    EXPECT_EQ(bgColor(hMP, MP_ERROR_MESSAGE), static_cast<int>(kRed));

    // Within the hold neither a routine text nor a clean status replaces it.
    tk::advanceClock(0.5);
    EXPECT_FALSE(writeStatusLine("проверка выполнена"));
    EXPECT_EQ(checkErr(VI_SUCCESS), VI_SUCCESS);
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "Ошибка записи в RG_COM1");

    // Past the next whole second the routine text gets through on white.
    tk::advanceClock(0.3);  // 11.1 s
    EXPECT_TRUE(writeStatusLine("проверка выполнена"));
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "проверка выполнена");
    EXPECT_EQ(bgColor(hMP, MP_ERROR_MESSAGE), static_cast<int>(kWhite));

    // A warning shows on yellow; a clean status after the hold clears the line.
    tk::advanceClock(1.5);
    EXPECT_EQ(checkErr(LUMEX_WARN_RELAYS_OFF), LUMEX_WARN_RELAYS_OFF);
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "Предупреждение : не включены входные реле");
    EXPECT_EQ(bgColor(hMP, MP_ERROR_MESSAGE), static_cast<int>(kYellow));
    tk::advanceClock(1.5);
    checkErr(VI_SUCCESS);
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "");
    EXPECT_EQ(bgColor(hMP, MP_ERROR_MESSAGE), static_cast<int>(kYellow));
}

TEST_F(VeriskPanels, ProtocolFileGetsTitleOnceAndEveryLineFeedAsCrLf) {
    const std::string dir = makeScratchDirectory();
    const std::string path = dir + "/protocol.log";
    writeFile(dir, "protocol.log", "old\r\n");
    ASSERT_EQ(SetupChlp(kVeriskResource, 3, "Протокол поверки", path), 0);
    WriteLOG(3, "\nканал %2d    %s(%s)\n", 7, "1", "норма");
    WriteLOG(3, "без конца строки");
    WriteLOG(3, "%s", "!\n");
    EXPECT_EQ(readBytes(path),
              tk::toCp1251("old\r\nПротокол поверки\r\nканал  7    1(норма)\r\nбез конца строки!\r\n"));

    // The window shows the same messages, one line each, without the final line feeds.
    std::string title;
    tk::getPanelAttribute(protocolPanel(3), tk::ATTR_TITLE, title);
    EXPECT_EQ(title, "Протокол поверки");
    EXPECT_EQ(windowLineCount(3), 5);
    EXPECT_EQ(windowLine(3, 2), "канал  7    1(норма)");
    EXPECT_EQ(windowLine(3, 4), "!");

    DiscardChlp(3);
    EXPECT_EQ(protocolFile(3), 0);
    EXPECT_EQ(protocolPanel(3), 0);
    DiscardChlp(3);  // a closed protocol is not closed again
    WriteLOG(3, "after close\n");
    EXPECT_EQ(readBytes(path).find(tk::toCp1251("after close")), std::string::npos);
}

// Each carrier call of the program fails once: the operator is told (a
// pop-up or the status line), and the next attempt opens the carrier and
// the module normally.
TEST_F(VeriskPanels, CarrierCallFailuresAreShownAndTheNextTryWorks) {
    ASSERT_GT(FindVISAinstruments(), 0);
    CurrentInstr = &Instruments[0];
    tk::resetScript();
    const auto lastPopup = [] {
        const auto seen = tk::messagePopupsSeen();
        return seen.empty() ? std::string() : seen.back().text;
    };
    const auto closeAll = [] {
        if (moduleSession != 0) lumex_close(moduleSession);
        if (carrierSession != 0) tarvo_close(carrierSession);
        moduleSession = carrierSession = 0;
    };

    bench::testing::failNext("tarvo_init", VI_ERROR_RSRC_BUSY);
    tk::startScript("answer\n", "init");
    SelMez();
    EXPECT_EQ(carrierSession, 0);
    EXPECT_NE(lastPopup().find("Ошибка инициализации."), std::string::npos) << lastPopup();

    // A module type that cannot be read is passed over without a word (the
    // carrier is open; the positions that answered are offered), and no
    // stale module is offered.
    mezonin = {9, 9, 9, 9};
    tk::setValue(hMP, MP_ERROR_MESSAGE, "");
    bench::testing::failNext("tarvo_m_type_q", VI_ERROR_IO);
    tk::startScript("answer\n", "type");
    SelMez();
    EXPECT_NE(carrierSession, 0);
    EXPECT_EQ(mezonin, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(controlText(hMP, MP_ERROR_MESSAGE), "") << "the query's status reached the status line";
    closeAll();
    tk::advanceClock(10);

    bench::testing::failNext("tarvo_mem_q", VI_ERROR_IO);
    SelMez();
    EXPECT_NE(carrierSession, 0);
    EXPECT_EQ(bgColor(hMP, MP_ERROR_MESSAGE), static_cast<int>(kRed));
    tk::advanceClock(10);

    // The next try: the module is opened again and gets its memory.
    selMezonin(hMP, MP_MEZ_NUM, tk::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_NE(moduleSession, 0);
    ViInt32 samples = 0;
    EXPECT_EQ(lumex_alloc_q(moduleSession, &samples), VI_SUCCESS);
    EXPECT_GT(samples, 0);
    EXPECT_TRUE(tk::scriptResult().failures.empty());
    closeAll();
    CurrentInstr = nullptr;
    tk::resetScript();
}

TEST_F(VeriskPanels, LongMessagesAreCutTo1023Characters) {
    const std::string dir = makeScratchDirectory();
    const std::string path = dir + "/long.log";
    ASSERT_EQ(SetupChlp(kVeriskResource, 4, "", path), 0);
    std::string longText;
    for (int i = 0; i < 3000; ++i) longText += "ж";
    WriteLOG(4, "%s", longText.c_str());
    EXPECT_EQ(readBytes(path).size(), 1023u);
    DiscardChlp(4);
    ASSERT_EQ(SetupChlp(kVeriskResource, 16, "", path), -1);  // no such window
}

TEST_F(VeriskPanels, ProtocolWindowLogFillsTheResizedWindow) {
    const std::string dir = makeScratchDirectory();
    ASSERT_EQ(SetupChlp(kVeriskResource, 5, "t", dir + "/r.log"), 0);
    const int panel = protocolPanel(5);
    int top = 0, left = 0;
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_TOP, top);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_LEFT, left);
    tk::setPanelAttribute(panel, tk::ATTR_HEIGHT, 600);
    tk::setPanelAttribute(panel, tk::ATTR_WIDTH, 800);
    chlpCB(panel, tk::EVENT_PANEL_SIZE, nullptr, 0, 0);
    int height = 0, width = 0, newTop = -1, newLeft = -1;
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_HEIGHT, height);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_WIDTH, width);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_TOP, newTop);
    tk::getAttribute(panel, CHLP_LOG, tk::ATTR_LEFT, newLeft);
    EXPECT_EQ(newTop, top);
    EXPECT_EQ(newLeft, left);
    EXPECT_EQ(height, 600 - top);
    EXPECT_EQ(width, 800 - left);
    DiscardChlp(5);
}

TEST_F(VeriskPanels, SelectionListShowsEveryFoundRecordOnOneLine) {
    for (auto& r : Instruments) r = InstrInfo{};
    Instruments[0].label = "Н.М.  Л.А.крейта:0x00, слот:3\n(VXI0::24::INSTR)";
    Instruments[2].label = "Kubolt, USB (№:0457)";  // a gap in the table is skipped
    ASSERT_EQ(prepareSelectionDialog("Выбор инструмента"), 2);
    const int dialog = selectionDialogPanel();
    std::string title;
    tk::getPanelAttribute(dialog, tk::ATTR_TITLE, title);
    EXPECT_EQ(title, "Выбор инструмента");
    std::string constant;
    tk::getPanelAttribute(dialog, tk::ATTR_CONSTANT_NAME, constant);
    EXPECT_EQ(constant, "SI");
    int list = 0;
    for (int id = 1; id < 10 && list == 0; ++id) {
        std::string name;
        if (tk::getAttribute(dialog, id, tk::ATTR_CONSTANT_NAME, name) == tk::OK && name == "LIST") list = id;
    }
    ASSERT_NE(list, 0);
    std::string label;
    tk::itemLabel(dialog, list, 0, label);
    EXPECT_EQ(label, "Н.М.  Л.А.крейта:0x00, слот:3  (VXI0::24::INSTR)");
    tk::setIndex(dialog, list, 1);
    ASSERT_EQ(SetCurInstr(), 0);
    EXPECT_EQ(CurrentInstr, &Instruments[2]);

    for (auto& r : Instruments) r = InstrInfo{};
    EXPECT_EQ(prepareSelectionDialog("Выбор инструмента"), 0);
    EXPECT_EQ(SetCurInstr(), -1);  // an empty list chooses nothing
    CurrentInstr = nullptr;
}

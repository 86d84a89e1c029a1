// The program's windows under real mouse and key events, in this process: the
// instrument selection list, the display-only channel table of a stage (the
// protocol records what the program read, never what the operator typed),
// the protocol file chosen again, and the texts that stand on screen while
// the module blocks in the driver.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include <paneltk/paneltk.h>

#include "bench_test_interface.h"
#include "chklog.h"
#include "lumex.h"
#include "operator_widgets.h"
#include "program_run.h"
#include "si.h"
#include "t_sorvi.h"
#include "tarvo_32.h"
#include "verisk_panels_fixture.h"
#include "verisk_uir.h"

using operator_widgets::PaintRecorder;
using operator_widgets::shownWindow;

namespace {

template <typename W = QWidget>
W* widgetOf(const char* window, const char* constant) {
    QWidget* w = shownWindow(window);
    return w ? w->findChild<W*>(constant) : nullptr;
}

void clickButton(const char* window, const char* constant) {
    auto* button = widgetOf<QPushButton>(window, constant);
    ASSERT_NE(button, nullptr) << constant;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs from the working directory of the test for the scope's life.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(before_); }

private:
    std::filesystem::path before_;
};

std::string displayedText(int panel, int control) {
    std::string text;
    tk::getDisplayText(panel, control, text);
    return text;
}

// Opens the first carrier of the default bench and its first SORVI position.
bool openFirstModule() {
    if (FindVISAinstruments() < 1) return false;
    CurrentInstr = &Instruments[0];
    tk::advanceClock(10);
    SelMez();
    return moduleSession != 0;
}

void closeModuleAndCarrier() {
    if (moduleSession != 0) lumex_close(moduleSession);
    if (carrierSession != 0) tarvo_close(carrierSession);
    moduleSession = carrierSession = 0;
    CurrentInstr = nullptr;
    closeProtocol();
}

}  // namespace

TEST_F(VeriskPanels, OneClickOnACarrierOnlyHighlightsItEnterOrADoubleClickChoosesIt) {
    for (auto& r : Instruments) r = InstrInfo{};
    Instruments[0].label = "Н.М.  Л.А.крейта:0x00, слот:3\n(VXI0::24::INSTR)";
    Instruments[1].label = "Kubolt, USB (№:0457)";
    ASSERT_EQ(prepareSelectionDialog("Выбор инструмента"), 2);
    const int dialog = selectionDialogPanel();
    const auto visible = [&] {
        int shown = 0;
        tk::getPanelAttribute(dialog, tk::ATTR_VISIBLE, shown);
        return shown != 0;
    };
    CurrentInstr = nullptr;
    tk::displayPanel(dialog);
    tk::processEvents();
    auto* list = widgetOf<QListWidget>("SI", "LIST");
    ASSERT_NE(list, nullptr);
    const auto at = [&](int row) { return list->visualItemRect(list->item(row)).center(); };

    // A misclick is harmless: the carrier is highlighted, nothing is opened.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(1));
    EXPECT_TRUE(visible());
    EXPECT_EQ(CurrentInstr, nullptr);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(visible());
    EXPECT_EQ(CurrentInstr, &Instruments[1]);

    tk::displayPanel(dialog);
    tk::processEvents();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(0));
    EXPECT_FALSE(visible());
    EXPECT_EQ(CurrentInstr, &Instruments[0]);

    // The dialog sits in the middle of the screen it is on.
    tk::displayPanel(dialog);
    tk::processEvents();
    QWidget* window = shownWindow("SI");
    ASSERT_NE(window, nullptr);
    const QPoint offset = window->frameGeometry().center() - window->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    tk::hidePanel(dialog);
    CurrentInstr = nullptr;
    for (auto& r : Instruments) r = InstrInfo{};
}

// The operator types into the channel table, the prompt and the other
// display-only fields, then confirms both stages: the fields keep what the
// program wrote and the protocol says every channel was not measured
// (no module is open here, so nothing was).
TEST_F(VeriskPanels, TypingIntoDisplayOnlyFieldsChangesNeitherThemNorTheProtocol) {
    const std::string dir = makeScratchDirectory();
    closeProtocol();
    tk::setValue(hTP, TP_FILE_NAME, dir + "/typed.log");
    protocolTitle.clear();
    const std::string statusBefore = displayedText(hMP, MP_ERROR_MESSAGE);
    for (const char* field : {"MP_K", "MP_S", "MP_SAMPLE_P", "MP_ERROR_MESSAGE"}) {
        auto* edit = widgetOf<QLineEdit>("MP", field);
        ASSERT_NE(edit, nullptr) << field;
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(edit, "17");
        QTest::keyClick(edit, Qt::Key_Return);
    }
    EXPECT_EQ(displayedText(hMP, MP_K), "1");
    EXPECT_EQ(displayedText(hMP, MP_S), "1");
    EXPECT_EQ(displayedText(hMP, MP_SAMPLE_P), "1E-3");
    EXPECT_EQ(displayedText(hMP, MP_ERROR_MESSAGE), statusBefore);

    int stages = 0;
    int tries = 0;
    std::function<void()> typeAndConfirm = [&] {
        auto* table = widgetOf<QTableWidget>("P4", "P4_TABLE");
        auto* prompt = widgetOf<QPlainTextEdit>("P4", "P4_TEXTBOX_2");
        if (!table || !prompt) {  // the pop-up is not up yet
            if (++tries < 500) QTimer::singleShot(10, typeAndConfirm);
            return;
        }
        for (int row : {0, 6, 31}) {
            const QPoint cell = table->visualItemRect(table->item(row, 0)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
            QTest::keyClicks(table, "1");
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
            QTest::keyClicks(table, "0");
            QTest::keyClick(table, Qt::Key_Return);
        }
        QTest::mouseClick(prompt->viewport(), Qt::LeftButton);
        QTest::keyClicks(prompt, "5");
        ++stages;
        if (stages < 2) QTimer::singleShot(0, typeAndConfirm);
        clickButton("P4", "P4_INPUT");
    };
    QTimer::singleShot(0, typeAndConfirm);
    clickButton("MP", "TP_INPUT");
    EXPECT_EQ(stages, 2);

    std::string cell = "?";
    tk::getCell(hP4, P4_TABLE, 7, 1, cell);
    EXPECT_EQ(cell, "");
    EXPECT_EQ(displayedText(hP4, P4_TEXTBOX_2), " ко входам канала");
    const std::string protocol = tk::fromCp1251(readBytes(dir + "/typed.log"));
    EXPECT_NE(protocol.find("канал  7    (не измерялось)\r\n"), std::string::npos) << protocol;
    EXPECT_EQ(protocol.find("норма"), std::string::npos) << protocol;
    closeProtocol();
    tk::resetControl(hTP, TP_FILE_NAME);
}

// The dialog answers an absolute path, the protocol was opened under the
// relative default name: one file all the same, so the window and the file
// stay as they are, and an existing file is chosen without a question.
TEST_F(VeriskPanels, ChoosingTheOpenProtocolFileAgainChangesNothingButTheName) {
    const std::string dir = makeScratchDirectory();
    InDirectory here(dir);
    closeProtocol();
    protocolTitle = "Протокол поверки мезонина СОРВИ крейт 0,слот 3,мезонин 1";
    tk::setValue(hTP, TP_FILE_NAME, "sorvi.log");
    openProtocolForStep();
    const int window = protocolPanel(kProtocolWindow);
    ASSERT_GT(window, 0);

    auto answer = operator_widgets::answerNextFileDialog("sorvi.log");
    clickButton("MP", "TP_FILE_NAME_S");
    EXPECT_TRUE(answer->typed);
    EXPECT_FALSE(answer->asked) << "asked whether to replace the protocol";
    std::string name;
    tk::getValue(hTP, TP_FILE_NAME, name);
    EXPECT_EQ(name, dir + "/sorvi.log");
    EXPECT_EQ(protocolPanel(kProtocolWindow), window);
    EXPECT_EQ(windowLineCount(kProtocolWindow), 1);
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), tk::toCp1251(protocolTitle));

    // Another existing file: the protocol moves there, appended after what it holds.
    writeFile(dir, "other.log", "old\r\n");
    answer = operator_widgets::answerNextFileDialog("other.log");
    clickButton("MP", "TP_FILE_NAME_S");
    EXPECT_FALSE(answer->asked);
    EXPECT_EQ(readBytes(dir + "/other.log"), tk::toCp1251("old\r\n" + protocolTitle));
    EXPECT_EQ(readBytes(dir + "/sorvi.log"), tk::toCp1251(protocolTitle));
    closeProtocol();
    tk::resetControl(hTP, TP_FILE_NAME);
}

// "Идет инициализация" and "Идёт самоконтроль. Ждите ..." with "Закрыть"
// dimmed are painted while the driver blocks, not only after it returns.
TEST_F(VeriskPanels, WaitTextsArePaintedBeforeTheDriverBlocks) {
    auto* status = widgetOf<QLineEdit>("MP", "MP_ERROR_MESSAGE");
    ASSERT_NE(status, nullptr);
    PaintRecorder statusPaints(status);
    ASSERT_TRUE(openFirstModule());
    EXPECT_TRUE(statusPaints.painted(QString::fromUtf8("Идет инициализация")));

    tk::displayPanel(hST);  // made once, so its widgets can be watched
    tk::processEvents();
    auto* message = widgetOf<QLineEdit>("ST", "ST_MSG");
    auto* close = widgetOf<QPushButton>("ST", "ST_CLOSE");
    ASSERT_NE(message, nullptr);
    ASSERT_NE(close, nullptr);
    // As the last self-test left it: its result shown, "Закрыть" usable.
    tk::setValue(hST, ST_MSG, "прошлый результат");
    tk::setAttribute(hST, ST_CLOSE, tk::ATTR_DIMMED, 0);
    tk::processEvents();
    PaintRecorder messagePaints(message);
    PaintRecorder closePaints(close);
    // Without the poll acknowledgement the test waits a second for it.
    ASSERT_TRUE(bench::testing::setNoPollAck("VXI0::24::INSTR", 1, true));
    Selftest(hMP, MP_SELFTEST, tk::EVENT_COMMIT, nullptr, 0, 0);
    bench::testing::setNoPollAck("VXI0::24::INSTR", 1, false);
    EXPECT_TRUE(messagePaints.painted(QString::fromUtf8("Идёт самоконтроль. Ждите ...")));
    ASSERT_FALSE(closePaints.paints.empty());
    EXPECT_FALSE(closePaints.paints.front().enabled);
    EXPECT_NE(displayedText(hST, ST_MSG), "Идёт самоконтроль. Ждите ...");
    tk::hidePanel(hST);
    closeModuleAndCarrier();
    tk::resetControl(hTP, TP_FILE_NAME);
}

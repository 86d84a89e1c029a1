// Drawing pending changes from inside a callback (painted at once, no other
// callback run meanwhile), and the standard dialogs as the operator meets
// them: the title of a message box, selecting an existing file, a dialog
// centred on its screen.
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>

#include "operator_widgets.h"
#include "toolkit_fixture.h"

using namespace tk;

namespace {

using operator_widgets::PaintRecorder;
using operator_widgets::shownWindow;

int deferredRuns = 0;
void countDeferred(void*) { ++deferredRuns; }

}  // namespace

class DrawingTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        panel = load(SAMPLE);
        displayPanel(panel);
        processEvents();
        window = shownWindow("SAMPLE");
        ASSERT_NE(window, nullptr);
        calls.clear();
        panelCalls.clear();
    }
    int panel = 0;
    QWidget* window = nullptr;
};

// As a callback does before a blocking call: the text is on screen before
// drawPendingChanges returns, not when the event loop next runs.
TEST_F(DrawingTest, ChangedTextIsPaintedBeforeTheCallReturns) {
    auto* status = window->findChild<QLineEdit*>("SAMPLE_STATUS");
    ASSERT_NE(status, nullptr);
    PaintRecorder painted(status);
    setValue(panel, SAMPLE_STATUS, "Идёт самоконтроль. Ждите ...");
    EXPECT_EQ(drawPendingChanges(), OK);
    EXPECT_TRUE(painted.painted(QString::fromUtf8("Идёт самоконтроль. Ждите ...")));

    // A window displayed just now is drawn too.
    const int ask = load(ASK);
    displayPanel(ask);
    EXPECT_EQ(drawPendingChanges(), OK);
    QWidget* askWindow = shownWindow("ASK");
    ASSERT_NE(askWindow, nullptr);
    ASSERT_NE(askWindow->windowHandle(), nullptr);
    EXPECT_TRUE(askWindow->windowHandle()->isExposed());
}

// Nothing runs in between: a deferred call, the close box pressed meanwhile
// and its close control wait for the next event processing, in order.
TEST_F(DrawingTest, NoCallbackRunsWhileDrawing) {
    deferredRuns = 0;
    postDeferredCall(countDeferred, nullptr);
    QCoreApplication::postEvent(window, new QCloseEvent);
    EXPECT_EQ(drawPendingChanges(), OK);
    EXPECT_EQ(deferredRuns, 0);
    EXPECT_TRUE(panelCalls.empty());
    EXPECT_TRUE(callsOf(SAMPLE_EXIT).empty());

    processEvents();
    EXPECT_EQ(deferredRuns, 1);
    ASSERT_EQ(panelCalls.size(), 1u);
    EXPECT_EQ(panelCalls[0].event, EVENT_CLOSE);
    EXPECT_EQ(callsOf(SAMPLE_EXIT).size(), 1u);
}

TEST_F(DrawingTest, MessageBoxBearsExactlyTheTitleItIsGiven) {
    for (const char* title : {"", "Ошибка"}) {
        SCOPED_TRACE(title);
        QString shownTitle = "(none)";
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(shownWindow("message"));
            if (!box) return;
            shownTitle = box->windowTitle();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        EXPECT_EQ(messagePopup(title, "Инструмент не найден."), OK);
        EXPECT_EQ(shownTitle, QString::fromUtf8(title));
        EXPECT_EQ(messagePopupsSeen().back().title, title);
    }
}

// A file that is appended to is selected, not saved: choosing one that
// exists asks nothing and gives that file.
TEST_F(DrawingTest, SelectingAnExistingFileAsksNoQuestion) {
    const auto path = std::filesystem::temp_directory_path() / "paneltk_existing.log";
    std::ofstream(path) << "протокол\r\n";
    FileSelectOptions options;
    options.title = "Файл протокола";
    options.directory = path.parent_path().string();
    options.filter = "*.log";
    const auto answer = operator_widgets::answerNextFileDialog(QString::fromStdString(path.filename().string()));
    std::string chosen;
    EXPECT_EQ(fileSelectPopup(options, chosen), FILE_SELECTED);
    EXPECT_EQ(chosen, path.string());
    EXPECT_TRUE(answer->typed);
    EXPECT_FALSE(answer->asked);
    std::filesystem::remove(path);
}

TEST_F(DrawingTest, PanelBuiltToBeCentredSitsInTheMiddleOfItsScreen) {
    const int dialog = newPanel(0, "Выбор инструмента", AUTO_CENTER, AUTO_CENTER, 335, 517, "CENTRED");
    ASSERT_GT(dialog, 0);
    loaded.push_back(dialog);
    displayPanel(dialog);
    processEvents();
    QWidget* w = shownWindow("CENTRED");
    ASSERT_NE(w, nullptr);
    const QPoint middle = w->screen()->availableGeometry().center();
    const QPoint centre = w->frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - middle.x()), 2) << centre.x() << " " << middle.x();
    EXPECT_LE(std::abs(centre.y() - middle.y()), 2) << centre.y() << " " << middle.y();
}

// What the operator does on the real widgets reaches the callbacks with the
// right events and values: typing into numerics, toggling a switch, choosing
// a ring item, editing a table cell, using a list box, dragging a scroll bar.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "toolkit_fixture.h"

using namespace tk;

class WidgetEventsTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        panel = load(SAMPLE);
        ASSERT_GT(panel, 0);
        setPanelAttribute(panel, ATTR_TITLE, "операторские действия");
        displayPanel(panel);
        processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == QString::fromUtf8("операторские действия")) window = w;
        ASSERT_NE(window, nullptr);
    }
    template <typename W>
    W* widget(const char* constant) {
        return window->findChild<W*>(constant);
    }
    int panel = 0;
    QWidget* window = nullptr;
};

TEST_F(WidgetEventsTest, TypingIntoANumericCommitsTheParsedValue) {
    auto* e = widget<QLineEdit>("SAMPLE_PERIOD");
    ASSERT_NE(e, nullptr);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, "0,25");
    QTest::keyClick(e, Qt::Key_Return);
    ASSERT_EQ(callsOf(SAMPLE_PERIOD).size(), 1u);
    ASSERT_EQ(callsOf(SAMPLE_PERIOD, EVENT_VAL_CHANGED).size(), 1u);
    double v = 0;
    getValue(panel, SAMPLE_PERIOD, v);
    EXPECT_DOUBLE_EQ(v, 0.25);
    EXPECT_EQ(e->text(), "0.2500");
    // Text that is no number leaves the old value and raises nothing.
    e->selectAll();
    QTest::keyClicks(e, "abc");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(callsOf(SAMPLE_PERIOD).size(), 1u);
    EXPECT_EQ(e->text(), "0.2500");
}

TEST_F(WidgetEventsTest, SwitchRingAndButtons) {
    auto* sw = widget<QPushButton>("SAMPLE_RELAY");
    ASSERT_NE(sw, nullptr);
    sw->click();
    int v = 0;
    getValue(panel, SAMPLE_RELAY, v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(sw->text(), QString::fromUtf8("вкл."));
    EXPECT_EQ(callsOf(SAMPLE_RELAY).size(), 1u);

    auto* ring = widget<QComboBox>("SAMPLE_MODE");
    ASSERT_NE(ring, nullptr);
    ring->setCurrentIndex(2);
    EXPECT_TRUE(callsOf(SAMPLE_MODE).empty());  // the program's own change
    Q_EMIT ring->activated(2);                  // the operator's choice
    EXPECT_EQ(callsOf(SAMPLE_MODE).size(), 1u);

    widget<QPushButton>("SAMPLE_STOP")->click();  // dimmed: no event
    EXPECT_TRUE(callsOf(SAMPLE_STOP).empty());
    widget<QPushButton>("SAMPLE_START")->click();
    EXPECT_EQ(callsOf(SAMPLE_START).size(), 1u);
}

TEST_F(WidgetEventsTest, EditingATableCellCommitsWithRowAndColumn) {
    auto* t = widget<QTableWidget>("SAMPLE_TABLE");
    ASSERT_NE(t, nullptr);
    setCell(panel, SAMPLE_TABLE, 2, 1, "0");  // the program writes: no event
    EXPECT_TRUE(callsOf(SAMPLE_TABLE).empty());
    t->item(4, 0)->setText("1");  // the operator edits row 5
    auto c = callsOf(SAMPLE_TABLE);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].data1, 5);
    EXPECT_EQ(c[0].data2, 1);
}

TEST_F(WidgetEventsTest, ListBoxAndScrollBarMadeInCode) {
    int list = newControl(panel, ControlKind::ListBox, "Список", 400, 400, 80, 200, "LIST");
    int sb = newScrollBar(panel, 400, 620, 100, 12, 1, 1000, 1, record, "SCROLL");
    ASSERT_GT(list, 0);
    ASSERT_GT(sb, 0);
    setControlCallback(panel, list, record);
    insertItem(panel, list, -1, "первый", 10);
    insertItem(panel, list, -1, "второй", 20);
    auto* lw = window->findChild<QListWidget*>("LIST");
    ASSERT_NE(lw, nullptr);
    QTest::mouseDClick(lw->viewport(), Qt::LeftButton, {}, lw->visualItemRect(lw->item(1)).center());
    auto dbl = callsOf(list, EVENT_LEFT_DOUBLE_CLICK);
    ASSERT_EQ(dbl.size(), 1u);
    EXPECT_EQ(dbl[0].data1, 1);
    auto* s = window->findChild<QScrollBar*>("SCROLL");
    ASSERT_NE(s, nullptr);
    s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    auto moved = callsOf(sb);
    ASSERT_EQ(moved.size(), 1u);
    int v = 0;
    getValue(panel, sb, v);
    EXPECT_EQ(v, 2);
}

TEST_F(WidgetEventsTest, DisplayedPanelsAreSavedAsScreenshots) {
    auto dir = std::filesystem::temp_directory_path() / "paneltk_display_shots";
    std::filesystem::remove_all(dir);
    setScreenshotDirectory(dir.string());
    int ask = load(ASK);
    displayPanel(ask);
    processEvents();
    hidePanel(ask);
    displayPanel(ask);
    processEvents();
    setScreenshotDirectory("");
    EXPECT_TRUE(std::filesystem::exists(dir / "ASK.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "ASK_2.png"));
}

// Values, formats and attributes of every kind of control of the sample panel.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <cstdint>
#include <cstdio>

#include "toolkit_fixture.h"

using namespace tk;

class ControlsTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        panel = load(SAMPLE);
        ASSERT_GT(panel, 0);
    }
    std::string shown(int control) {
        std::string s;
        EXPECT_EQ(getDisplayText(panel, control, s), OK);
        return s;
    }
    int panel = 0;
};

TEST_F(ControlsTest, NumericsStartAtTheirDefaultsInTheirFormats) {
    EXPECT_EQ(shown(SAMPLE_PERIOD), "0.0010");
    EXPECT_EQ(shown(SAMPLE_REG), "0000");
    EXPECT_EQ(shown(SAMPLE_NREG), "2");
    EXPECT_EQ(shown(SAMPLE_BITS), "0000000000000000");
    EXPECT_EQ(shown(SAMPLE_SCI), "0.000000E+0");
    EXPECT_EQ(shown(SAMPLE_BUF), "0.000E+0");
    EXPECT_EQ(shown(SAMPLE_CHAN), "1");
}

TEST_F(ControlsTest, NumericsShowWrittenValuesInTheirFormats) {
    EXPECT_EQ(setValue(panel, SAMPLE_REG, 0x1A3), OK);
    EXPECT_EQ(shown(SAMPLE_REG), "01A3");
    EXPECT_EQ(setValue(panel, SAMPLE_BITS, 5), OK);
    EXPECT_EQ(shown(SAMPLE_BITS), "0000000000000101");
    EXPECT_EQ(setValue(panel, SAMPLE_SCI, 1.5e-6), OK);
    EXPECT_EQ(shown(SAMPLE_SCI), "1.500000E-6");
    EXPECT_EQ(setValue(panel, SAMPLE_NREG, 0x1FEu), OK);
    EXPECT_EQ(shown(SAMPLE_NREG), "1FE");
    EXPECT_EQ(setValue(panel, SAMPLE_RESULT, -5), OK);
    short r = 0;
    EXPECT_EQ(getValue(panel, SAMPLE_RESULT, r), OK);
    EXPECT_EQ(r, -5);
}

TEST_F(ControlsTest, NumericsAreClampedToTheirRangeAndType) {
    unsigned short ch = 0;
    EXPECT_EQ(setValue(panel, SAMPLE_CHAN, 40), OK);
    EXPECT_EQ(getValue(panel, SAMPLE_CHAN, ch), OK);
    EXPECT_EQ(ch, 32);
    EXPECT_EQ(setValue(panel, SAMPLE_CHAN, 0), OK);
    EXPECT_EQ(getValue(panel, SAMPLE_CHAN, ch), OK);
    EXPECT_EQ(ch, 1);
    EXPECT_EQ(setValue(panel, SAMPLE_PERIOD, 0.00001), OK);
    EXPECT_EQ(shown(SAMPLE_PERIOD), "0.0001");
    unsigned u = 0;
    EXPECT_EQ(setValue(panel, SAMPLE_BUF, 4294967295u), OK);
    EXPECT_EQ(getValue(panel, SAMPLE_BUF, u), OK);
    EXPECT_EQ(u, 4294967295u);
    int i = 0;  // too large for an int
    EXPECT_EQ(getValue(panel, SAMPLE_BUF, i), ERR_RANGE);
    // Changing the range at run time clamps the value too.
    EXPECT_EQ(setAttribute(panel, SAMPLE_CHAN, ATTR_MAX_VALUE, 16), OK);
    EXPECT_EQ(setValue(panel, SAMPLE_CHAN, 20), OK);
    EXPECT_EQ(shown(SAMPLE_CHAN), "16");
}

TEST_F(ControlsTest, WrongValueTypesAreRefused) {
    EXPECT_EQ(setValue(panel, SAMPLE_PERIOD, "0.5"), ERR_TYPE);
    EXPECT_EQ(setValue(panel, SAMPLE_NAME, 5), ERR_TYPE);
    int i;
    EXPECT_EQ(getValue(panel, SAMPLE_PERIOD, i), ERR_TYPE);  // a double read as an integer
    double d;
    EXPECT_EQ(getValue(panel, SAMPLE_PERIOD, d), OK);
    EXPECT_DOUBLE_EQ(d, 0.001);
    std::string s;
    EXPECT_EQ(getValue(panel, SAMPLE_CHAN, s), ERR_TYPE);
    EXPECT_EQ(setValue(panel, SAMPLE_START, 1), ERR_KIND);
    EXPECT_EQ(setValue(panel, SAMPLE_NAME, static_cast<const char*>(nullptr)), ERR_ARGUMENT);
}

TEST_F(ControlsTest, UnknownHandlesAndIdsGiveNegativeStatuses) {
    int v;
    std::string s;
    EXPECT_EQ(setValue(9999, SAMPLE_CHAN, 1), ERR_PANEL);
    EXPECT_EQ(setValue(panel, 999, 1), ERR_CONTROL);
    EXPECT_EQ(getValue(-1, 2, v), ERR_PANEL);
    EXPECT_EQ(getAttribute(panel, 0, ATTR_DIMMED, v), ERR_CONTROL);
    EXPECT_EQ(setAttribute(panel, SAMPLE_CHAN, ATTR_TITLE, 1), ERR_ATTRIBUTE);
    EXPECT_EQ(displayPanel(12345), ERR_PANEL);
    EXPECT_EQ(discardPanel(12345), ERR_PANEL);
    EXPECT_EQ(loadPanel(0, "missing.uir", 1), ERR_RESOURCE);
    EXPECT_EQ(loadPanel(0, "sample.uir", 77), ERR_PANEL_ID);
    EXPECT_EQ(insertItem(panel, SAMPLE_CHAN, -1, "x", 1), ERR_KIND);
    EXPECT_EQ(appendLine(panel, SAMPLE_MODE, "x"), ERR_KIND);
    EXPECT_EQ(setCell(panel, SAMPLE_TABLE, 33, 1, "x"), ERR_RANGE);
    EXPECT_EQ(setCell(panel, SAMPLE_TABLE, 1, 0, "x"), ERR_RANGE);
    EXPECT_EQ(removePopup(0), ERR_NOT_POPUP);
    EXPECT_STRNE(statusText(ERR_PANEL), statusText(ERR_CONTROL));
}

TEST_F(ControlsTest, RingItemsCanBeEditedLikeTheStepList) {
    int page = load(PAGE);
    int n = 0;
    ASSERT_EQ(itemCount(page, PAGE_RING, n), OK);
    EXPECT_EQ(n, 5);
    // Delete two items from index 0, then the third of what remains.
    EXPECT_EQ(deleteItems(page, PAGE_RING, 0, 2), OK);
    EXPECT_EQ(deleteItems(page, PAGE_RING, 2, 1), OK);
    EXPECT_EQ(itemCount(page, PAGE_RING, n), OK);
    EXPECT_EQ(n, 2);
    int v = 0, index = -2;
    EXPECT_EQ(getValue(page, PAGE_RING, v), OK);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(insertItem(page, PAGE_RING, 0, "периода", 8), OK);
    EXPECT_EQ(setValue(page, PAGE_RING, 4), OK);
    EXPECT_EQ(getIndex(page, PAGE_RING, index), OK);
    EXPECT_EQ(index, 1);
    std::string label;
    EXPECT_EQ(itemLabel(page, PAGE_RING, 1, label), OK);
    EXPECT_EQ(label, "сопротивлению ДД ");  // the trailing space stays
    EXPECT_EQ(setValue(page, PAGE_RING, 99), ERR_RANGE);
    EXPECT_EQ(itemLabel(page, PAGE_RING, 2, label), OK);
    EXPECT_EQ(label, "напряжению ДД ");
    EXPECT_EQ(deleteItems(page, PAGE_RING, 5, 1), ERR_RANGE);
    EXPECT_EQ(clearItems(page, PAGE_RING), OK);
    EXPECT_EQ(getValue(page, PAGE_RING, v), ERR_RANGE);  // an empty ring has no value
    EXPECT_EQ(getIndex(page, PAGE_RING, index), OK);
    EXPECT_EQ(index, -1);
}

TEST_F(ControlsTest, SwitchLedStringAndTextMessage) {
    EXPECT_EQ(shown(SAMPLE_RELAY), "выкл.");
    EXPECT_EQ(setValue(panel, SAMPLE_RELAY, 1), OK);
    EXPECT_EQ(shown(SAMPLE_RELAY), "вкл.");
    EXPECT_EQ(setValue(panel, SAMPLE_RELAY, 7), ERR_RANGE);
    EXPECT_EQ(setValue(panel, SAMPLE_LED, 1), OK);
    int led = 0;
    EXPECT_EQ(getValue(panel, SAMPLE_LED, led), OK);
    EXPECT_EQ(led, 1);
    EXPECT_EQ(setAttribute(panel, SAMPLE_LED, ATTR_LABEL_TEXT, "Переполнение FIFO"), OK);
    std::string s;
    EXPECT_EQ(getAttribute(panel, SAMPLE_LED, ATTR_LABEL_TEXT, s), OK);
    EXPECT_EQ(s, "Переполнение FIFO");
    EXPECT_EQ(shown(SAMPLE_NAME), "sorvi.log");
    EXPECT_EQ(setValue(panel, SAMPLE_NAME, "протокол.log"), OK);
    EXPECT_EQ(getValue(panel, SAMPLE_NAME, s), OK);
    EXPECT_EQ(s, "протокол.log");
    EXPECT_EQ(shown(SAMPLE_MSG), "КОНТРОЛЬ ДИСКРЕТНЫХ СИГНАЛОВ");
    // Accelerator markup is not part of the text.
    EXPECT_EQ(getAttribute(panel, SAMPLE_START, ATTR_LABEL_TEXT, s), OK);
    EXPECT_EQ(s, "Пуск");
}

TEST_F(ControlsTest, TextBoxLinesScrollingAndSelection) {
    int n = -1;
    EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(appendLine(panel, SAMPLE_LOG, "первая"), OK);
    EXPECT_EQ(appendLine(panel, SAMPLE_LOG, "вторая\nтретья"), OK);  // a line feed makes two lines
    EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
    EXPECT_EQ(n, 3);
    std::string s;
    EXPECT_EQ(lineText(panel, SAMPLE_LOG, 2, s), OK);
    EXPECT_EQ(s, "третья");
    for (int i = 0; i < 40; ++i) appendLine(panel, SAMPLE_LOG, "строка " + std::to_string(i));
    int visible = 0, first = -1, total = 0;
    EXPECT_EQ(getAttribute(panel, SAMPLE_LOG, ATTR_VISIBLE_LINES, visible), OK);
    EXPECT_GT(visible, 1);
    EXPECT_LT(visible, 20);
    EXPECT_EQ(getAttribute(panel, SAMPLE_LOG, ATTR_TOTAL_LINES, total), OK);
    EXPECT_EQ(total, 43);
    EXPECT_EQ(setAttribute(panel, SAMPLE_LOG, ATTR_FIRST_VISIBLE_LINE, total - visible), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_LOG, ATTR_FIRST_VISIBLE_LINE, first), OK);
    EXPECT_EQ(first, total - visible);
    EXPECT_EQ(selectText(panel, SAMPLE_LOG, 10, 7, 1), OK);
    EXPECT_EQ(selectedText(panel, SAMPLE_LOG, s), OK);
    EXPECT_EQ(s, "7");
    int pos = 0;
    EXPECT_EQ(getAttribute(panel, SAMPLE_LOG, ATTR_LINE_POSITION, pos), OK);
    EXPECT_EQ(pos, 10);
    EXPECT_EQ(selectText(panel, SAMPLE_LOG, 99, 0, 1), ERR_RANGE);
    EXPECT_EQ(deleteLines(panel, SAMPLE_LOG, 3, -1), OK);
    EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(clearTextBox(panel, SAMPLE_LOG), OK);
    EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
    EXPECT_EQ(n, 0);
}

// Lines appended to a text box reach its document (and so the screen) a
// little later, and a portion cleared before that never does; whatever
// reads the box sees every line at once, and a picture of the panel shows
// them.
TEST_F(ControlsTest, TextBoxTakesLinesFasterThanTheyAreDrawn) {
    QPlainTextEdit* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = w->findChild<QPlainTextEdit*>("SAMPLE_LOG")) box = found;
    ASSERT_NE(box, nullptr);
    int n = -1;
    // Counted as the document will hold them: an empty line into an empty
    // box leaves it empty, a line feed makes two lines, a clear empties it.
    const struct {
        const char* append;  // null: clear
        int lines;
    } steps[] = {{"", 0}, {"a", 1}, {"b\nc", 3}, {nullptr, 0}, {"d\n", 2}, {"", 3}, {"e", 4}};
    for (const auto& step : steps) {
        if (step.append) {
            EXPECT_EQ(appendLine(panel, SAMPLE_LOG, step.append), OK);
        } else {
            EXPECT_EQ(clearTextBox(panel, SAMPLE_LOG), OK);
        }
        EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
        EXPECT_EQ(n, step.lines) << (step.append ? step.append : "(clear)");
    }
    std::string text;
    EXPECT_EQ(getValue(panel, SAMPLE_LOG, text), OK);
    EXPECT_EQ(text, "d\n\n\ne");
    EXPECT_EQ(box->document()->blockCount(), 4);

    // Portions of lines, each cleared before the next: the document gets
    // only the last one, soon, with no one reading.
    for (int portion = 0; portion < 5; ++portion) {
        clearTextBox(panel, SAMPLE_LOG);
        std::string lines;
        for (int i = 0; i < 1500; ++i) lines += (i ? "\n" : "") + std::to_string(portion * 10000 + i);
        appendLine(panel, SAMPLE_LOG, lines);
    }
    EXPECT_EQ(lineCount(panel, SAMPLE_LOG, n), OK);
    EXPECT_EQ(n, 1500);
    EXPECT_EQ(box->document()->blockCount(), 4) << "a portion reached the document before it could be drawn";
    QElapsedTimer since;
    since.start();
    while (box->document()->blockCount() != 1500 && since.elapsed() < 2000) waitEvents(0.01);
    EXPECT_EQ(box->document()->blockCount(), 1500);
    EXPECT_EQ(box->document()->findBlockByNumber(0).text(), "40000");

    // A picture taken at once shows what was just appended.
    appendLine(panel, SAMPLE_LOG, "last");
    const std::string picture = testing::TempDir() + "text_box.png";
    EXPECT_EQ(saveScreenshot(panel, picture), OK);
    EXPECT_EQ(box->document()->lastBlock().text(), "last");
    std::remove(picture.c_str());
}

TEST_F(ControlsTest, TableCellsResetAndScroll) {
    std::string s;
    EXPECT_EQ(getCell(panel, SAMPLE_TABLE, 32, 1, s), OK);
    EXPECT_EQ(s, "-");
    EXPECT_EQ(setCell(panel, SAMPLE_TABLE, 32, 1, "1"), OK);
    EXPECT_EQ(getCell(panel, SAMPLE_TABLE, 32, 1, s), OK);
    EXPECT_EQ(s, "1");
    int rows = 0, visible = 0, first = 0;
    EXPECT_EQ(getAttribute(panel, SAMPLE_TABLE, ATTR_NUM_ROWS, rows), OK);
    EXPECT_EQ(rows, 32);
    EXPECT_EQ(getAttribute(panel, SAMPLE_TABLE, ATTR_VISIBLE_ROWS, visible), OK);
    EXPECT_GT(visible, 3);
    EXPECT_LT(visible, 32);
    EXPECT_EQ(setAttribute(panel, SAMPLE_TABLE, ATTR_FIRST_VISIBLE_ROW, 20), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_TABLE, ATTR_FIRST_VISIBLE_ROW, first), OK);
    EXPECT_EQ(first, 20);
    EXPECT_EQ(resetControl(panel, SAMPLE_TABLE), OK);
    EXPECT_EQ(getCell(panel, SAMPLE_TABLE, 32, 1, s), OK);
    EXPECT_EQ(s, "-");
    EXPECT_EQ(setAttribute(panel, SAMPLE_TABLE, ATTR_VISIBLE, 0), OK);
    int v = 1;
    EXPECT_EQ(getAttribute(panel, SAMPLE_TABLE, ATTR_VISIBLE, v), OK);
    EXPECT_EQ(v, 0);
}

TEST_F(ControlsTest, StripChartKeepsOneScreenOfInterleavedPoints) {
    // 4 traces, 64 points per screen; plot 100 frames.
    std::vector<std::uint32_t> frames;
    for (std::uint32_t f = 0; f < 100; ++f)
        for (std::uint32_t t = 0; t < 4; ++t) frames.push_back(f * 10 + t);
    EXPECT_EQ(plotStripChart(panel, SAMPLE_CHART, frames.data(), int(frames.size())), OK);
    std::vector<double> pts;
    EXPECT_EQ(tracePoints(panel, SAMPLE_CHART, 2, pts), OK);
    ASSERT_EQ(pts.size(), 64u);
    EXPECT_EQ(pts.front(), 36 * 10 + 1);
    EXPECT_EQ(pts.back(), 99 * 10 + 1);
    EXPECT_EQ(plotStripChart(panel, SAMPLE_CHART, frames.data(), 3), ERR_RANGE);  // not whole frames
    EXPECT_EQ(setTraceAttribute(panel, SAMPLE_CHART, 4, 1230, 0), OK);
    int v = -1;
    EXPECT_EQ(getTraceAttribute(panel, SAMPLE_CHART, 4, 1230, v), OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(getTraceAttribute(panel, SAMPLE_CHART, 2, ATTR_TEXT_COLOR, v), OK);
    EXPECT_EQ(v, 0xFF0000);
    EXPECT_EQ(setTraceAttribute(panel, SAMPLE_CHART, 5, ATTR_TEXT_COLOR, 0), ERR_RANGE);
    EXPECT_EQ(clearStripChart(panel, SAMPLE_CHART), OK);
    EXPECT_EQ(tracePoints(panel, SAMPLE_CHART, 1, pts), OK);
    EXPECT_TRUE(pts.empty());
}

TEST_F(ControlsTest, ModeFlagsAndAttributes) {
    int v = -1;
    EXPECT_EQ(getAttribute(panel, SAMPLE_STOP, ATTR_DIMMED, v), OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(getAttribute(panel, SAMPLE_START, ATTR_DIMMED, v), OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(getAttribute(panel, SAMPLE_HIDDEN, ATTR_VISIBLE, v), OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(getAttribute(panel, SAMPLE_BITS, ATTR_CTRL_MODE, v), OK);
    EXPECT_EQ(v, MODE_DISPLAY_ONLY);
    EXPECT_EQ(setAttribute(panel, SAMPLE_STATUS, ATTR_TEXT_BGCOLOR, 0xFF0000), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_STATUS, ATTR_TEXT_BGCOLOR, v), OK);
    EXPECT_EQ(v, 0xFF0000);
    EXPECT_EQ(setAttribute(panel, SAMPLE_LOG, ATTR_HEIGHT, 200), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_LOG, ATTR_HEIGHT, v), OK);
    EXPECT_EQ(v, 200);
    // Platform codes are kept as written.
    EXPECT_EQ(setAttribute(panel, SAMPLE_DECOR, 610, 100), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_DECOR, 610, v), OK);
    EXPECT_EQ(v, 100);
    EXPECT_EQ(getAttribute(panel, SAMPLE_DECOR, ATTR_EMPHASIS, v), OK);
    EXPECT_EQ(v, 100);
    EXPECT_EQ(setPanelAttribute(panel, 600, 0), OK);
    EXPECT_EQ(setPanelAttribute(panel, 580, 7), OK);
    EXPECT_EQ(getPanelAttribute(panel, 580, v), OK);
    EXPECT_EQ(v, 7);
    std::string s;
    EXPECT_EQ(setAttribute(panel, SAMPLE_MODE, ATTR_LABEL_TEXT, "Размер пакета"), OK);
    EXPECT_EQ(getAttribute(panel, SAMPLE_MODE, ATTR_LABEL_TEXT, s), OK);
    EXPECT_EQ(s, "Размер пакета");
}

TEST_F(ControlsTest, ResetPanelRestoresEveryDefault) {
    setValue(panel, SAMPLE_PERIOD, 0.5);
    setValue(panel, SAMPLE_NAME, "x");
    setValue(panel, SAMPLE_MODE, 2);
    setCell(panel, SAMPLE_TABLE, 1, 1, "1");
    EXPECT_EQ(resetPanel(panel), OK);
    EXPECT_EQ(shown(SAMPLE_PERIOD), "0.0010");
    EXPECT_EQ(shown(SAMPLE_NAME), "sorvi.log");
    EXPECT_EQ(shown(SAMPLE_MODE), "однократный");
    std::string s;
    getCell(panel, SAMPLE_TABLE, 1, 1, s);
    EXPECT_EQ(s, "-");
}

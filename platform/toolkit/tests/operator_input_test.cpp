// Real mouse and key events on the real widgets: a display-only control of
// any kind takes none of them (its value stays, its callback hears nothing),
// a list box tells a highlight from a choice, and input controls raise the
// events their definitions promise.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "toolkit_fixture.h"

using namespace tk;

namespace {

enum { GATE = 1 };
enum {
    GATE_NUMERIC = 2,
    GATE_STRING,
    GATE_TEXTBOX,
    GATE_RING,
    GATE_LIST,
    GATE_SWITCH,
    GATE_TABLE,
    GATE_BUTTON,
    GATE_PICTURE_BUTTON,
    GATE_LED,
    GATE_INPUT_LIST,
    GATE_INPUT_RING,
    GATE_INPUT_TABLE,
};

// clang-format off
const ResourceDef& gateResource() {
    static const ResourceDef def{
        .name = "gate.uir",
        .panels = {{
            .id = GATE, .constant = "GATE", .title = "индикаторы", .height = 520, .width = 700,
            .controls = {
                {.id = GATE_NUMERIC, .constant = "GATE_NUMERIC", .kind = ControlKind::Numeric, .label = "Слот",
                 .flags = DisplayOnly, .callback = "record", .type = ValueType::UInt16, .defaultNumber = 3},
                {.id = GATE_STRING, .constant = "GATE_STRING", .kind = ControlKind::String,
                 .flags = DisplayOnly, .callback = "record", .defaultText = "Идет инициализация"},
                {.id = GATE_TEXTBOX, .constant = "GATE_TEXTBOX", .kind = ControlKind::TextBox,
                 .flags = DisplayOnly, .callback = "record", .defaultText = "Протокол"},
                {.id = GATE_RING, .constant = "GATE_RING", .kind = ControlKind::Ring, .label = "Режим",
                 .flags = DisplayOnly, .callback = "record", .type = ValueType::UInt16,
                 .items = {{"однократный", 0}, {"блочный", 1}, {"непрерывный", 2}}},
                {.id = GATE_LIST, .constant = "GATE_LIST", .kind = ControlKind::ListBox,
                 .flags = DisplayOnly, .callback = "record",
                 .items = {{"первый", 1}, {"второй", 2}, {"третий", 3}},
                 .geometry = {.top = 200, .left = 10, .height = 80, .width = 150}},
                {.id = GATE_SWITCH, .constant = "GATE_SWITCH", .kind = ControlKind::BinarySwitch,
                 .label = "__Relay", .flags = DisplayOnly, .callback = "record", .type = ValueType::UInt16,
                 .offText = "выкл.", .onText = "вкл."},
                {.id = GATE_TABLE, .constant = "GATE_TABLE", .kind = ControlKind::Table,
                 .flags = DisplayOnly, .callback = "record", .defaultText = "-", .rows = 4, .columns = 1,
                 .geometry = {.top = 300, .left = 10, .height = 140, .width = 150}},
                {.id = GATE_BUTTON, .constant = "GATE_BUTTON", .kind = ControlKind::CommandButton,
                 .label = "__Пуск", .flags = DisplayOnly, .callback = "record"},
                {.id = GATE_PICTURE_BUTTON, .constant = "GATE_PICTURE_BUTTON", .kind = ControlKind::PictureButton,
                 .label = "другой кадр", .flags = DisplayOnly, .callback = "record"},
                {.id = GATE_LED, .constant = "GATE_LED", .kind = ControlKind::Led, .label = "Ошибка",
                 .flags = DisplayOnly, .callback = "record", .type = ValueType::Int32},
                {.id = GATE_INPUT_LIST, .constant = "GATE_INPUT_LIST", .kind = ControlKind::ListBox,
                 .callback = "record", .items = {{"первый", 1}, {"второй", 2}, {"третий", 3}},
                 .geometry = {.top = 200, .left = 200, .height = 80, .width = 150}},
                {.id = GATE_INPUT_RING, .constant = "GATE_INPUT_RING", .kind = ControlKind::Ring, .label = "Группа",
                 .callback = "record", .type = ValueType::UInt16, .items = {{"все каналы", 0}, {"группа 1", 1}}},
                {.id = GATE_INPUT_TABLE, .constant = "GATE_INPUT_TABLE", .kind = ControlKind::Table,
                 .callback = "record", .defaultText = "-", .rows = 4, .columns = 1,
                 .geometry = {.top = 300, .left = 200, .height = 140, .width = 150}},
            }}},
    };
    return def;
}
// clang-format on

class OperatorInputTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        registerResource(gateResource());
        const Bindings recording{{"record", record}};
        panel = loadPanel(0, "gate.uir", GATE, &recording);
        ASSERT_GT(panel, 0);
        loaded.push_back(panel);
        displayPanel(panel);
        processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == "GATE") window = w;
        ASSERT_NE(window, nullptr);
        calls.clear();  // the focus the window gave a control on showing
    }
    template <typename W = QWidget>
    W* widget(const char* constant) {
        return window->findChild<W*>(constant);
    }
    // Every call any control of the panel got, whatever the event.
    std::size_t callsTo(int control) const {
        std::size_t n = 0;
        for (const auto& c : calls) n += c.control == control;
        return n;
    }
    int panel = 0;
    QWidget* window = nullptr;
};

// What the operator can see of a control: its shown value, or for tables
// and lists their cells and highlight.
std::string shown(int panel, int control) {
    std::string text;
    int kind = 0;
    getAttribute(panel, control, ATTR_CONTROL_KIND, kind);
    if (kind == int(ControlKind::Table)) {
        for (int row = 1; row <= 4; ++row) {
            std::string cell;
            getCell(panel, control, row, 1, cell);
            text += cell + "|";
        }
        return text;
    }
    getDisplayText(panel, control, text);
    return text;
}

// Everything an operator might try on a widget: clicks, a double-click,
// typing, editing keys, arrows, Enter, Space, the wheel.
void tryEverything(QWidget* w) {
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    QWidget* target = area ? area->viewport() : w;
    const QPoint inside(8, 8);
    QTest::mouseClick(target, Qt::LeftButton, {}, inside);
    QTest::mouseDClick(target, Qt::LeftButton, {}, inside);
    w->setFocus();
    QTest::keyClicks(w, "17");
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Down, Qt::Key_Up, Qt::Key_F2, Qt::Key_Space,
                        Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(w, key);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(inside), QPointF(target->mapToGlobal(inside)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() - 8));
}

}  // namespace

TEST_F(OperatorInputTest, DisplayOnlyControlsOfEveryKindTakeNoInput) {
    const int scroll = newScrollBar(panel, 20, 660, 150, 16, 0, 100, 50, record, "GATE_SCROLL");
    ASSERT_GT(scroll, 0);
    ASSERT_EQ(setAttribute(panel, scroll, ATTR_CTRL_MODE, MODE_DISPLAY_ONLY), OK);
    setIndex(panel, GATE_LIST, 1);
    const std::vector<std::pair<int, const char*>> indicators{
        {GATE_NUMERIC, "GATE_NUMERIC"}, {GATE_STRING, "GATE_STRING"}, {GATE_TEXTBOX, "GATE_TEXTBOX"},
        {GATE_RING, "GATE_RING"},       {GATE_LIST, "GATE_LIST"},     {GATE_SWITCH, "GATE_SWITCH"},
        {GATE_TABLE, "GATE_TABLE"},     {GATE_BUTTON, "GATE_BUTTON"}, {GATE_PICTURE_BUTTON, "GATE_PICTURE_BUTTON"},
        {GATE_LED, "GATE_LED"},         {scroll, "GATE_SCROLL"}};
    for (const auto& [id, constant] : indicators) {
        SCOPED_TRACE(constant);
        QWidget* w = widget(constant);
        ASSERT_NE(w, nullptr);
        const std::string before = shown(panel, id);
        tryEverything(w);
        processEvents();
        EXPECT_EQ(shown(panel, id), before);
        EXPECT_EQ(callsTo(id), 0u);
    }
    // The accelerators of a label ("__Relay") and of a button ("__Пуск") do
    // not reach them either.
    QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, window, Qt::Key(QChar(u'П').unicode()), QStringLiteral("П"), Qt::AltModifier);
    QTest::qWait(200);  // an accelerator clicks after a short animation
    EXPECT_EQ(shown(panel, GATE_SWITCH), "выкл.");
    EXPECT_EQ(callsTo(GATE_SWITCH) + callsTo(GATE_BUTTON), 0u);
    // No cell editor was ever opened on the display-only table.
    EXPECT_EQ(widget<QTableWidget>("GATE_TABLE")->findChild<QLineEdit*>(), nullptr);
    // Nor does the close box press a display-only button.
    setPanelAttribute(panel, ATTR_CLOSE_CONTROL, GATE_BUTTON);
    window->close();
    EXPECT_EQ(callsTo(GATE_BUTTON), 0u);
}

TEST_F(OperatorInputTest, ProgramStillWritesDisplayOnlyControlsAndAModeChangeOpensThem) {
    EXPECT_EQ(setValue(panel, GATE_STRING, "проверка выполнена"), OK);
    EXPECT_EQ(setCell(panel, GATE_TABLE, 2, 1, "1"), OK);
    EXPECT_EQ(setValue(panel, GATE_SWITCH, 1), OK);
    EXPECT_EQ(shown(panel, GATE_TABLE), "-|1|-|-|");
    EXPECT_EQ(shown(panel, GATE_SWITCH), "вкл.");
    EXPECT_EQ(calls.size(), 0u);

    // Made an input control, the switch answers the operator again.
    setAttribute(panel, GATE_SWITCH, ATTR_CTRL_MODE, MODE_INPUT);
    QTest::mouseClick(widget("GATE_SWITCH"), Qt::LeftButton);
    EXPECT_EQ(shown(panel, GATE_SWITCH), "выкл.");
    EXPECT_EQ(callsOf(GATE_SWITCH).size(), 1u);
}

TEST_F(OperatorInputTest, ListClickHighlightsEnterCommitsDoubleClickIsItsOwnEvent) {
    auto* list = widget<QListWidget>("GATE_INPUT_LIST");
    ASSERT_NE(list, nullptr);
    const auto at = [&](int row) { return list->visualItemRect(list->item(row)).center(); };

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(1));
    auto moved = callsOf(GATE_INPUT_LIST, EVENT_VAL_CHANGED);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].data1, 1);
    EXPECT_TRUE(callsOf(GATE_INPUT_LIST).empty()) << "a click chose the item";
    int value = 0;
    getValue(panel, GATE_INPUT_LIST, value);
    EXPECT_EQ(value, 2);

    // The keyboard: an arrow moves the highlight, Enter chooses it.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(callsOf(GATE_INPUT_LIST, EVENT_VAL_CHANGED).size(), 2u);
    EXPECT_TRUE(callsOf(GATE_INPUT_LIST).empty());
    QTest::keyClick(list, Qt::Key_Return);
    auto chosen = callsOf(GATE_INPUT_LIST);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].data1, 2);

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(0));
    auto doubled = callsOf(GATE_INPUT_LIST, EVENT_LEFT_DOUBLE_CLICK);
    ASSERT_EQ(doubled.size(), 1u);
    EXPECT_EQ(doubled[0].data1, 0);
    EXPECT_EQ(callsOf(GATE_INPUT_LIST).size(), 1u);

    // The program's own changes of the highlight raise nothing.
    const std::size_t before = calls.size();
    setIndex(panel, GATE_INPUT_LIST, 2);
    insertItem(panel, GATE_INPUT_LIST, 0, "нулевой", 0);
    deleteItems(panel, GATE_INPUT_LIST, 0, 2);
    EXPECT_EQ(calls.size(), before);
}

TEST_F(OperatorInputTest, RingByKeyAndTableCellByTypingCommit) {
    auto* ring = widget<QComboBox>("GATE_INPUT_RING");
    ring->setFocus();
    QTest::keyClick(ring, Qt::Key_Down);
    EXPECT_EQ(callsOf(GATE_INPUT_RING, EVENT_VAL_CHANGED).size(), 1u);
    EXPECT_EQ(callsOf(GATE_INPUT_RING).size(), 1u);
    EXPECT_EQ(shown(panel, GATE_INPUT_RING), "группа 1");

    // A cell is typed into: a click picks it, the typing opens its editor,
    // Enter ends it.
    auto* table = widget<QTableWidget>("GATE_INPUT_TABLE");
    const QPoint cell = table->visualItemRect(table->item(2, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::keyClicks(table, "1");
    QLineEdit* editor = table->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    processEvents();  // the cell takes the edit once the key is handled
    auto committed = callsOf(GATE_INPUT_TABLE);
    ASSERT_EQ(committed.size(), 1u);
    EXPECT_EQ(committed[0].data1, 3);
    EXPECT_EQ(committed[0].data2, 1);
    EXPECT_EQ(shown(panel, GATE_INPUT_TABLE), "-|-|1|-|");
}

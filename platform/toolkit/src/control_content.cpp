// What controls hold besides one value: ring and list items, text box lines,
// table cells, strip chart points; and controls added or removed at run time.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QHeaderView>

#include "custom_widgets.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

int lookupKind(int panel, int control, PanelRec*& p, ControlRec*& c, ControlKind a,
               ControlKind b = ControlKind::Canvas) {
    if (int r = lookup(panel, control, p, c)) return r;
    if (c->def.kind != a && (b == ControlKind::Canvas || c->def.kind != b)) return ERR_KIND;
    return OK;
}

TextBoxWidget* waitingTextBox(ControlRec* c) { return static_cast<TextBoxWidget*>(c->widget.data()); }
// The box with every line appended so far in its document.
QPlainTextEdit* textBox(ControlRec* c) {
    TextBoxWidget* t = waitingTextBox(c);
    t->takePending();
    return t;
}
QTableWidget* table(ControlRec* c) { return static_cast<QTableWidget*>(c->widget.data()); }
StripChartWidget* chart(ControlRec* c) { return static_cast<StripChartWidget*>(c->widget.data()); }

int textLines(QPlainTextEdit* t) {
    QTextDocument* d = t->document();
    if (d->blockCount() == 1 && d->isEmpty()) return 0;
    return d->blockCount();
}

QString cleanLine(std::string_view text) {
    QString s = qs(text);
    s.remove('\r');
    return s;
}

int visibleLines(QPlainTextEdit* t) {
    int spacing = std::max(1, QFontMetrics(t->font()).lineSpacing());
    int inner = t->height() - 2 * t->frameWidth() - 2 * int(t->document()->documentMargin());
    return std::max(0, inner / spacing);
}

int visibleRows(QTableWidget* t) {
    int row = std::max(1, t->verticalHeader()->defaultSectionSize());
    int header = t->horizontalHeader()->isHidden() ? 0 : t->horizontalHeader()->sizeHint().height();
    return std::max(0, (t->height() - 2 * t->frameWidth() - header) / row);
}

}  // namespace

int kindAttribute(PanelRec& p, ControlRec& c, int attribute, bool set, int& value) {
    (void)p;
    switch (c.def.kind) {
    case ControlKind::TextBox: {
        QPlainTextEdit* t = textBox(&c);
        switch (attribute) {
        case ATTR_TOTAL_LINES:
            if (set) return ERR_ATTRIBUTE;
            value = textLines(t);
            return OK;
        case ATTR_VISIBLE_LINES:
            if (set) return ERR_ATTRIBUTE;
            value = visibleLines(t);
            return OK;
        case ATTR_FIRST_VISIBLE_LINE:
            if (set) {
                if (value < 0) return ERR_RANGE;
                t->verticalScrollBar()->setValue(value);
            } else {
                value = t->verticalScrollBar()->value();
            }
            return OK;
        case ATTR_LINE_POSITION:
            if (set) {
                if (value < 0 || value >= std::max(1, textLines(t))) return ERR_RANGE;
                QTextCursor cur(t->document()->findBlockByNumber(value));
                t->setTextCursor(cur);
                t->ensureCursorVisible();
            } else {
                value = t->textCursor().blockNumber();
            }
            return OK;
        default: return ERR_ATTRIBUTE;
        }
    }
    case ControlKind::Table: {
        QTableWidget* t = table(&c);
        switch (attribute) {
        case ATTR_NUM_ROWS:
            if (set) return ERR_ATTRIBUTE;
            value = t->rowCount();
            return OK;
        case ATTR_NUM_COLUMNS:
            if (set) return ERR_ATTRIBUTE;
            value = t->columnCount();
            return OK;
        case ATTR_VISIBLE_ROWS:
            if (set) return ERR_ATTRIBUTE;
            value = visibleRows(t);
            return OK;
        case ATTR_FIRST_VISIBLE_ROW:
            if (set) {
                if (value < 1 || value > t->rowCount()) return ERR_RANGE;
                t->verticalScrollBar()->setValue(value - 1);
            } else {
                value = t->verticalScrollBar()->value() + 1;
            }
            return OK;
        default: return ERR_ATTRIBUTE;
        }
    }
    case ControlKind::StripChart: {
        StripChartWidget* ch = chart(&c);
        switch (attribute) {
        case ATTR_POINTS_PER_SCREEN:
            if (set) {
                if (value < 2) return ERR_RANGE;
                ch->setPointsPerScreen(value);
            } else {
                value = ch->pointsPerScreen();
            }
            return OK;
        case ATTR_NUM_TRACES:
            if (set) return ERR_ATTRIBUTE;
            value = ch->traces();
            return OK;
        default: return ERR_ATTRIBUTE;
        }
    }
    default: return ERR_ATTRIBUTE;
    }
}

}  // namespace detail

using namespace detail;

// ------------------------------------------------------------ items
int insertItem(int panel, int control, int index, std::string_view label, double value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    if (index < -1 || index > int(c->items.size())) return ERR_RANGE;
    if (index == -1) index = int(c->items.size());
    c->items.insert(c->items.begin() + index, ItemDef{std::string(label), value});
    if (c->def.kind == ControlKind::Ring) static_cast<QComboBox*>(c->widget.data())->insertItem(index, qs(label));
    else static_cast<QListWidget*>(c->widget.data())->insertItem(index, qs(label));
    return OK;
}

int deleteItems(int panel, int control, int index, int count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    int n = int(c->items.size());
    if (index < 0 || index > n || (index == n && count > 0)) return ERR_RANGE;
    if (count < 0) count = n - index;
    if (index + count > n) return ERR_RANGE;
    c->items.erase(c->items.begin() + index, c->items.begin() + index + count);
    for (int i = 0; i < count; ++i) {
        if (c->def.kind == ControlKind::Ring) static_cast<QComboBox*>(c->widget.data())->removeItem(index);
        else delete static_cast<QListWidget*>(c->widget.data())->takeItem(index);
    }
    return OK;
}

int clearItems(int panel, int control) { return deleteItems(panel, control, 0, -1); }

int itemCount(int panel, int control, int& count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    count = int(c->items.size());
    return OK;
}

int getIndex(int panel, int control, int& index) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    index = c->def.kind == ControlKind::Ring ? static_cast<QComboBox*>(c->widget.data())->currentIndex()
                                             : static_cast<QListWidget*>(c->widget.data())->currentRow();
    if (c->items.empty()) index = -1;
    return OK;
}

int setIndex(int panel, int control, int index) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    if (index < 0 || index >= int(c->items.size())) return ERR_RANGE;
    if (c->def.kind == ControlKind::Ring) static_cast<QComboBox*>(c->widget.data())->setCurrentIndex(index);
    else static_cast<QListWidget*>(c->widget.data())->setCurrentRow(index);
    return OK;
}

int itemLabel(int panel, int control, int index, std::string& label) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    if (index < 0 || index >= int(c->items.size())) return ERR_RANGE;
    label = c->items[size_t(index)].label;
    return OK;
}

int itemValue(int panel, int control, int index, double& value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Ring, ControlKind::ListBox)) return r;
    if (index < 0 || index >= int(c->items.size())) return ERR_RANGE;
    value = c->items[size_t(index)].value;
    return OK;
}

// ------------------------------------------------------------ text boxes
int appendLine(int panel, int control, std::string_view text) { return insertLine(panel, control, -1, text); }

int insertLine(int panel, int control, int index, std::string_view text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    TextBoxWidget* waiting = waitingTextBox(c);
    int n = waiting->lines();
    if (index < -1 || index > n) return ERR_RANGE;
    if (index == -1 || index == n) {
        waiting->appendLater(cleanLine(text));
        return OK;
    }
    QPlainTextEdit* t = textBox(c);
    QTextCursor cur(t->document()->findBlockByNumber(index));
    cur.insertText(cleanLine(text) + "\n");
    return OK;
}

int replaceLine(int panel, int control, int index, std::string_view text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    QPlainTextEdit* t = textBox(c);
    if (index < 0 || index >= textLines(t)) return ERR_RANGE;
    QTextCursor cur(t->document()->findBlockByNumber(index));
    cur.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cur.insertText(cleanLine(text));
    return OK;
}

int deleteLines(int panel, int control, int index, int count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    QPlainTextEdit* t = textBox(c);
    int n = textLines(t);
    if (index < 0 || index > n) return ERR_RANGE;
    if (count < 0) count = n - index;
    if (index + count > n) return ERR_RANGE;
    if (count == 0) return OK;
    if (index == 0 && count == n) {
        t->clear();
        return OK;
    }
    QTextDocument* d = t->document();
    QTextCursor cur(d);
    if (index + count < n) {
        cur.setPosition(d->findBlockByNumber(index).position());
        cur.setPosition(d->findBlockByNumber(index + count).position(), QTextCursor::KeepAnchor);
    } else {  // up to the end: take the line feed before the first deleted line
        QTextBlock prev = d->findBlockByNumber(index - 1);
        cur.setPosition(prev.position() + prev.length() - 1);
        cur.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cur.removeSelectedText();
    return OK;
}

int lineCount(int panel, int control, int& count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    count = waitingTextBox(c)->lines();
    return OK;
}

int lineText(int panel, int control, int index, std::string& text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    QPlainTextEdit* t = textBox(c);
    if (index < 0 || index >= textLines(t)) return ERR_RANGE;
    text = us(t->document()->findBlockByNumber(index).text());
    return OK;
}

int clearTextBox(int panel, int control) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    waitingTextBox(c)->clearLater();
    return OK;
}

int selectText(int panel, int control, int line, int start, int length) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    QPlainTextEdit* t = textBox(c);
    if (line < 0 || line >= textLines(t)) return ERR_RANGE;
    QTextBlock b = t->document()->findBlockByNumber(line);
    int len = b.length() - 1;
    if (start < 0 || length < 0 || start > len) return ERR_RANGE;
    length = std::min(length, len - start);
    QTextCursor cur(b);
    cur.setPosition(b.position() + start);
    cur.setPosition(b.position() + start + length, QTextCursor::KeepAnchor);
    t->setTextCursor(cur);
    t->ensureCursorVisible();
    return OK;
}

int selectedText(int panel, int control, std::string& text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::TextBox)) return r;
    QString s = textBox(c)->textCursor().selectedText();
    s.replace(QChar(0x2029), '\n');
    text = us(s);
    return OK;
}

// ------------------------------------------------------------ tables
int setCell(int panel, int control, int row, int column, std::string_view text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Table)) return r;
    QTableWidget* t = table(c);
    if (row < 1 || row > t->rowCount() || column < 1 || column > t->columnCount()) return ERR_RANGE;
    t->setProperty("tkFilling", true);
    QTableWidgetItem* item = t->item(row - 1, column - 1);
    if (!item) t->setItem(row - 1, column - 1, item = new QTableWidgetItem);
    item->setText(qs(text));
    t->setProperty("tkFilling", false);
    return OK;
}

int getCell(int panel, int control, int row, int column, std::string& text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::Table)) return r;
    QTableWidget* t = table(c);
    if (row < 1 || row > t->rowCount() || column < 1 || column > t->columnCount()) return ERR_RANGE;
    QTableWidgetItem* item = t->item(row - 1, column - 1);
    text = item ? us(item->text()) : std::string();
    return OK;
}

// ------------------------------------------------------------ strip charts
int plotStripChart(int panel, int control, const double* values, int count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    if (count < 0 || (count > 0 && !values)) return ERR_ARGUMENT;
    if (count % chart(c)->traces() != 0) return ERR_RANGE;
    chart(c)->plot(values, count);
    return OK;
}

int plotStripChart(int panel, int control, const std::uint32_t* values, int count) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    if (count < 0 || (count > 0 && !values)) return ERR_ARGUMENT;
    StripChartWidget* ch = chart(c);
    if (count % ch->traces() != 0) return ERR_RANGE;
    // Only the last screenful matters; convert just that part.
    int keep = std::min(count, ch->traces() * ch->pointsPerScreen());
    std::vector<double> v(values + (count - keep), values + count);
    ch->plot(v.data(), keep);
    return OK;
}

int clearStripChart(int panel, int control) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    chart(c)->clear();
    return OK;
}

int setTraceAttribute(int panel, int control, int trace, int attribute, int value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    StripChartWidget* ch = chart(c);
    if (trace < 1 || trace > ch->traces()) return ERR_RANGE;
    if (attribute == ATTR_TEXT_COLOR) ch->setTraceColor(trace, value);
    else if (attribute == ATTR_VISIBLE) ch->setTraceVisible(trace, value != 0);
    else if (attribute >= 0 && attribute < 100000) c->traceAttrs[trace][attribute] = value;
    else return ERR_ATTRIBUTE;
    return OK;
}

int getTraceAttribute(int panel, int control, int trace, int attribute, int& value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    StripChartWidget* ch = chart(c);
    if (trace < 1 || trace > ch->traces()) return ERR_RANGE;
    if (attribute == ATTR_TEXT_COLOR) value = ch->traceColor(trace);
    else if (attribute == ATTR_VISIBLE) value = ch->traceVisible(trace) ? 1 : 0;
    else if (attribute >= 0 && attribute < 100000) {
        auto& m = c->traceAttrs[trace];
        auto it = m.find(attribute);
        value = it == m.end() ? 0 : it->second;
    } else return ERR_ATTRIBUTE;
    return OK;
}

int tracePoints(int panel, int control, int trace, std::vector<double>& points) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookupKind(panel, control, p, c, ControlKind::StripChart)) return r;
    if (trace < 1 || trace > chart(c)->traces()) return ERR_RANGE;
    points = chart(c)->tracePoints(trace);
    return OK;
}

// ------------------------------------------------- controls made in code
int newControl(int panel, ControlKind kind, std::string_view label, int top, int left, int height, int width,
               std::string_view constant) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (height < 0 || width < 0) return ERR_ARGUMENT;
    int id = 2;
    for (auto& [cid, c] : p->controls) id = std::max(id, cid + 1);
    ControlDef d;
    d.id = id;
    d.constant = std::string(constant);
    d.kind = kind;
    d.label = std::string(label);
    d.geometry = {top, left, height, width};
    if (kind == ControlKind::ScrollBar) d.max = 100;
    ControlRec& c = p->controls[id] = makeControlRec(d);
    p->order.push_back(id);
    createControlWidget(*p, c, p->window->content());
    QPoint cursor(std::max(left, 10), std::max(top, 10));
    int rowHeight = 0;
    placeControl(*p, c, cursor, rowHeight, p->window->content()->size());
    resetControlState(*p, c);
    c.widget->show();
    if (c.label) c.label->setHidden(!c.visible);
    return id;
}

int newScrollBar(int panel, int top, int left, int height, int width, int minimum, int maximum, int value,
                 ControlCallback callback, std::string_view constant) {
    if (minimum > maximum) return ERR_RANGE;
    int id = newControl(panel, ControlKind::ScrollBar, {}, top, left, height, width, constant);
    if (id < 0) return id;
    ControlRec* c = findControl(panel, id);
    auto* s = static_cast<QScrollBar*>(c->widget.data());
    s->setProperty("tkSetting", true);
    s->setRange(minimum, maximum);
    s->setValue(value);
    s->setProperty("tkSetting", false);
    c->callback = callback;
    return id;
}

int discardControl(int panel, int control) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    if (c->pageHandle) discardPanel(c->pageHandle);
    p = findPanel(panel);
    if (!p) return OK;
    c = findControl(panel, control);
    if (!c) return OK;
    buryWindow(c->label);
    buryWindow(c->widget);
    p->controls.erase(control);
    p->order.erase(std::remove(p->order.begin(), p->order.end(), control), p->order.end());
    if (p->activeControl == control) p->activeControl = 0;
    if (p->closeControl == control) p->closeControl = 0;
    return OK;
}

}  // namespace tk

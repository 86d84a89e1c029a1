// The widgets behind each kind of control, how they show a control's state,
// and how operator actions on them become callback events (what input
// reaches them at all: operator_gate.cpp).
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolButton>

#include "custom_widgets.h"
#include "toolkit_state.h"

namespace tk::detail {
namespace {

bool hasLabelAbove(const ControlRec& c) {
    switch (c.def.kind) {
    case ControlKind::CommandButton:
    case ControlKind::TextMessage:
    case ControlKind::Decoration:
    case ControlKind::Canvas:
    case ControlKind::TabControl:
    case ControlKind::Picture:
    case ControlKind::ScrollBar:
    case ControlKind::Led:
    case ControlKind::PictureButton: return false;
    default: return !c.def.label.empty();
    }
}

bool labelBeside(const ControlRec& c) {
    return (c.def.kind == ControlKind::Led || c.def.kind == ControlKind::PictureButton) && !c.def.label.empty();
}

QString styleFor(const char* cls, const ControlRec& c) {
    return QString("%1 { background: %2; color: %3; }").arg(cls, colorName(c.textBgColor), colorName(c.textColor));
}

// Natural size of a control laid out by the toolkit.
QSize naturalSize(const ControlRec& c, const QFontMetrics& fm, QSize panel) {
    int full = std::max(100, panel.width() - 20);
    switch (c.def.kind) {
    case ControlKind::CommandButton: return {std::max(80, fm.horizontalAdvance(qs(plainLabel(c.def.label))) + 24), 25};
    case ControlKind::PictureButton: return {24, 24};
    case ControlKind::Numeric: {
        int digits = c.def.format.kind == FormatKind::Binary ? std::max(c.def.format.digits, 8) : 10;
        return {std::max(110, fm.horizontalAdvance(QString(digits, '0')) + 24), 22};
    }
    case ControlKind::String: return {std::min(full, 220), 22};
    case ControlKind::TextMessage: {
        QRect r = fm.boundingRect(QRect(0, 0, full, 1000), Qt::TextWordWrap, qs(c.def.defaultText));
        return {std::max(8, r.width() + 4), std::max(16, r.height() + 2)};
    }
    case ControlKind::TextBox: return {std::min(full, 380), 90};
    case ControlKind::Ring: {
        int w = 120;
        for (const auto& i : c.def.items) w = std::max(w, fm.horizontalAdvance(qs(i.label)) + 40);
        return {std::min(w, full), 24};
    }
    case ControlKind::BinarySwitch: {
        int w = std::max(fm.horizontalAdvance(qs(c.def.onText)), fm.horizontalAdvance(qs(c.def.offText)));
        return {std::max(70, w + 24), 24};
    }
    case ControlKind::Led: return {16, 16};
    case ControlKind::Picture: return {48, 48};
    case ControlKind::Decoration: return {0, 0};
    case ControlKind::Table: {
        int rows = std::min(std::max(c.def.rows, 1), 10);
        return {std::min(full, 200), rows * (fm.height() + 6) + fm.height() + 10};
    }
    case ControlKind::StripChart: return {full, std::max(120, panel.height() - 80)};
    case ControlKind::Canvas:
    case ControlKind::TabControl: return {std::min(full, 420), 250};
    case ControlKind::ListBox: return {std::min(full, 380), 150};
    case ControlKind::ScrollBar: return {16, 150};
    }
    return {100, 22};
}

// What an operator's change of a value sends: the change, then the commit.
void fireOperatorChange(int h, int id) {
    if (!operatorMayChange(h, id)) return;
    fireControl(h, id, EVENT_VAL_CHANGED);
    fireControl(h, id, EVENT_COMMIT);
}

// A press of a button; a display-only one is never pressed (a label's
// accelerator clicks its buddy past the gate, so this is checked here too).
void firePress(int h, int id) {
    if (operatorMayChange(h, id)) fireControl(h, id, EVENT_COMMIT);
}

}  // namespace

void createControlWidget(PanelRec& panel, ControlRec& c, QWidget* content) {
    const int h = panel.handle, id = c.id;
    const ControlDef& d = c.def;
    QWidget* w = nullptr;
    switch (d.kind) {
    case ControlKind::CommandButton: {
        auto* b = new QPushButton(mnemonicText(d.label), content);
        QObject::connect(b, &QPushButton::clicked, b, [h, id] { firePress(h, id); });
        w = b;
        break;
    }
    case ControlKind::PictureButton: {
        auto* b = new QToolButton(content);
        b->setArrowType(Qt::LeftArrow);
        b->setToolTip(qs(plainLabel(d.label)));
        QObject::connect(b, &QToolButton::clicked, b, [h, id] { firePress(h, id); });
        w = b;
        break;
    }
    case ControlKind::Numeric:
    case ControlKind::String: {
        auto* e = new QLineEdit(content);
        if (d.kind == ControlKind::Numeric) e->setAlignment(Qt::AlignRight);
        if (d.monospace) e->setFont(QFont("DejaVu Sans Mono", 9));
        QObject::connect(e, &QLineEdit::editingFinished, e, [h, id, e] {
            if (!e->isModified()) return;
            e->setModified(false);
            PanelRec* p = findPanel(h);
            ControlRec* cr = findControl(h, id);
            if (!p || !cr || !operatorMayChange(h, id)) return;
            if (cr->def.kind == ControlKind::Numeric) {
                double v;
                if (!parseNumber(us(e->text()), cr->def.format, v)) {
                    refreshControl(*p, *cr);  // not a number: the old value stays
                    return;
                }
                cr->number = clampToType(v, cr->def.type, cr->def);
                refreshControl(*p, *cr);
            }
            fireOperatorChange(h, id);
        });
        w = e;
        break;
    }
    case ControlKind::TextMessage: {
        auto* l = new QLabel(content);
        l->setTextFormat(Qt::PlainText);
        w = l;
        break;
    }
    case ControlKind::TextBox: {
        auto* t = new TextBoxWidget(content);
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        if (d.monospace) t->setFont(QFont("DejaVu Sans Mono", 9));
        w = t;
        break;
    }
    case ControlKind::Ring: {
        auto* r = new QComboBox(content);
        QObject::connect(r, &QComboBox::activated, r, [h, id](int) { fireOperatorChange(h, id); });
        w = r;
        break;
    }
    case ControlKind::ListBox: {
        w = new ListBoxWidget(content, [h, id](int event, int row) {
            if (operatorMayChange(h, id)) fireControl(h, id, event, row);
        });
        break;
    }
    case ControlKind::BinarySwitch: {
        auto* b = new QPushButton(content);
        b->setCheckable(true);
        QObject::connect(b, &QPushButton::clicked, b, [h, id](bool on) {
            PanelRec* p = findPanel(h);
            ControlRec* cr = findControl(h, id);
            if (!p || !cr) return;
            if (!operatorMayChange(h, id)) {
                refreshControl(*p, *cr);  // back to the position the program set
                return;
            }
            cr->number = on ? cr->def.onValue : cr->def.offValue;
            refreshControl(*p, *cr);
            fireOperatorChange(h, id);
        });
        w = b;
        break;
    }
    case ControlKind::Led: w = new LedWidget(content); break;
    case ControlKind::Picture: w = new PictureWidget(content); break;
    case ControlKind::Decoration: {
        auto* f = new QFrame(content);
        f->setFrameShape(QFrame::Box);
        f->setFrameShadow(QFrame::Sunken);
        f->lower();
        w = f;
        break;
    }
    case ControlKind::Table: {
        auto* t = new QTableWidget(std::max(0, d.rows), std::max(0, d.columns), content);
        t->verticalHeader()->setDefaultSectionSize(QFontMetrics(t->font()).height() + 6);
        t->horizontalHeader()->setStretchLastSection(true);
        t->setProperty("tkFilling", false);
        QObject::connect(t, &QTableWidget::itemChanged, t, [h, id, t](QTableWidgetItem* item) {
            if (t->property("tkFilling").toBool() || !operatorMayChange(h, id)) return;
            fireControl(h, id, EVENT_COMMIT, item->row() + 1, item->column() + 1);
        });
        w = t;
        break;
    }
    case ControlKind::StripChart: w = new StripChartWidget(d.chart, content); break;
    case ControlKind::Canvas: {
        auto* f = new QFrame(content);
        f->setFrameShape(QFrame::StyledPanel);
        w = f;
        break;
    }
    case ControlKind::TabControl: w = new QTabWidget(content); break;
    case ControlKind::ScrollBar: {
        auto* s = new QScrollBar(Qt::Vertical, content);
        s->setProperty("tkSetting", false);
        QObject::connect(s, &QScrollBar::valueChanged, s, [h, id, s](int) {
            if (s->property("tkSetting").toBool() || !operatorMayChange(h, id)) return;
            fireControl(h, id, s->isSliderDown() ? EVENT_VAL_CHANGED : EVENT_COMMIT);
        });
        QObject::connect(s, &QScrollBar::sliderReleased, s, [h, id] {
            if (operatorMayChange(h, id)) fireControl(h, id, EVENT_COMMIT);
        });
        w = s;
        break;
    }
    }
    w->setObjectName(qs(d.constant));
    c.widget = w;
    guardOperatorInput(h, c);
    if (d.kind == ControlKind::Ring || d.kind == ControlKind::ListBox) fillItemWidget(c);

    if (hasLabelAbove(c) || labelBeside(c)) {
        auto* l = new QLabel(mnemonicText(d.label), content);
        l->setBuddy(w);
        c.label = l;
    }
}

// Lays out a control that has no position hint, flowing left to right.
void placeControl(PanelRec& panel, ControlRec& c, QPoint& cursor, int& rowHeight, QSize size) {
    QWidget* w = c.widget;
    if (!w) return;
    Geometry g = c.def.geometry;
    QFontMetrics fm(w->font());
    int labelH = hasLabelAbove(c) ? fm.height() + 2 : 0;
    if (g.width <= 0 || g.height <= 0) {
        QSize n = naturalSize(c, fm, size);
        if (g.width <= 0) g.width = n.width();
        if (g.height <= 0) g.height = n.height();
    }
    if (g.top <= 0 && g.left <= 0 && g.width > 0 && g.height > 0) {
        int extraW = labelBeside(c) ? fm.horizontalAdvance(qs(plainLabel(c.def.label))) + 8 : 0;
        int cellW = std::max(g.width + extraW, labelH ? fm.horizontalAdvance(qs(plainLabel(c.def.label))) : 0);
        if (cursor.x() > 10 && cursor.x() + cellW > size.width() - 10) {
            cursor = QPoint(10, cursor.y() + rowHeight + 10);
            rowHeight = 0;
        }
        g.left = cursor.x();
        g.top = cursor.y() + labelH;
        cursor.rx() += cellW + 12;
        rowHeight = std::max(rowHeight, g.height + labelH);
    }
    w->setGeometry(g.left, g.top, g.width, g.height);
    if (c.label) {
        QSize ls = c.label->sizeHint();
        if (labelBeside(c))
            c.label->setGeometry(g.left + g.width + 6, g.top + (g.height - ls.height()) / 2, ls.width(), ls.height());
        else c.label->setGeometry(g.left, g.top - ls.height() - 1, std::max(ls.width(), 10), ls.height());
    }
    (void)panel;
}

// A style sheet set again, even the same one, makes Qt work out the
// widget's whole style anew: a value shown with every portion of frames
// would pay that each time.
namespace {
void restyle(QWidget* w, const QString& sheet) {
    if (w->styleSheet() != sheet) w->setStyleSheet(sheet);
}
}  // namespace

void refreshControl(PanelRec& panel, ControlRec& c) {
    (void)panel;
    QWidget* w = c.widget;
    if (!w) return;
    const ControlDef& d = c.def;
    applyOperatorMode(c);
    switch (d.kind) {
    case ControlKind::Numeric: {
        auto* e = static_cast<QLineEdit*>(w);
        e->setText(qs(formatNumber(c.number, d.type, d.format)));
        e->setModified(false);
        restyle(e, styleFor("QLineEdit", c));
        break;
    }
    case ControlKind::String: restyle(w, styleFor("QLineEdit", c)); break;
    case ControlKind::TextBox: restyle(w, styleFor("QPlainTextEdit", c)); break;
    case ControlKind::TextMessage: restyle(w, QString("QLabel { color: %1; }").arg(colorName(c.textColor))); break;
    case ControlKind::BinarySwitch: {
        auto* b = static_cast<QPushButton*>(w);
        bool on = c.number == d.onValue;
        b->setChecked(on);
        b->setText(qs(on ? d.onText : d.offText));
        break;
    }
    case ControlKind::Led: static_cast<LedWidget*>(w)->setOn(c.number != 0); break;
    case ControlKind::Decoration:
        restyle(w, c.emphasis ? "QFrame { border: 2px solid #3060C0; background: #E8F0FF; }" : "");
        break;
    default: break;
    }
    w->setEnabled(!c.dimmed);
    w->setHidden(!c.visible);
    if (c.label) {
        c.label->setEnabled(!c.dimmed);
        c.label->setHidden(!c.visible);
    }
}

void resetControlState(PanelRec& panel, ControlRec& c) {
    QWidget* w = c.widget;
    const ControlDef& d = c.def;
    switch (d.kind) {
    case ControlKind::Numeric: c.number = clampToType(d.defaultNumber, d.type, d); break;
    case ControlKind::String: static_cast<QLineEdit*>(w)->setText(qs(d.defaultText)); break;
    case ControlKind::TextMessage: static_cast<QLabel*>(w)->setText(qs(d.defaultText)); break;
    case ControlKind::TextBox: {
        auto* box = static_cast<TextBoxWidget*>(w);
        box->dropPending();
        box->setPlainText(qs(d.defaultText));
        break;
    }
    case ControlKind::BinarySwitch: c.number = d.defaultNumber == d.onValue ? d.onValue : d.offValue; break;
    case ControlKind::Led: c.number = d.defaultNumber != 0 ? 1 : 0; break;
    case ControlKind::Ring:
    case ControlKind::ListBox: {
        int index = c.items.empty() ? -1 : 0;
        for (size_t i = 0; i < c.items.size(); ++i)
            if (c.items[i].value == d.defaultNumber) {
                index = int(i);
                break;
            }
        if (d.kind == ControlKind::Ring) static_cast<QComboBox*>(w)->setCurrentIndex(index);
        else static_cast<QListWidget*>(w)->setCurrentRow(index);
        break;
    }
    case ControlKind::Table: {
        auto* t = static_cast<QTableWidget*>(w);
        t->setProperty("tkFilling", true);
        for (int r = 0; r < t->rowCount(); ++r)
            for (int col = 0; col < t->columnCount(); ++col) {
                auto* item = t->item(r, col);
                if (!item) t->setItem(r, col, item = new QTableWidgetItem);
                item->setText(qs(d.defaultText));
            }
        t->setProperty("tkFilling", false);
        break;
    }
    case ControlKind::StripChart: static_cast<StripChartWidget*>(w)->clear(); break;
    case ControlKind::ScrollBar: {
        auto* s = static_cast<QScrollBar*>(w);
        s->setProperty("tkSetting", true);
        s->setValue(int(d.defaultNumber));
        s->setProperty("tkSetting", false);
        break;
    }
    default: break;
    }
    refreshControl(panel, c);
}

}  // namespace tk::detail

namespace tk::detail {

namespace {

int selectedRow(const QComboBox* r) { return r->currentIndex(); }
int selectedRow(const QListWidget* l) { return l->currentRow(); }
void selectRow(QComboBox* r, int index) { r->setCurrentIndex(index); }
void selectRow(QListWidget* l, int index) { l->setCurrentRow(index); }

// Refills a ring or list box with the control's items; the selected row
// stays where it was, moved back into the items when they got fewer.
template <class Widget>
void refill(Widget* w, const std::vector<ItemDef>& items) {
    int index = selectedRow(w);
    w->clear();
    for (const auto& i : items) w->addItem(qs(i.label));
    if (index >= int(items.size())) index = int(items.size()) - 1;
    if (index < 0 && !items.empty()) index = 0;
    selectRow(w, index);
}

}  // namespace

void fillItemWidget(ControlRec& c) {
    if (c.def.kind == ControlKind::Ring) refill(static_cast<QComboBox*>(c.widget.data()), c.items);
    else if (c.def.kind == ControlKind::ListBox) refill(static_cast<QListWidget*>(c.widget.data()), c.items);
}

}  // namespace tk::detail

// What of the operator's input reaches a control. An input control gets all
// of it and reports its focus changes to its callback. A display-only
// control is written by the program alone: the operator can neither change
// it nor raise its callback with anything done to it. Numerics, strings and
// text boxes are read-only there (text can still be selected and copied),
// tables open no cell editor (they still scroll); these take the focus from
// a click but not from Tab. Every other kind gets no mouse, key, wheel,
// shortcut or drop event at all and no focus.
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "toolkit_state.h"

namespace tk::detail {
namespace {

// Kinds whose own widget has a read-only mode that keeps scrolling and
// copying; the rest are closed to the operator completely.
bool readOnlyOfItsOwn(ControlKind kind) {
    return kind == ControlKind::Numeric || kind == ControlKind::String || kind == ControlKind::TextBox ||
           kind == ControlKind::Table;
}

bool isOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease: return true;
    default: return false;
    }
}

bool displayOnly(int panel, int control) {
    const ControlRec* c = findControl(panel, control);
    return c && c->mode == MODE_DISPLAY_ONLY;
}

class OperatorGate : public QObject {
public:
    OperatorGate(int panel, int control, bool reportsFocus, QObject* parent)
        : QObject(parent), panel_(panel), control_(control), reportsFocus_(reportsFocus) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        const ControlRec* c = findControl(panel_, control_);
        if (!c) return QObject::eventFilter(watched, e);
        const bool closed = c->mode == MODE_DISPLAY_ONLY;
        if (reportsFocus_ && !closed) {
            if (e->type() == QEvent::FocusIn) fireControl(panel_, control_, EVENT_GOT_FOCUS);
            if (e->type() == QEvent::FocusOut) fireControl(panel_, control_, EVENT_LOST_FOCUS);
        }
        if (closed && !readOnlyOfItsOwn(c->def.kind) && isOperatorInput(e->type())) return true;
        return QObject::eventFilter(watched, e);
    }

private:
    int panel_, control_;
    bool reportsFocus_;
};

// Writes an edited cell into the table only while the table takes input: an
// editor left open when the program makes the table display-only changes
// nothing when it closes.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(int panel, int control, QObject* parent)
        : QStyledItemDelegate(parent), panel_(panel), control_(control) {}
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (!displayOnly(panel_, control_)) QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    int panel_, control_;
};

constexpr QAbstractItemView::EditTriggers kCellEditTriggers = QAbstractItemView::DoubleClicked |
                                                              QAbstractItemView::EditKeyPressed |
                                                              QAbstractItemView::AnyKeyPressed;

}  // namespace

void guardOperatorInput(int panel, ControlRec& c) {
    QWidget* w = c.widget;
    if (!w) return;
    w->setProperty("tkInputFocus", int(w->focusPolicy()));
    w->installEventFilter(new OperatorGate(panel, c.id, true, w));
    // Item views and text boxes take the mouse in their viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
        area->viewport()->installEventFilter(new OperatorGate(panel, c.id, false, area));
    if (auto* table = qobject_cast<QTableWidget*>(w)) table->setItemDelegate(new CellDelegate(panel, c.id, table));
}

void applyOperatorMode(ControlRec& c) {
    QWidget* w = c.widget;
    if (!w) return;
    const bool input = c.mode == MODE_INPUT;
    const QVariant policy = w->property("tkInputFocus");
    const auto inputFocus = policy.isValid() ? Qt::FocusPolicy(policy.toInt()) : w->focusPolicy();
    switch (c.def.kind) {
    case ControlKind::Numeric:
    case ControlKind::String: static_cast<QLineEdit*>(w)->setReadOnly(!input); break;
    case ControlKind::TextBox: static_cast<QPlainTextEdit*>(w)->setReadOnly(!input); break;
    case ControlKind::Table:
        static_cast<QTableWidget*>(w)->setEditTriggers(input ? kCellEditTriggers : QAbstractItemView::NoEditTriggers);
        break;
    default: {
        w->setFocusPolicy(input ? inputFocus : Qt::NoFocus);
        if (input) break;
        // What the operator had begun on it ends here.
        if (w->hasFocus()) w->clearFocus();
        if (auto* ring = qobject_cast<QComboBox*>(w)) ring->hidePopup();
        if (auto* bar = qobject_cast<QScrollBar*>(w)) bar->setSliderDown(false);
        return;
    }
    }
    // A read-only field is reached with the mouse (to copy its text, to
    // scroll), not with Tab: a window does not open with it focused.
    w->setFocusPolicy(input ? inputFocus : Qt::ClickFocus);
}

bool operatorMayChange(int panel, int control) { return !displayOnly(panel, control); }

}  // namespace tk::detail

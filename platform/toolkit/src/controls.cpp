// Control values and attributes.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <cmath>
#include <limits>

#include "custom_widgets.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {

void placeLabel(ControlRec& c) {
    if (!c.label || !c.widget) return;
    QRect g = c.widget->geometry();
    QSize ls = c.label->sizeHint();
    if (c.def.kind == ControlKind::Led || c.def.kind == ControlKind::PictureButton)
        c.label->setGeometry(g.right() + 7, g.top() + (g.height() - ls.height()) / 2, ls.width(), ls.height());
    else c.label->setGeometry(g.left(), g.top() - ls.height() - 1, std::max(ls.width(), 10), ls.height());
}

namespace {

bool isTextKind(ControlKind k) {
    return k == ControlKind::String || k == ControlKind::TextMessage || k == ControlKind::TextBox;
}

int currentIndex(const ControlRec& c) {
    if (c.def.kind == ControlKind::Ring) return static_cast<QComboBox*>(c.widget.data())->currentIndex();
    return static_cast<QListWidget*>(c.widget.data())->currentRow();
}

int setNumber(int panel, int control, double v) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    switch (c->def.kind) {
    case ControlKind::Numeric: c->number = clampToType(v, c->def.type, c->def); break;
    case ControlKind::Ring:
    case ControlKind::ListBox: {
        for (size_t i = 0; i < c->items.size(); ++i) {
            if (c->items[i].value != v) continue;
            if (c->def.kind == ControlKind::Ring) static_cast<QComboBox*>(c->widget.data())->setCurrentIndex(int(i));
            else static_cast<QListWidget*>(c->widget.data())->setCurrentRow(int(i));
            return OK;
        }
        return ERR_RANGE;
    }
    case ControlKind::BinarySwitch:
        if (v != c->def.onValue && v != c->def.offValue) return ERR_RANGE;
        c->number = v;
        break;
    case ControlKind::Led: c->number = v != 0 ? 1 : 0; break;
    case ControlKind::ScrollBar: {
        auto* s = static_cast<QScrollBar*>(c->widget.data());
        s->setProperty("tkSetting", true);
        s->setValue(int(std::lround(v)));
        s->setProperty("tkSetting", false);
        return OK;
    }
    default: return isTextKind(c->def.kind) ? ERR_TYPE : ERR_KIND;
    }
    refreshControl(*p, *c);
    return OK;
}

int getNumber(int panel, int control, double& v, bool& isDouble) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    isDouble = c->def.type == ValueType::Double;
    switch (c->def.kind) {
    case ControlKind::Numeric:
    case ControlKind::BinarySwitch:
    case ControlKind::Led: v = c->number; return OK;
    case ControlKind::Ring:
    case ControlKind::ListBox: {
        int i = currentIndex(*c);
        if (i < 0 || i >= int(c->items.size())) return ERR_RANGE;
        v = c->items[size_t(i)].value;
        return OK;
    }
    case ControlKind::ScrollBar: v = static_cast<QScrollBar*>(c->widget.data())->value(); return OK;
    default: return isTextKind(c->def.kind) ? ERR_TYPE : ERR_KIND;
    }
}

template <typename T>
int getInteger(int panel, int control, T& out) {
    double v;
    bool isDouble;
    if (int r = getNumber(panel, control, v, isDouble)) return r;
    if (isDouble) return ERR_TYPE;
    if (v < double(std::numeric_limits<T>::min()) || v > double(std::numeric_limits<T>::max())) return ERR_RANGE;
    out = T(std::llround(v));
    return OK;
}

// A control that holds text: the string, text message and text box kinds.
// Kinds that hold a number are the wrong type; the rest are no value at all.
int textControl(int panel, int control, ControlRec*& c) {
    PanelRec* p;
    if (int r = lookup(panel, control, p, c)) return r;
    switch (c->def.kind) {
    case ControlKind::String:
    case ControlKind::TextMessage:
    case ControlKind::TextBox: return OK;
    case ControlKind::Numeric:
    case ControlKind::Ring:
    case ControlKind::ListBox:
    case ControlKind::BinarySwitch:
    case ControlKind::Led:
    case ControlKind::ScrollBar: return ERR_TYPE;
    default: return ERR_KIND;
    }
}

int setText(int panel, int control, std::string_view text) {
    ControlRec* c;
    if (int r = textControl(panel, control, c)) return r;
    if (c->def.kind == ControlKind::String) static_cast<QLineEdit*>(c->widget.data())->setText(qs(text));
    else if (c->def.kind == ControlKind::TextMessage) static_cast<QLabel*>(c->widget.data())->setText(qs(text));
    else {
        auto* box = static_cast<TextBoxWidget*>(c->widget.data());
        box->dropPending();
        box->setPlainText(qs(text));
    }
    return OK;
}

}  // namespace
}  // namespace detail

using namespace detail;

int setValue(int panel, int control, int value) { return setNumber(panel, control, value); }
int setValue(int panel, int control, unsigned value) { return setNumber(panel, control, value); }
int setValue(int panel, int control, long value) { return setNumber(panel, control, double(value)); }
int setValue(int panel, int control, unsigned long value) { return setNumber(panel, control, double(value)); }
int setValue(int panel, int control, long long value) { return setNumber(panel, control, double(value)); }
int setValue(int panel, int control, unsigned long long value) { return setNumber(panel, control, double(value)); }
int setValue(int panel, int control, double value) { return setNumber(panel, control, value); }
int setValue(int panel, int control, std::string_view text) { return setText(panel, control, text); }
int setValue(int panel, int control, const char* text) {
    if (!text) return ERR_ARGUMENT;
    return setText(panel, control, text);
}

int getValue(int panel, int control, int& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, unsigned& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, short& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, unsigned short& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, long& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, unsigned long& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, long long& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, unsigned long long& value) { return getInteger(panel, control, value); }
int getValue(int panel, int control, double& value) {
    bool isDouble;
    return getNumber(panel, control, value, isDouble);
}

int getValue(int panel, int control, std::string& text) {
    ControlRec* c;
    if (int r = textControl(panel, control, c)) return r;
    if (c->def.kind == ControlKind::String) text = us(static_cast<QLineEdit*>(c->widget.data())->text());
    else if (c->def.kind == ControlKind::TextMessage) text = us(static_cast<QLabel*>(c->widget.data())->text());
    else {
        auto* box = static_cast<TextBoxWidget*>(c->widget.data());
        box->takePending();
        text = us(box->toPlainText());
    }
    return OK;
}

int getDisplayText(int panel, int control, std::string& text) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    switch (c->def.kind) {
    case ControlKind::Numeric: text = formatNumber(c->number, c->def.type, c->def.format); return OK;
    case ControlKind::String:
    case ControlKind::TextMessage:
    case ControlKind::TextBox: return getValue(panel, control, text);
    case ControlKind::Ring:
    case ControlKind::ListBox: {
        int i = currentIndex(*c);
        text = (i >= 0 && i < int(c->items.size())) ? c->items[size_t(i)].label : std::string();
        return OK;
    }
    case ControlKind::BinarySwitch: text = c->number == c->def.onValue ? c->def.onText : c->def.offText; return OK;
    case ControlKind::Led: text.assign(1, c->number != 0 ? '1' : '0'); return OK;
    case ControlKind::ScrollBar: text = std::to_string(static_cast<QScrollBar*>(c->widget.data())->value()); return OK;
    case ControlKind::CommandButton:
    case ControlKind::PictureButton: text = plainLabel(c->def.label); return OK;
    default: return ERR_KIND;
    }
}

int setAttribute(int panel, int control, int attribute, int value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    QWidget* w = c->widget;
    int v = value;
    if (int r = kindAttribute(*p, *c, attribute, true, v); r != ERR_ATTRIBUTE) return r;
    switch (attribute) {
    case ATTR_DIMMED: c->dimmed = value != 0; break;
    case ATTR_VISIBLE: c->visible = value != 0; break;
    case ATTR_TEXT_COLOR: c->textColor = value; break;
    case ATTR_TEXT_BGCOLOR:
    case ATTR_BACKCOLOR: c->textBgColor = value; break;
    case ATTR_CTRL_MODE:
        if (value != MODE_INPUT && value != MODE_DISPLAY_ONLY) return ERR_RANGE;
        c->mode = value;
        break;
    case ATTR_TOP:
        w->move(w->x(), value);
        placeLabel(*c);
        return OK;
    case ATTR_LEFT:
        w->move(value, w->y());
        placeLabel(*c);
        return OK;
    case ATTR_HEIGHT:
        if (value < 0) return ERR_RANGE;
        w->resize(w->width(), value);
        placeLabel(*c);
        return OK;
    case ATTR_WIDTH:
        if (value < 0) return ERR_RANGE;
        w->resize(value, w->height());
        placeLabel(*c);
        return OK;
    case ATTR_EMPHASIS: c->emphasis = value; break;
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
    case ATTR_INCR_VALUE: return setAttribute(panel, control, attribute, double(value));
    default:
        if (attribute >= 0 && attribute < 100000) {
            c->platformAttrs[attribute] = value;
            // Decorations take the platform's emphasis code as their emphasis.
            if (attribute == 610 && c->def.kind == ControlKind::Decoration) {
                c->emphasis = value;
                break;
            }
            return OK;
        }
        return ERR_ATTRIBUTE;
    }
    refreshControl(*p, *c);
    return OK;
}

int setAttribute(int panel, int control, int attribute, double value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    if (c->def.kind == ControlKind::Numeric &&
        (attribute == ATTR_MIN_VALUE || attribute == ATTR_MAX_VALUE || attribute == ATTR_INCR_VALUE)) {
        if (attribute == ATTR_MIN_VALUE) c->def.min = value;
        if (attribute == ATTR_MAX_VALUE) c->def.max = value;
        if (attribute == ATTR_INCR_VALUE) c->def.step = value;
        c->number = clampToType(c->number, c->def.type, c->def);
        refreshControl(*p, *c);
        return OK;
    }
    if (c->def.kind == ControlKind::ScrollBar &&
        (attribute == ATTR_MIN_VALUE || attribute == ATTR_MAX_VALUE || attribute == ATTR_INCR_VALUE)) {
        auto* s = static_cast<QScrollBar*>(c->widget.data());
        s->setProperty("tkSetting", true);
        int v = int(std::lround(value));
        if (attribute == ATTR_MIN_VALUE) s->setMinimum(v);
        if (attribute == ATTR_MAX_VALUE) s->setMaximum(v);
        if (attribute == ATTR_INCR_VALUE) s->setSingleStep(v);
        s->setProperty("tkSetting", false);
        return OK;
    }
    if (attribute == ATTR_MIN_VALUE || attribute == ATTR_MAX_VALUE || attribute == ATTR_INCR_VALUE)
        return ERR_ATTRIBUTE;
    if (attribute == ATTR_Y_MIN || attribute == ATTR_Y_MAX) {
        if (c->def.kind != ControlKind::StripChart) return ERR_ATTRIBUTE;
        auto* chart = static_cast<StripChartWidget*>(c->widget.data());
        double lo = attribute == ATTR_Y_MIN ? value : chart->yMin();
        double hi = attribute == ATTR_Y_MAX ? value : chart->yMax();
        if (!(hi > lo)) return ERR_RANGE;
        chart->setYRange(lo, hi);
        return OK;
    }
    return setAttribute(panel, control, attribute, int(std::lround(value)));
}

int setAttribute(int panel, int control, int attribute, std::string_view value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    if (attribute != ATTR_LABEL_TEXT) return ERR_ATTRIBUTE;
    c->def.label = std::string(value);
    switch (c->def.kind) {
    case ControlKind::CommandButton:
        static_cast<QPushButton*>(c->widget.data())->setText(mnemonicText(value));
        return OK;
    case ControlKind::TextMessage: static_cast<QLabel*>(c->widget.data())->setText(qs(value)); return OK;
    default: break;
    }
    if (!c->label && c->widget) {
        c->label = new QLabel(c->widget->parentWidget());
        c->label->setBuddy(c->widget);
    }
    c->label->setText(mnemonicText(value));
    c->label->setHidden(!c->visible);
    placeLabel(*c);
    return OK;
}

int getAttribute(int panel, int control, int attribute, int& value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    QWidget* w = c->widget;
    if (int r = kindAttribute(*p, *c, attribute, false, value); r != ERR_ATTRIBUTE) return r;
    switch (attribute) {
    case ATTR_DIMMED: value = c->dimmed; return OK;
    case ATTR_VISIBLE: value = c->visible; return OK;
    case ATTR_TEXT_COLOR: value = c->textColor; return OK;
    case ATTR_TEXT_BGCOLOR:
    case ATTR_BACKCOLOR: value = c->textBgColor; return OK;
    case ATTR_CTRL_MODE: value = c->mode; return OK;
    case ATTR_TOP: value = w->y(); return OK;
    case ATTR_LEFT: value = w->x(); return OK;
    case ATTR_HEIGHT: value = w->height(); return OK;
    case ATTR_WIDTH: value = w->width(); return OK;
    case ATTR_EMPHASIS: value = c->emphasis; return OK;
    case ATTR_CONTROL_KIND: value = int(c->def.kind); return OK;
    case ATTR_DATA_TYPE: value = int(c->def.type); return OK;
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
    case ATTR_INCR_VALUE: {
        double d;
        if (int r = getAttribute(panel, control, attribute, d)) return r;
        value = int(std::lround(std::clamp(d, -2147483648.0, 2147483647.0)));
        return OK;
    }
    default:
        if (attribute >= 0 && attribute < 100000) {
            auto it = c->platformAttrs.find(attribute);
            value = it == c->platformAttrs.end() ? 0 : it->second;
            return OK;
        }
        return ERR_ATTRIBUTE;
    }
}

int getAttribute(int panel, int control, int attribute, double& value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    if (c->def.kind == ControlKind::Numeric) {
        auto limits = [&](bool low) {
            switch (c->def.type) {
            case ValueType::Int16: return low ? -32768.0 : 32767.0;
            case ValueType::UInt16: return low ? 0.0 : 65535.0;
            case ValueType::Int32: return low ? -2147483648.0 : 2147483647.0;
            case ValueType::UInt32: return low ? 0.0 : 4294967295.0;
            default: return low ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
            }
        };
        if (attribute == ATTR_MIN_VALUE) return value = c->def.min.value_or(limits(true)), OK;
        if (attribute == ATTR_MAX_VALUE) return value = c->def.max.value_or(limits(false)), OK;
        if (attribute == ATTR_INCR_VALUE) return value = c->def.step, OK;
    }
    if (c->def.kind == ControlKind::StripChart && (attribute == ATTR_Y_MIN || attribute == ATTR_Y_MAX)) {
        auto* chart = static_cast<StripChartWidget*>(c->widget.data());
        value = attribute == ATTR_Y_MIN ? chart->yMin() : chart->yMax();
        return OK;
    }
    if (c->def.kind == ControlKind::ScrollBar) {
        auto* s = static_cast<QScrollBar*>(c->widget.data());
        if (attribute == ATTR_MIN_VALUE) return value = s->minimum(), OK;
        if (attribute == ATTR_MAX_VALUE) return value = s->maximum(), OK;
        if (attribute == ATTR_INCR_VALUE) return value = s->singleStep(), OK;
    }
    if (attribute == ATTR_MIN_VALUE || attribute == ATTR_MAX_VALUE || attribute == ATTR_INCR_VALUE)
        return ERR_ATTRIBUTE;
    int v;
    if (int r = getAttribute(panel, control, attribute, v)) return r;
    value = v;
    return OK;
}

int getAttribute(int panel, int control, int attribute, std::string& value) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    switch (attribute) {
    case ATTR_LABEL_TEXT:
        value = c->def.kind == ControlKind::TextMessage ? us(static_cast<QLabel*>(c->widget.data())->text())
                                                        : plainLabel(c->def.label);
        return OK;
    case ATTR_CONSTANT_NAME: value = c->def.constant; return OK;
    default: return ERR_ATTRIBUTE;
    }
}

int resetControl(int panel, int control) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    resetControlState(*p, *c);
    return OK;
}

int callCallback(int panel, int control, int event, int eventData1, int eventData2) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    return fireControl(panel, control, event, eventData1, eventData2);
}

int setControlCallback(int panel, int control, ControlCallback callback) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    c->callback = callback;
    return OK;
}

int activeControl(int panel, int& control) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    control = 0;
    QWidget* f = p->window->focusWidget();
    for (auto& [id, c] : p->controls) {
        QWidget* w = c.widget;
        if (w && f && (w == f || w->isAncestorOf(f))) control = id;
    }
    if (!control && p->controls.count(p->activeControl)) control = p->activeControl;
    return OK;
}

int setActiveControl(int panel, int control) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, control, p, c)) return r;
    p->activeControl = control;  // kept for a panel not shown yet
    if (c->widget) c->widget->setFocus(Qt::OtherFocusReason);
    return OK;
}

}  // namespace tk

// Panel attributes: title, position, size, visibility, colours, and stored
// platform attribute codes.
#include <QApplication>

#include "panel_window.h"
#include "toolkit_state.h"

namespace tk {
using namespace detail;

namespace {
int findUi(int panel, PanelRec*& p) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    p = findPanel(panel);
    return p ? OK : ERR_PANEL;
}
}  // namespace

int setPanelAttribute(int panel, int attribute, int value) {
    PanelRec* p;
    if (int r = findUi(panel, p)) return r;
    PanelWindow* w = p->window;
    switch (attribute) {
    case ATTR_TOP: w->move(w->x(), value); return OK;
    case ATTR_LEFT: w->move(value, w->y()); return OK;
    case ATTR_HEIGHT:
        if (value < 0) return ERR_RANGE;
        w->setContentSize(value, w->width());
        return OK;
    case ATTR_WIDTH:
        if (value < 0) return ERR_RANGE;
        w->setContentSize(w->content()->height(), value);
        return OK;
    case ATTR_VISIBLE: return value ? displayPanel(panel) : hidePanel(panel);
    case ATTR_BACKCOLOR: {
        p->backColor = value;
        QPalette pal = w->content()->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(QRgb(unsigned(value) | 0xFF000000u)));
        w->content()->setPalette(pal);
        return OK;
    }
    case ATTR_CLOSE_CONTROL:
        if (value != 0 && !p->controls.count(value)) return ERR_CONTROL;
        p->closeControl = value;
        return OK;
    case ATTR_SIZABLE: p->platformAttrs[attribute] = value; return OK;
    default:
        if (attribute >= 0 && attribute < 100000) {
            p->platformAttrs[attribute] = value;
            return OK;
        }
        return ERR_ATTRIBUTE;
    }
}

int setPanelAttribute(int panel, int attribute, std::string_view value) {
    PanelRec* p;
    if (int r = findUi(panel, p)) return r;
    if (attribute != ATTR_TITLE) return ERR_ATTRIBUTE;
    p->window->setWindowTitle(qs(value));
    showExactTitle(p->window);
    return OK;
}

int getPanelAttribute(int panel, int attribute, int& value) {
    PanelRec* p;
    if (int r = findUi(panel, p)) return r;
    PanelWindow* w = p->window;
    switch (attribute) {
    case ATTR_TOP: value = w->y(); return OK;
    case ATTR_LEFT: value = w->x(); return OK;
    case ATTR_HEIGHT: value = w->content()->height(); return OK;
    case ATTR_WIDTH: value = w->content()->width(); return OK;
    case ATTR_VISIBLE: value = p->visible ? 1 : 0; return OK;
    case ATTR_BACKCOLOR: value = p->backColor; return OK;
    case ATTR_CLOSE_CONTROL: value = p->closeControl; return OK;
    case ATTR_PANEL_ID: value = p->panelId; return OK;
    case ATTR_POPUP: value = p->popup ? 1 : 0; return OK;
    case ATTR_ACTIVE: value = activePanel() == panel ? 1 : 0; return OK;
    default: {
        auto it = p->platformAttrs.find(attribute);
        if (it != p->platformAttrs.end()) {
            value = it->second;
            return OK;
        }
        if (attribute == ATTR_SIZABLE) {
            value = 1;
            return OK;
        }
        if (attribute >= 0 && attribute < 100000) {
            value = 0;  // never set
            return OK;
        }
        return ERR_ATTRIBUTE;
    }
    }
}

int getPanelAttribute(int panel, int attribute, std::string& value) {
    PanelRec* p;
    if (int r = findUi(panel, p)) return r;
    switch (attribute) {
    case ATTR_TITLE: value = us(p->window->windowTitle()); return OK;
    case ATTR_CONSTANT_NAME: value = p->constant; return OK;
    default: return ERR_ATTRIBUTE;
    }
}

}  // namespace tk

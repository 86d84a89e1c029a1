// Panels: building them from definitions, showing, pop-ups, discarding,
// callbacks and the close box.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include "custom_widgets.h"
#include "panel_window.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {

int& callbackDepth() {
    static int depth = 0;
    return depth;
}

void buryWindow(QWidget* window) {
    if (!window) return;
    window->hide();
    if (callbackDepth() == 0) {
        delete window;
        return;
    }
    state().graveyard.push_back(window);
}

void deleteBuried() {
    if (callbackDepth() != 0) return;
    auto graves = std::move(state().graveyard);
    state().graveyard.clear();
    for (auto& w : graves) delete w.data();
}

int fireControl(int panel, int control, int event, int data1, int data2) {
    if (callbacksHeld()) {
        holdCallback([=] { fireControl(panel, control, event, data1, data2); });
        return 0;
    }
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    auto it = p->controls.find(control);
    if (it == p->controls.end()) return ERR_CONTROL;
    ControlCallback cb = it->second.callback;
    if (!cb) return 0;
    void* data = p->callbackData;
    ++callbackDepth();
    int r = cb(panel, control, event, data, data1, data2);
    --callbackDepth();
    return r;
}

int firePanel(int panel, int event, int data1, int data2) {
    if (callbacksHeld()) {
        holdCallback([=] { firePanel(panel, event, data1, data2); });
        return 0;
    }
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (!p->callback) return 0;
    PanelCallback cb = p->callback;
    void* data = p->callbackData;
    ++callbackDepth();
    int r = cb(panel, event, data, data1, data2);
    --callbackDepth();
    return r;
}

void closeBoxPressed(int panel) {
    firePanel(panel, EVENT_CLOSE);
    PanelRec* p = findPanel(panel);
    // A display-only close control is not pressed: the operator cannot press it.
    if (p && p->closeControl && p->controls.count(p->closeControl) && operatorMayChange(panel, p->closeControl))
        fireControl(panel, p->closeControl, EVENT_COMMIT);
}

bool panelShown(const PanelRec& p) {
    if (p.isPage) {
        const PanelRec* owner = findPanel(p.parent);
        return owner && panelShown(*owner);
    }
    return p.visible && p.window && p.window->isVisible();
}

int topPopup() {
    auto& pops = state().popups;
    return pops.empty() ? 0 : pops.back();
}

namespace {

ValueType naturalType(const ControlDef& d) {
    if (d.type != ValueType::None) return d.type;
    switch (d.kind) {
    case ControlKind::Numeric:
    case ControlKind::Ring:
    case ControlKind::ListBox:
    case ControlKind::BinarySwitch:
    case ControlKind::Led:
    case ControlKind::ScrollBar: return ValueType::Int32;
    case ControlKind::String:
    case ControlKind::TextMessage:
    case ControlKind::TextBox: return ValueType::String;
    default: return ValueType::None;
    }
}

}  // namespace

ControlRec makeControlRec(const ControlDef& d) {
    ControlRec c;
    c.id = d.id;
    c.def = d;
    c.def.type = naturalType(d);
    c.dimmed = (d.flags & StartsDimmed) != 0;
    c.visible = (d.flags & StartsHidden) == 0;
    c.mode = (d.flags & DisplayOnly) ? MODE_DISPLAY_ONLY : MODE_INPUT;
    c.items = d.items;
    return c;
}

namespace {

// Builds a panel from its definition. pageHost non-null makes it a tab page.
int buildPanel(int parent, const std::string& resource, const PanelDef& def, const Bindings* bindings,
               QTabWidget* pageHost, std::string_view tabLabel) {
    State& s = state();
    auto rec = std::make_unique<PanelRec>();
    PanelRec& p = *rec;
    p.handle = s.nextPanel++;
    p.parent = parent;
    p.panelId = def.id;
    p.resource = resource;
    p.constant = def.constant;
    p.closeControl = def.closeControl;
    p.isPage = pageHost != nullptr;
    p.loadSerial = ++s.serial;

    QWidget* parentWidget = nullptr;
    if (PanelRec* owner = findPanel(parent); owner && !pageHost) parentWidget = owner->window;
    p.window = new PanelWindow(p.handle, pageHost ? nullptr : parentWidget, pageHost != nullptr);
    p.window->setWindowTitle(qs(def.title));
    p.window->setObjectName(qs(def.constant));
    {
        QPalette pal = p.window->content()->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(QRgb(unsigned(p.backColor) | 0xFF000000u)));
        p.window->content()->setPalette(pal);
    }

    if (!def.callback.empty()) {
        const Callback* b = findBinding(resource, bindings, def.callback);
        if (b && b->panel) p.callback = b->panel;
        else noteUnbound(resource, def.callback);
    }
    s.panels[p.handle] = std::move(rec);
    if (PanelRec* owner = findPanel(parent)) owner->children.push_back(p.handle);

    QSize size(def.width, def.height);
    QPoint cursor(10, 10);
    int rowHeight = 0;
    for (const ControlDef& d : def.controls) {
        if (d.id <= 0 || p.controls.count(d.id)) continue;  // a bad or repeated id is skipped
        ControlRec c = makeControlRec(d);
        if (!d.callback.empty()) {
            const Callback* b = findBinding(resource, bindings, d.callback);
            if (b && b->control) c.callback = b->control;
            else noteUnbound(resource, d.callback);
        }
        ControlRec& cr = p.controls[d.id] = std::move(c);
        p.order.push_back(d.id);
        createControlWidget(p, cr, p.window->content());
        placeControl(p, cr, cursor, rowHeight, size);
        resetControlState(p, cr);
    }
    // The window is at least as large as defined, and large enough for what it holds.
    QRect box;
    for (QWidget* w : p.window->content()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        box |= w->geometry();
    int height = std::max(def.height, box.bottom() + 11);
    int width = std::max(def.width, box.right() + 11);
    p.window->setContentSize(height, width);

    if (pageHost) {
        pageHost->addTab(p.window, qs(tabLabel.empty() ? std::string_view(def.title) : tabLabel));
        p.visible = true;
    }
    if (def.menuBar) {
        int bar = loadMenuBar(p.handle, resource, def.menuBar, bindings);
        if (bar < 0) {
            discardPanel(p.handle);
            return bar;
        }
    }
    return p.handle;
}

const PanelDef* findPanelDef(const ResourceDef& r, int id) {
    for (const auto& p : r.panels)
        if (p.id == id) return &p;
    return nullptr;
}

int checkUi() {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    return OK;
}

}  // namespace

void scheduleScreenshot(int panel) {
    if (state().screenshotDir.empty()) return;
    QTimer::singleShot(0, QCoreApplication::instance(), [panel] {
        PanelRec* p = findPanel(panel);
        if (!p || !panelShown(*p)) return;
        std::string base = p->constant.empty() ? "panel" : p->constant;
        int n = ++state().screenshotCounts[base];
        if (n > 1) base += "_" + std::to_string(n);
        grabPanel(*p, QDir(qs(state().screenshotDir)).filePath(qs(base) + ".png"));
    });
}

void takePendingLines(PanelRec& p) {
    for (auto& [id, c] : p.controls)
        if (c.def.kind == ControlKind::TextBox && c.widget) static_cast<TextBoxWidget*>(c.widget.data())->takePending();
}

int grabPanel(PanelRec& p, const QString& path) {
    if (!p.window) return ERR_PANEL;
    // The picture shows every line appended so far.
    takePendingLines(p);
    QPixmap pm = p.window->grab();
    return pm.save(path, "PNG") ? OK : ERR_IO;
}

}  // namespace detail

using namespace detail;

namespace {

// Shown from now on; the panel shown last counts as the one on top.
void markShown(PanelRec& p) {
    p.visible = true;
    p.displaySerial = ++state().serial;
}

// A panel built to be centred goes to the middle of the screen it is on
// (its owner's screen, else the primary one) the first time it is shown.
void centreOnScreen(PanelRec& p) {
    if (!p.centreTop && !p.centreLeft) return;
    QScreen* screen = p.window->screen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QSize size = p.window->frameGeometry().size();
    int left = p.window->x(), top = p.window->y();
    if (p.centreLeft) left = free.left() + std::max(0, (free.width() - size.width()) / 2);
    if (p.centreTop) top = free.top() + std::max(0, (free.height() - size.height()) / 2);
    p.window->move(left, top);
    p.centreTop = p.centreLeft = false;
}

int bringToFront(PanelRec& p, int panel) {
    centreOnScreen(p);
    if (!p.window->isVisible()) p.awaitingDraw = true;
    p.window->show();
    showExactTitle(p.window);
    p.window->raise();
    p.window->activateWindow();
    scheduleScreenshot(panel);
    return OK;
}

}  // namespace

int loadPanel(int parent, std::string_view resource, int panelId, const Bindings* bindings) {
    if (int r = checkUi()) return r;
    if (parent != 0 && !findPanel(parent)) return ERR_PANEL;
    auto& res = state().resources;
    auto it = res.find(std::string(resource));
    if (it == res.end()) return ERR_RESOURCE;
    const PanelDef* def = findPanelDef(it->second, panelId);
    if (!def) return ERR_PANEL_ID;
    return buildPanel(parent, it->first, *def, bindings, nullptr, {});
}

int makeTabPage(int panel, int canvasControl, std::string_view resource, int pageId, std::string_view tabLabel,
                const Bindings* bindings) {
    PanelRec* p;
    ControlRec* c;
    if (int r = lookup(panel, canvasControl, p, c)) return r;
    if (c->def.kind != ControlKind::Canvas) return ERR_KIND;
    auto& res = state().resources;
    auto it = res.find(std::string(resource));
    if (it == res.end()) return ERR_RESOURCE;
    const PanelDef* def = findPanelDef(it->second, pageId);
    if (!def) return ERR_PANEL_ID;

    QWidget* old = c->widget;
    auto* tabs = new QTabWidget(p->window->content());
    tabs->setObjectName(qs(c->def.constant));
    tabs->setGeometry(old->geometry());
    tabs->setHidden(!c->visible);
    delete old;
    c->widget = tabs;
    c->def.kind = ControlKind::TabControl;
    int page = buildPanel(panel, it->first, *def, bindings, tabs, tabLabel);
    if (page > 0) {
        // findControl again: building may have changed the panel's maps.
        if (ControlRec* cc = findControl(panel, canvasControl)) cc->pageHandle = page;
    }
    return page;
}

int displayPanel(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    markShown(*p);
    if (p->isPage) return OK;
    return bringToFront(*p, panel);
}

int hidePanel(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (p->popup) return removePopup(panel);
    p->visible = false;
    if (!p->isPage) p->window->hide();
    return OK;
}

int discardPanel(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    firePanel(panel, EVENT_DISCARD);
    p = findPanel(panel);  // the callback may have discarded it already
    if (!p) return OK;
    for (int child : std::vector<int>(p->children)) discardPanel(child);
    p = findPanel(panel);
    if (!p) return OK;
    if (p->menuBar) discardMenuBar(p->menuBar);
    auto& pops = state().popups;
    pops.erase(std::remove(pops.begin(), pops.end(), panel), pops.end());
    if (PanelRec* owner = findPanel(p->parent)) {
        auto& ch = owner->children;
        ch.erase(std::remove(ch.begin(), ch.end(), panel), ch.end());
    }
    std::unique_ptr<PanelRec> rec = std::move(state().panels[panel]);
    state().panels.erase(panel);
    if (rec->isPage) {
        rec->window->setParent(nullptr);
    }
    buryWindow(rec->window);
    return OK;
}

bool panelExists(int panel) { return initialised() && findPanel(panel) != nullptr; }

int installPopup(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (p->isPage) return ERR_ARGUMENT;
    auto& pops = state().popups;
    pops.erase(std::remove(pops.begin(), pops.end(), panel), pops.end());
    pops.push_back(panel);
    if (!p->popup) {
        p->popup = true;
        p->window->hide();  // modality takes effect when the window is shown again
        p->window->setWindowModality(Qt::ApplicationModal);
    }
    markShown(*p);
    return bringToFront(*p, panel);
}

int removePopup(int panel) {
    if (int r = checkUi()) return r;
    auto& pops = state().popups;
    if (panel == 0) {
        if (pops.empty()) return ERR_NOT_POPUP;
        panel = pops.back();
    }
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (!p->popup) return ERR_NOT_POPUP;
    pops.erase(std::remove(pops.begin(), pops.end(), panel), pops.end());
    p->popup = false;
    p->visible = false;
    p->window->hide();
    p->window->setWindowModality(Qt::NonModal);
    return OK;
}

int removeAllPopups() {
    if (int r = checkUi()) return r;
    while (!state().popups.empty()) removePopup(state().popups.back());
    return OK;
}

int activePanel() {
    if (checkUi()) return 0;
    if (int top = topPopup()) return top;
    QWidget* active = QApplication::activeWindow();
    PanelRec* best = nullptr;
    for (auto& [h, p] : state().panels) {
        if (p->isPage || !panelShown(*p)) continue;
        if (active && p->window == active) return h;
        if (!best || p->displaySerial > best->displaySerial) best = p.get();
    }
    return best ? best->handle : 0;
}

int setActivePanel(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (p->isPage) return OK;
    p->displaySerial = ++state().serial;
    p->window->raise();
    p->window->activateWindow();
    return OK;
}

int setPanelCallbackData(int panel, void* data) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    p->callbackData = data;
    return OK;
}

int getPanelCallbackData(int panel, void*& data) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    data = p->callbackData;
    return OK;
}

int setPanelCallback(int panel, PanelCallback callback) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    p->callback = callback;
    return OK;
}

int resetPanel(int panel) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    for (int id : p->order) resetControlState(*p, p->controls[id]);
    return OK;
}

int newPanel(int parent, std::string_view title, int top, int left, int height, int width, std::string_view constant) {
    if (int r = checkUi()) return r;
    if (parent != 0 && !findPanel(parent)) return ERR_PANEL;
    if (height < 0 || width < 0) return ERR_ARGUMENT;
    PanelDef def;
    def.constant = std::string(constant);
    def.title = std::string(title);
    def.height = height;
    def.width = width;
    int h = buildPanel(parent, "", def, nullptr, nullptr, {});
    if (h <= 0) return h;
    PanelRec* p = findPanel(h);
    p->centreTop = top == AUTO_CENTER;
    p->centreLeft = left == AUTO_CENTER;
    if (top > 0 || left > 0) p->window->move(std::max(left, 0), std::max(top, 0));
    return h;
}

int saveScreenshot(int panel, const std::string& path) {
    if (int r = checkUi()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    if (path.empty()) return ERR_ARGUMENT;
    return grabPanel(*p, qs(path));
}

std::string screenshotDirectory() { return state().screenshotDir; }

void setScreenshotDirectory(const std::string& dir) {
    state().screenshotDir = dir;
    if (!dir.empty()) QDir().mkpath(qs(dir));
}

}  // namespace tk

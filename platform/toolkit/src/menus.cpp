// Menu bars of panels: loaded from a resource or built in code.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "panel_window.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

MenuBarRec* findBar(int handle) {
    auto& bars = state().menuBars;
    auto it = bars.find(handle);
    return it == bars.end() ? nullptr : it->second.get();
}

int check() {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    return OK;
}

void chooseItem(int bar, int item) {
    if (callbacksHeld()) {
        holdCallback([=] { chooseItem(bar, item); });
        return;
    }
    MenuBarRec* b = findBar(bar);
    if (!b) return;
    auto it = b->items.find(item);
    if (it == b->items.end() || it->second.dimmed || !it->second.callback) return;
    MenuCallback cb = it->second.callback;
    PanelRec* p = findPanel(b->panel);
    void* data = p ? p->callbackData : nullptr;
    int panel = b->panel;
    ++callbackDepth();
    cb(bar, item, data, panel);
    --callbackDepth();
}

// Creates an empty bar on a panel, replacing one it had.
MenuBarRec* makeBar(PanelRec& p) {
    if (p.menuBar) discardMenuBar(p.menuBar);
    auto rec = std::make_unique<MenuBarRec>();
    rec->handle = state().nextMenuBar++;
    rec->panel = p.handle;
    rec->bar = new QMenuBar;
    p.window->setMenuBar(rec->bar);
    p.menuBar = rec->handle;
    MenuBarRec* r = rec.get();
    state().menuBars[r->handle] = std::move(rec);
    // Keep the content area's size: the window grows by the bar's height.
    QSize content = p.window->content()->size();
    p.window->setContentSize(content.height(), content.width());
    return r;
}

void addItem(MenuBarRec& b, int menu, MenuItemRec item) {
    QMenu* m = b.menus[menu];
    if (item.separator) {
        item.action = m->addSeparator();
    } else {
        item.action = m->addAction(mnemonicText(item.label));
        int bar = b.handle, id = item.id;
        QObject::connect(item.action.data(), &QAction::triggered, item.action.data(),
                         [bar, id] { chooseItem(bar, id); });
    }
    item.action->setObjectName(qs(item.constant));
    item.action->setEnabled(!item.dimmed);
    b.nextId = std::max(b.nextId, item.id + 1);
    b.items[item.id] = std::move(item);
}

// The menu bar of a call, once the toolkit may be used from here.
int usableBar(int menuBar, MenuBarRec*& b) {
    if (int r = check()) return r;
    b = findBar(menuBar);
    return b ? OK : ERR_MENU;
}

int usableMenu(int menuBar, int menu, MenuBarRec*& b) {
    if (int r = usableBar(menuBar, b)) return r;
    return b->menus.count(menu) ? OK : ERR_MENU;
}

// Adds a new item at the end of a menu, with the bar's next id; its id.
int appendItem(MenuBarRec& b, int menu, MenuItemRec item) {
    item.id = b.nextId;
    item.menu = menu;
    const int id = item.id;
    addItem(b, menu, std::move(item));
    return id;
}

int usableItem(int menuBar, int item, MenuItemRec*& i) {
    MenuBarRec* b;
    if (int r = usableBar(menuBar, b)) return r;
    auto it = b->items.find(item);
    if (it == b->items.end()) return ERR_MENU;
    i = &it->second;
    return OK;
}

}  // namespace
}  // namespace detail

using namespace detail;

int loadMenuBar(int panel, std::string_view resource, int barId, const Bindings* bindings) {
    if (int r = check()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    auto& res = state().resources;
    auto rit = res.find(std::string(resource));
    if (rit == res.end()) return ERR_RESOURCE;
    const MenuBarDef* def = nullptr;
    for (const auto& m : rit->second.menuBars)
        if (m.id == barId) def = &m;
    if (!def) return ERR_PANEL_ID;
    MenuBarRec* b = makeBar(*p);
    b->constant = def->constant;
    b->nextId = def->id + 1;
    for (const MenuDef& md : def->menus) {
        QMenu* m = b->bar->addMenu(mnemonicText(md.title));
        m->setObjectName(qs(md.constant));
        b->menus[md.id] = m;
        b->menuConstants[md.id] = md.constant;
        b->nextId = std::max(b->nextId, md.id + 1);
        for (const MenuItemDef& id : md.items) {
            MenuItemRec item;
            item.id = id.id;
            item.menu = md.id;
            item.constant = id.constant;
            item.label = id.label;
            item.separator = id.separator;
            item.dimmed = id.dimmed;
            if (!id.callback.empty()) {
                const Callback* cb = findBinding(rit->first, bindings, id.callback);
                if (cb && cb->menu) item.callback = cb->menu;
                else noteUnbound(rit->first, id.callback);
            }
            addItem(*b, md.id, std::move(item));
        }
    }
    return b->handle;
}

int getPanelMenuBar(int panel, int& menuBar) {
    if (int r = check()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    menuBar = p->menuBar;
    return OK;
}

int discardMenuBar(int menuBar) {
    MenuBarRec* b;
    if (int r = usableBar(menuBar, b)) return r;
    if (PanelRec* p = findPanel(b->panel)) {
        if (p->menuBar == menuBar) {
            p->menuBar = 0;
            QSize content = p->window->content()->size();
            p->window->setMenuBar(nullptr);
            p->window->setContentSize(content.height(), content.width());
        }
    }
    buryWindow(b->bar);
    state().menuBars.erase(menuBar);
    return OK;
}

int newMenuBar(int panel) {
    if (int r = check()) return r;
    PanelRec* p = findPanel(panel);
    if (!p) return ERR_PANEL;
    return makeBar(*p)->handle;
}

int newMenu(int menuBar, std::string_view title, std::string_view constant) {
    MenuBarRec* b;
    if (int r = usableBar(menuBar, b)) return r;
    int id = b->nextId++;
    QMenu* m = b->bar->addMenu(mnemonicText(title));
    m->setObjectName(qs(constant));
    b->menus[id] = m;
    b->menuConstants[id] = std::string(constant);
    return id;
}

int newMenuItem(int menuBar, int menu, std::string_view label, MenuCallback callback, std::string_view constant) {
    MenuBarRec* b;
    if (int r = usableMenu(menuBar, menu, b)) return r;
    MenuItemRec item;
    item.constant = std::string(constant);
    item.label = std::string(label);
    item.callback = callback;
    return appendItem(*b, menu, std::move(item));
}

int newMenuSeparator(int menuBar, int menu) {
    MenuBarRec* b;
    if (int r = usableMenu(menuBar, menu, b)) return r;
    MenuItemRec item;
    item.separator = true;
    return appendItem(*b, menu, std::move(item));
}

int setMenuItemAttribute(int menuBar, int item, int attribute, int value) {
    MenuItemRec* found;
    if (int r = usableItem(menuBar, item, found)) return r;
    MenuItemRec& i = *found;
    if (attribute == ATTR_DIMMED) {
        i.dimmed = value != 0;
        if (i.action) i.action->setEnabled(!i.dimmed);
        return OK;
    }
    if (attribute == ATTR_VISIBLE) {
        if (i.action) i.action->setVisible(value != 0);
        return OK;
    }
    if (attribute >= 0 && attribute < 100000) {
        i.platformAttrs[attribute] = value;
        return OK;
    }
    return ERR_ATTRIBUTE;
}

int getMenuItemAttribute(int menuBar, int item, int attribute, int& value) {
    MenuItemRec* found;
    if (int r = usableItem(menuBar, item, found)) return r;
    MenuItemRec& i = *found;
    if (attribute == ATTR_DIMMED) {
        value = i.dimmed;
        return OK;
    }
    if (attribute == ATTR_VISIBLE) {
        value = i.action ? i.action->isVisible() : 1;
        return OK;
    }
    if (attribute >= 0 && attribute < 100000) {
        auto pit = i.platformAttrs.find(attribute);
        value = pit == i.platformAttrs.end() ? 0 : pit->second;
        return OK;
    }
    return ERR_ATTRIBUTE;
}

int chooseMenuItem(int menuBar, int item) {
    MenuItemRec* found;
    if (int r = usableItem(menuBar, item, found)) return r;
    chooseItem(menuBar, item);
    return OK;
}

}  // namespace tk

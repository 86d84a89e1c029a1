// Menu bars. A menu bar is loaded from a resource (automatically when its
// panel names it in PanelDef::menuBar) or built in code. Menu bar handles are
// positive ints of their own; menus and items keep the ids of the resource.
#pragma once

#include <string_view>

#include "runtime.h"

namespace tk {

// Loads menu bar barId of the resource and attaches it to the panel.
// Returns the menu bar handle or a negative status.
int loadMenuBar(int panel, std::string_view resource, int barId, const Bindings* bindings = nullptr);
// The handle of the menu bar attached to a panel (0 if none).
int getPanelMenuBar(int panel, int& menuBar);
int discardMenuBar(int menuBar);

// Built in code: each returns the new menu/item id or a negative status.
int newMenuBar(int panel);
int newMenu(int menuBar, std::string_view title, std::string_view constant = {});
int newMenuItem(int menuBar, int menu, std::string_view label, MenuCallback callback, std::string_view constant = {});
int newMenuSeparator(int menuBar, int menu);

// ATTR_DIMMED, ATTR_LABEL_TEXT (and stored platform codes) of a menu item.
int setMenuItemAttribute(int menuBar, int item, int attribute, int value);
int getMenuItemAttribute(int menuBar, int item, int attribute, int& value);

// Runs a menu item's callback as if chosen (dimmed items do nothing).
int chooseMenuItem(int menuBar, int item);

}  // namespace tk

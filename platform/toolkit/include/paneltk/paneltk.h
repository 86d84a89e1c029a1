// The panel toolkit: panels loaded from resources defined as C++ tables,
// controls addressed by (panel, control id), callbacks, pop-ups, menu bars,
// event processing, deferred calls, a timer, headless scripting and
// screenshots. No Qt type appears in these headers.
//
// How a program declares a resource and binds its callbacks: see the example
// at the top of panel_resource.h. In short:
//   1. describe the panels in a tk::ResourceDef and tk::registerResource() it;
//   2. pass a tk::Bindings table ({"name", function}, ...) to tk::loadPanel
//      (or register it once with tk::bindCallbacks(resource, bindings));
//   3. set the panel's callback data (tk::setPanelCallbackData), display it,
//      and turn the loop: tk::processEvents(); tk::waitEvents();
#pragma once

#include "controls.h"
#include "menus.h"
#include "panel_resource.h"
#include "panels.h"
#include "popups.h"
#include "runtime.h"
#include "script.h"
#include "text_cp1251.h"

// A window shows exactly the title it was given, an empty one included. On
// X11 Qt names a window with an empty title after the program instead; the
// window's name properties are emptied again once Qt has set them.
#include <QGuiApplication>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include "toolkit_state.h"

namespace tk::detail {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0,
                                                            static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

}  // namespace

void showExactTitle(QWidget* window) {
    if (!window || !window->isWindow() || !window->windowTitle().isEmpty() ||
        !window->testAttribute(Qt::WA_WState_Created))
        return;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;  // another window system: it shows the title as given
    const auto id = static_cast<xcb_window_t>(window->winId());
    static const xcb_atom_t netName = atom(connection, "_NET_WM_NAME");
    static const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netName, utf8, 8, 0, nullptr);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
}

}  // namespace tk::detail

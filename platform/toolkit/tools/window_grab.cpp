// window_grab TITLE OUT.png [PAUSE_MS [WAIT_MS]]: saves what the X server
// shows of a program's window, from outside that program, so a screenshot
// can be taken while the program is busy in a long call. Waits up to WAIT_MS
// (default 20000) for a mapped top-level window titled TITLE, then PAUSE_MS
// (default 0) more, then grabs it. Exit status 0 when saved, 1 when no such
// window appeared or the file could not be written, 2 on bad use or without
// an X server.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <xcb/xcb.h>
#include <xcb/xproto.h>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

std::string titleOf(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 1024),
                                                         nullptr);
    std::string title;
    if (r)
        title.assign(static_cast<const char*>(xcb_get_property_value(r)),
                     std::size_t(xcb_get_property_value_length(r)));
    std::free(r);
    return title;
}

bool mapped(xcb_connection_t* c, xcb_window_t w) {
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
}

// A mapped window with the title, among the root's children and theirs (a
// window manager puts each program window inside a frame of its own).
xcb_window_t findWindow(xcb_connection_t* c, xcb_window_t parent, const std::string& title, int depth) {
    static const xcb_atom_t netName = atom(c, "_NET_WM_NAME");
    static const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr);
    if (!tree) return XCB_WINDOW_NONE;
    xcb_window_t found = XCB_WINDOW_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_WINDOW_NONE; ++i) {
        const xcb_window_t w = children[i];
        if (titleOf(c, w, netName, utf8) == title && mapped(c, w)) found = w;
        else if (depth > 0) found = findWindow(c, w, title, depth - 1);
    }
    std::free(tree);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: window_grab TITLE OUT.png [PAUSE_MS [WAIT_MS]]\n");
        return 2;
    }
    const std::string title = argv[1];
    const int pauseMs = argc > 3 ? std::atoi(argv[3]) : 0;
    const int waitMs = argc > 4 ? std::atoi(argv[4]) : 20000;
    QGuiApplication app(argc, argv);
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        std::fprintf(stderr, "window_grab: no X server (run it with DISPLAY set, QT_QPA_PLATFORM=xcb)\n");
        return 2;
    }
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    xcb_window_t window = XCB_WINDOW_NONE;
    while ((window = findWindow(c, root, title, 1)) == XCB_WINDOW_NONE) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "window_grab: no window \"%s\" appeared\n", title.c_str());
            return 1;
        }
        QThread::msleep(10);
    }
    QThread::msleep(static_cast<unsigned long>(pauseMs > 0 ? pauseMs : 0));
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "window_grab: cannot save %s\n", argv[2]);
        return 1;
    }
    return 0;
}

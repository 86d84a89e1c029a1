// Drawing what changed on screen now, from inside a callback that is about
// to block (a driver call that takes seconds), without running any other
// callback meanwhile.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

#include <deque>

#include "panel_window.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

int drawing = 0;  // drawPendingChanges calls in progress

std::deque<std::function<void()>>& heldCalls() {
    static auto* calls = new std::deque<std::function<void()>>;
    return *calls;
}

// Only what the window system does on its own (mapping, exposing, moving
// windows) is handled while drawing; the operator's input, timers and
// sockets wait for the next event processing.
constexpr QEventLoop::ProcessEventsFlags kDrawOnly = QEventLoop::ExcludeUserInputEvents |
                                                     QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;

// A window shown a moment ago appears once the window system has mapped it;
// on a busy machine with a window manager that takes a few tens of
// milliseconds. Past this the drawing gives up on it.
constexpr qint64 kMapWaitMs = 250;

bool shownWindowNotYetDrawn() {
    bool waiting = false;
    for (auto& [handle, p] : state().panels) {
        if (!p->awaitingDraw) continue;
        QWindow* w = p->window ? p->window->windowHandle() : nullptr;
        if (!w || !p->window->isVisible() || w->isExposed()) p->awaitingDraw = false;
        else waiting = true;
    }
    return waiting;
}

}  // namespace

bool callbacksHeld() { return drawing > 0; }

void holdCallback(std::function<void()> call) { heldCalls().push_back(std::move(call)); }

void deliverHeldCallbacks() {
    if (callbacksHeld()) return;
    // One by one: a delivered callback may process events, which delivers
    // the next ones in order.
    while (!heldCalls().empty()) {
        std::function<void()> call = std::move(heldCalls().front());
        heldCalls().pop_front();
        call();
    }
}

}  // namespace detail

using namespace detail;

int drawPendingChanges() {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    ++drawing;
    QCoreApplication::processEvents(kDrawOnly);
    QElapsedTimer waited;
    waited.start();
    while (shownWindowNotYetDrawn() && waited.elapsed() < kMapWaitMs) {
        QThread::msleep(2);
        QCoreApplication::processEvents(kDrawOnly);
    }
    // Paint every window on screen now rather than when the event loop
    // would next get round to it.
    for (auto& [handle, p] : state().panels) {
        if (p->isPage || !p->window || !p->window->isVisible()) continue;
        QWindow* w = p->window->windowHandle();
        if (!w || !w->isExposed()) continue;
        takePendingLines(*p);  // the newest lines of a list are drawn too
        p->window->repaint();
    }
    --drawing;
    return OK;
}

}  // namespace tk

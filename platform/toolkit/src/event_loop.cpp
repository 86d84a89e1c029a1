// Event processing, deferred calls from other threads, and the timer with its
// virtual clock for tests.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

std::atomic<bool> quitRequested{false};
std::atomic<int> quitCode{0};

// A repeating timer that bounds how long waitEvents sleeps.
QTimer* wakeTimer() {
    static QTimer* t = nullptr;
    if (!t) {
        t = new QTimer(QCoreApplication::instance());
        t->setTimerType(Qt::PreciseTimer);
    }
    return t;
}

// Real time since the first call, and the virtual clock.
struct Clock {
    std::mutex mutex;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool virtualOn = false;
    double virtualNow = 0;
    double realOffset = 0;  // added to real time after the virtual clock is switched off

    double real() { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }
};

Clock& clock() {
    static Clock* c = new Clock;
    return *c;
}

// A deferred call that comes while pending changes are drawn waits with the
// held callbacks.
void runDeferredCall(DeferredCallback fn, void* data) {
    if (callbacksHeld()) holdCallback([fn, data] { fn(data); });
    else fn(data);
}

}  // namespace
}  // namespace detail

using namespace detail;

int processEvents() {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    deliverHeldCallbacks();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    scriptStep();
    deleteBuried();
    return OK;
}

int waitEvents(double maxSeconds) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    if (maxSeconds < 0) maxSeconds = 0;
    if (maxSeconds > 10) maxSeconds = 10;
    // Anything already queued is handled at once; otherwise the dispatcher
    // sleeps in poll() until an event, a posted deferred call or the wake
    // timer. The timer keeps running between calls (restarting it each turn
    // costs more than the turn itself).
    QTimer* t = wakeTimer();
    int ms = std::max(1, int(maxSeconds * 1000 + 0.5));
    if (!t->isActive() || t->interval() != ms) t->start(ms);
    deliverHeldCallbacks();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    scriptStep();
    deleteBuried();
    return OK;
}

int runUserInterface() {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    quitRequested = false;
    while (!quitRequested) {
        processEvents();
        if (!quitRequested) waitEvents(0.05);
    }
    quitRequested = false;
    return quitCode;
}

void quitUserInterface(int code) {
    quitCode = code;
    quitRequested = true;
    if (auto* d = QAbstractEventDispatcher::instance(
            QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr))
        d->wakeUp();
}

int postDeferredCall(DeferredCallback fn, void* data) {
    if (!fn) return ERR_ARGUMENT;
    auto* app = QCoreApplication::instance();
    if (!app) return ERR_NOT_INITIALISED;
    // A queued call is thread-safe and wakes the dispatcher of the UI thread.
    QMetaObject::invokeMethod(
        app, [fn, data] { runDeferredCall(fn, data); }, Qt::QueuedConnection);
    return OK;
}

double timer() {
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.virtualOn ? c.virtualNow : c.real() + c.realOffset;
}

void delay(double seconds) {
    if (!(seconds > 0)) return;
    {
        Clock& c = clock();
        std::lock_guard<std::mutex> lock(c.mutex);
        if (c.virtualOn) {
            c.virtualNow += seconds;
            return;
        }
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void useVirtualClock(bool on) {
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (on == c.virtualOn) return;
    if (on) {
        c.virtualNow = c.real() + c.realOffset;
    } else {
        c.realOffset = c.virtualNow - c.real();
    }
    c.virtualOn = on;
}

bool virtualClockOn() {
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.virtualOn;
}

void advanceClock(double seconds) {
    Clock& c = clock();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (c.virtualOn && seconds > 0) c.virtualNow += seconds;
}

}  // namespace tk

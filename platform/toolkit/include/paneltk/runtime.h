// The run-time: start-up, status codes, events, callback types and binding,
// event processing, deferred calls and the timer.
//
// One application, one event loop and one table of panel handles exist per
// process. Everything here must be called on the user-interface thread (the
// thread that called initRuntime), except postDeferredCall() and the clock
// hooks marked "any thread".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "panel_resource.h"

namespace tk {

// ---------------------------------------------------------------- statuses
// 0 is success; every failure is a negative status with a text from
// statusText(). No function of the toolkit crashes on an unknown handle or id.
enum Status : int {
    OK = 0,
    ERR_NOT_INITIALISED = -1,  // initRuntime has not been called
    ERR_PANEL = -2,            // unknown panel handle
    ERR_CONTROL = -3,          // no such control on the panel
    ERR_RESOURCE = -4,         // resource not registered
    ERR_PANEL_ID = -5,         // the resource has no panel / menu bar with this id
    ERR_TYPE = -6,             // value of the wrong type for the control
    ERR_RANGE = -7,            // index, row, column or value out of range
    ERR_ATTRIBUTE = -8,        // attribute not valid for this control or panel
    ERR_KIND = -9,             // operation not valid for this kind of control
    ERR_ARGUMENT = -10,        // null pointer, empty name or other bad argument
    ERR_MENU = -11,            // unknown menu bar, menu or item
    ERR_NOT_POPUP = -12,       // removePopup on a panel that is not an installed pop-up
    ERR_THREAD = -13,          // called from another thread than the UI thread
    ERR_NOT_IMPLEMENTED = -14,
    ERR_IO = -15,      // a file could not be read or written
    ERR_SCRIPT = -16,  // script syntax or failed script command
};
const char* statusText(int status);

// ------------------------------------------------------------------ events
enum Event : int {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,       // button pressed, value entered, item chosen
    EVENT_VAL_CHANGED = 2,  // value changed (also while typing / dragging)
    EVENT_LEFT_CLICK = 3,
    EVENT_LEFT_DOUBLE_CLICK = 4,  // eventData1 = row/item index where it applies
    EVENT_GOT_FOCUS = 5,
    EVENT_LOST_FOCUS = 6,
    EVENT_CLOSE = 7,       // panel: close box pressed (sent to the panel callback)
    EVENT_PANEL_SIZE = 8,  // panel: resized (new height/width via attributes)
    EVENT_PANEL_MOVE = 9,
    EVENT_DISCARD = 10,  // panel: about to be discarded (sent to the panel callback)
};

// Control callback: acts usually on EVENT_COMMIT only. callbackData is the
// callback data of the panel that holds the control. Return 0.
using ControlCallback = int (*)(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Panel callback: panel events (EVENT_PANEL_SIZE, EVENT_CLOSE, ...).
using PanelCallback = int (*)(int panel, int event, void* callbackData, int eventData1, int eventData2);
// Menu item callback.
using MenuCallback = void (*)(int menuBar, int menuItem, void* callbackData, int panel);
// Deferred call, run on the UI thread.
using DeferredCallback = void (*)(void* data);

// One named callback; the constructor overload picks the kind:
//   tk::Bindings b{{"startP", startP}, {"chlpCB", chlpCB}, {"about", about}};
struct Callback {
    std::string name;
    ControlCallback control = nullptr;
    PanelCallback panel = nullptr;
    MenuCallback menu = nullptr;

    Callback(std::string n, ControlCallback f) : name(std::move(n)), control(f) {}
    Callback(std::string n, PanelCallback f) : name(std::move(n)), panel(f) {}
    Callback(std::string n, MenuCallback f) : name(std::move(n)), menu(f) {}
};
using Bindings = std::vector<Callback>;

// ---------------------------------------------------------------- start-up
// Creates the application if none exists yet (a second call, e.g. from a
// plug-in inside a host, is a no-op returning OK). Takes the toolkit options
// out of argv and leaves the rest to the program:
//   --script FILE       run a script (see docs/scripting.md)
//   --screenshots DIR   save every displayed panel as DIR/<constant>[_N].png
// Environment alternatives: SORVI_SCRIPT, SORVI_SCREENSHOTS. Loads Qt's
// Russian translations, so that the standard dialogs and buttons are Russian
// whatever the system locale, and selects DejaVu Sans.
int initRuntime(int& argc, char** argv);
bool runtimeInitialised();

// The script a program is asked to run is the --script value, else
// SORVI_SCRIPT. A program checks it before any window opens: false, with a
// one-line reason ("cannot read script FILE: ..."), when it cannot be read.
// initRuntime refuses such a script the same way: ERR_IO, the reason on
// standard error, and no application created.
bool checkScriptFile(const std::string& optionValue, std::string& reason);

// Registers a resource under def.name (a copy is kept). Registering a name
// again replaces the definition for panels loaded afterwards.
int registerResource(const ResourceDef& def);
// Registers default bindings for a resource: used for every callback name that
// the bindings given to loadPanel/loadMenuBar do not supply. Adds to or
// replaces earlier bindings of the same names.
int bindCallbacks(std::string_view resource, const Bindings& bindings);
// Callback names met while loading panels that no binding supplied
// ("resource:name"), in the order first met.
std::vector<std::string> unboundCallbacks();

// ------------------------------------------------------ event processing
// Processes pending user-interface events, deferred calls and script steps,
// and returns at once.
int processEvents();
// Processes pending events; if there were none, sleeps until an event or a
// deferred call arrives or maxSeconds have passed, then processes it. Loops
// that poll hardware call processEvents() + waitEvents() each turn and still
// turn at 100 Hz or more (about 140 Hz with the default 7 ms) while using
// next to no CPU when idle (under 1% of a core).
int waitEvents(double maxSeconds = 0.007);
// Draws what has changed on screen now: windows just shown appear (it waits
// up to a quarter of a second for the window system to map them) and every
// visible window is painted with the values it holds. Runs no callback and
// takes no operator input: events that would raise a callback (focus,
// resizing, the close box, deferred calls) are kept and delivered at the next
// processEvents / waitEvents, and input, timers and sockets wait for it
// too. A callback calls it before a long blocking call that follows a
// visible change ("Идёт самоконтроль. Ждите ...", then the self-test).
int drawPendingChanges();
// Runs the event loop until quitUserInterface(); returns its code.
int runUserInterface();
void quitUserInterface(int code = 0);

// Any thread: runs fn(data) on the UI thread at its next event processing.
int postDeferredCall(DeferredCallback fn, void* data);

// ------------------------------------------------------------------ timer
// Seconds since initRuntime (or since the first call), as a double.
double timer();
// Waits the given seconds without processing events. Under the virtual clock
// it advances the clock instead of sleeping.
void delay(double seconds);
// Any thread: switch the timer to a virtual clock that stands still unless
// advanceClock() or delay() moves it (for tests). Off returns to real time,
// continuing from the virtual value.
void useVirtualClock(bool on);
bool virtualClockOn();
void advanceClock(double seconds);

}  // namespace tk

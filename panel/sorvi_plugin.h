// What the files of the plug-in share among themselves: the steps of the
// lifecycle, the callbacks bound into "sorvi.uir", and the places in the
// display loop where acquisition hooks in.
#pragma once

#include <paneltk/runtime.h>

#include <string>
#include <string_view>

#include "pending_events.h"
#include "sorvi_instance.h"
#include "visatype.h"

// ------------------------------------------------------------ start-up
// Starts the panel toolkit when no host did (a host built on it already has).
int ensureRuntime();
// Registers "sorvi.uir" with the toolkit the first time it is needed.
void registerSorviResource();
// Every callback named in "sorvi.uir", bound to this plug-in's functions.
const tk::Bindings& sorviBindings();
// The version text shown in "О программе".
inline constexpr const char* kSorviVersion = "2.0";

// ------------------------------------------------------ instance opening
// Creates an instance for the module at mezIndex of the carrier (0: demo
// mode). On failure returns the status and leaves nothing behind; the
// caller shows the failure.
ViStatus openInstance(ViSession carrierSession, int mezIndex, ViBoolean idQuery, ViBoolean reset, int homePanel,
                      SorviInstance*& instance);
// Shows the "Ошибка инициализации" pop-up with the driver's text for status.
void reportInitFailure(ViStatus status);
// Closes the driver session, takes the instance out of the table and frees it.
void releaseInstance(SorviInstance* instance);

// ------------------------------------------------------------- panels
// Loads the nine panels (ABOUT, RP, ST, EXIT_POPUP, SP, EP, TP, PP, MP),
// offsets and titles them, and fills the main panel. A panel that fails to
// load: the ones loaded are discarded and -1 returned. A failing attribute
// call: its status, panels discarded too.
int loadInstancePanels(SorviInstance& instance);
// Discards whatever panels of the instance exist and clears their handles.
void discardInstancePanels(SorviInstance& instance);
// The nine panel handles in load order.
void instancePanels(const SorviInstance& instance, int (&panels)[9]);
// A panel title with the product name and the module's position:
// " СОРВИ" is added unless the title starts with "СОРВ", then
// " крейт %d, слот %d, М-Модуль %d".
std::string buildPanelTitle(std::string_view title, int crate, int slot, int mezIndex);

// ------------------------------------------------------- display loop
// Turns the loop until quitRequested, then tears the instance down.
int runDisplayLoop(SorviInstance& instance);
// Hides the instance's panels and shows the host's panel.
void hideInstance(SorviInstance& instance);

// The loop's acquisition steps: polls a running module, takes the data
// event and the instrument error the interrupt handler left.
void checkState(int mainPanel);
ViStatus process_data(int mainPanel);
void process_error(int mainPanel);
// Refreshes the main panel from the module (sorvi_display on loaded panels).
void updatePanel(int mainPanel);

// ------------------------------------------------------------ events
// Lets carrier resets reach the user-interface thread as deferred calls.
void installResetPoster();
// The module was reset by the carrier: act as if "Сброс" were pressed.
void resetCB(SorviInstance* instance);

// ------------------------------------------------ lifecycle callbacks
int mp_exit(int panel, int control, int event, void* callbackData, int, int);
void pexit(int menuBar, int menuItem, void* callbackData, int panel);
int exit_yes(int panel, int control, int event, void* callbackData, int, int);
int exit_no(int panel, int control, int event, void* callbackData, int, int);
int showBase(int panel, int control, int event, void* callbackData, int, int);
int closeSp(int panel, int control, int event, void* callbackData, int, int);
void about(int menuBar, int menuItem, void* callbackData, int panel);
void config(int menuBar, int menuItem, void* callbackData, int panel);
void interrupt(int menuBar, int menuItem, void* callbackData, int panel);

// ------------------------------------------ acquisition and displays
int startP(int panel, int control, int event, void* callbackData, int, int);
int stop(int panel, int control, int event, void* callbackData, int, int);
int change_mode(int panel, int control, int event, void* callbackData, int, int);
int setSize(int panel, int control, int event, void* callbackData, int, int);
int enableInterrupt(int panel, int control, int event, void* callbackData, int, int);
int errMessOk(int panel, int control, int event, void* callbackData, int, int);
int cbReset(int panel, int control, int event, void* callbackData, int, int);
int cadr(int panel, int control, int event, void* callbackData, int, int);
int graph(int panel, int control, int event, void* callbackData, int, int);
int show_res(int panel, int control, int event, void* callbackData, int, int);
int selFName(int panel, int control, int event, void* callbackData, int, int);
int setFName(int panel, int control, int event, void* callbackData, int, int);
int clearRes(int panel, int control, int event, void* callbackData, int, int);
int findAnother(int panel, int control, int event, void* callbackData, int, int);

// ----------------------------------------- settings and test panels
int change_porogC(int panel, int control, int event, void* callbackData, int, int);
int selGroup(int panel, int control, int event, void* callbackData, int, int);
int change_sampleP(int panel, int control, int event, void* callbackData, int, int);
int change_baseMem(int panel, int control, int event, void* callbackData, int, int);
int releSwitch(int panel, int control, int event, void* callbackData, int, int);
int setStartType(int panel, int control, int event, void* callbackData, int, int);
int inputReg(int panel, int control, int event, void* callbackData, int, int);
int outReg(int panel, int control, int event, void* callbackData, int, int);
int Selftest(int panel, int control, int event, void* callbackData, int, int);
int CloseSelftestCallback(int panel, int control, int event, void* callbackData, int, int);
int testCAP(int panel, int control, int event, void* callbackData, int, int);
void displayParams(int menuBar, int menuItem, void* callbackData, int panel);
int setParams(int panel, int control, int event, void* callbackData, int, int);

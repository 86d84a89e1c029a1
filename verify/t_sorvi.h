// The verification program's state, entry and callbacks: start-up, the
// module selection, the status line, the self-test, the verification steps
// and the main loop with its exit confirmation.
#pragma once

#include <array>
#include <cstdint>

#include <paneltk/runtime.h>

#include "tarvo_32.h"
#include "visatype.h"

// Panel handles, kept for the whole run.
extern int hMP;
extern int hTP;
extern int hST;
extern int hEXIT;
extern int hP4;

// Module type code of each carrier position (element k for position k+1), 0 = empty.
extern std::array<std::int32_t, 4> mezonin;
extern ViSession carrierSession;  // open carrier session, 0 = none
extern ViSession moduleSession;   // open driver session, 0 = none
extern std::uint16_t crateLA;     // crate and slot of the open carrier
extern std::uint16_t slot;
extern std::uint16_t position;  // module position chosen in MP_MEZ_NUM (1..4)
extern std::int16_t exitRequested;
extern std::int16_t quitRequested;
extern std::uint32_t msgTime;   // whole timer seconds of the last status-line message
extern std::int32_t checkType;  // verification step chosen in TP_RING
extern std::int32_t confirmed;  // the operator confirmed the pop-up of a stage

// Hooks of the bench window, set by `verisk --bench-window` (null otherwise):
// the first runs once the panels are loaded; the second whenever pop-up P4
// asks the operator to connect a stimulus ("100k", "5ohm", "1V" or "3V").
extern void (*benchWindowHook)();
extern void (*stimulusPromptHook)(const char* stimulus);

inline constexpr std::int16_t kSorviTypeCode = TARVO_MODULE_TYPE_SORVI;
inline constexpr unsigned kWhite = 0xFFFFFF;
inline constexpr unsigned kRed = 0xFF0000;
inline constexpr unsigned kYellow = 0xFFFF00;

// The program: start-up, main loop, shut-down. Returns 0 after a normal
// exit, -1 when the run-time or a panel fails to load.
int veriskMain(int argc, char** argv);
// Loads the panels, builds the tab page and prunes the step list. Returns 0
// or -1 (nothing shown).
int loadVeriskPanels();
// Processes events until the operator has confirmed the exit.
void runMainLoop();
// Closes the module and carrier sessions and discards the panels.
void shutDown();
// Shows the exit confirmation.
void exitCalibr();

// Module selection.
void SelMez();
int defMezonin(ViSession carrier, std::array<std::int32_t, 4>& types);

// Status line.
ViStatus checkErr(ViStatus status);
// Writes text on a white background unless a message of the last second is
// still held; returns true when it wrote.
bool writeStatusLine(const char* text);

// Verification steps.
int writeProt();

// Callbacks of the panels.
int selMezonin(int panel, int control, int event, void* data, int eventData1, int eventData2);
int Selftest(int panel, int control, int event, void* data, int eventData1, int eventData2);
int closeP(int panel, int control, int event, void* data, int eventData1, int eventData2);
int mp_exit(int panel, int control, int event, void* data, int eventData1, int eventData2);
int exit_yes(int panel, int control, int event, void* data, int eventData1, int eventData2);
int exit_no(int panel, int control, int event, void* data, int eventData1, int eventData2);
int chTest(int panel, int control, int event, void* data, int eventData1, int eventData2);
int input(int panel, int control, int event, void* data, int eventData1, int eventData2);
int startMes(int panel, int control, int event, void* data, int eventData1, int eventData2);
int vpOk(int panel, int control, int event, void* data, int eventData1, int eventData2);
int CancelVP(int panel, int control, int event, void* data, int eventData1, int eventData2);

// Every callback of "verisk.uir" by name.
const tk::Bindings& veriskBindings();

// The bench window "Стенд": drives the simulated bench by hand. It lists the
// bench's carriers and positions, shows a SORVI module's inputs and, live,
// its frame and state, and connects signals, sets faults and raises events.
// Every change it makes is a bench text command (bench_command.h), so a
// script can make each of them too.
//
// Runs on the user-interface thread of a program built on the panel toolkit
// (after tk::initRuntime).
#pragma once

namespace benchwin {

// Loads the window on first use and shows it; returns its panel handle or a
// negative toolkit status.
int showBenchWindow();
// The window's panel handle; 0 while it is not loaded.
int benchWindowPanel();
// Discards the window and stops its refresh.
void closeBenchWindow();

// The verification program asks the operator to connect `stimulus` ("100k",
// "5ohm", "1V", "3V") to every channel, with its prompt pop-up up. When the
// bench follows prompts, the stimulus goes on every open module at once;
// otherwise the loaded window comes up above the prompt, so that the operator
// can connect it, and goes back with "Готово".
void stimulusPrompted(const char* stimulus);

// Milliseconds between two refreshes of the live display.
inline constexpr int kRefreshMilliseconds = 200;

}  // namespace benchwin

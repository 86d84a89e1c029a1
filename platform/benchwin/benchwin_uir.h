// Identifiers of the bench window's panel resource "benchwin.uir": the one
// panel "Стенд" and its controls, numbered from 2 in panel order.
#pragma once

#include <paneltk/panel_resource.h>

namespace benchwin {

inline constexpr const char* kBenchResource = "benchwin.uir";

enum BenchPanelId { BENCH = 1 };

enum BenchControl {
    BENCH_CARRIER = 2,   // ring: the bench's carriers
    BENCH_POSITION = 3,  // ring: the chosen carrier's four positions
    BENCH_STATE = 4,     // module state: open, running, mode, frames in memory
    BENCH_FRAME = 5,     // current frame, channel 32 first
    BENCH_INPUTS = 6,    // table: what each channel is connected to
    BENCH_CHANNELS = 7,  // ring: all, 1-16, 17-32, one channel
    BENCH_CHANNEL = 8,   // the one channel
    BENCH_SIGNAL = 9,    // ring: the stimulus to connect
    BENCH_VOLTS = 10,    // level for "напряжение"
    BENCH_LOW = 11,      // square wave: low level, high level, period
    BENCH_HIGH = 12,
    BENCH_PERIOD = 13,
    BENCH_APPLY = 14,      // connects the signal to the chosen channels
    BENCH_STUCK = 15,      // ring: stuck at 1, stuck at 0, free
    BENCH_STUCK_SET = 16,  // applies it to the chosen channels
    BENCH_NOPOLL = 17,     // switch: the "poll performed" bit never comes
    BENCH_ID = 18,         // RG_ID low byte the module reports
    BENCH_EVENT = 19,      // ring: event to raise
    BENCH_RAISE = 20,      // raises it for the module's session
    BENCH_FOLLOW = 21,     // switch: follow the verification program's prompts
    BENCH_MESSAGE = 22,    // what the last change did, or why it failed
    BENCH_DONE = 23,       // shown over a prompt: back to the program
    BENCH_CLOSE = 24,
};

// Signals of BENCH_SIGNAL (item values).
enum BenchSignal {
    SIGNAL_100K = 0,
    SIGNAL_5OHM = 1,
    SIGNAL_1V = 2,
    SIGNAL_3V = 3,
    SIGNAL_VOLTS = 4,
    SIGNAL_SQUARE = 5,
    SIGNAL_COUNTER = 6,
    SIGNAL_LIVE = 7,
};

const tk::ResourceDef& benchResource();

}  // namespace benchwin

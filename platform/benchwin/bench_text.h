// Texts of the bench window: how a channel's input and a module's state are
// shown, and the bench commands the window's controls stand for.
#pragma once

#include <cstdint>
#include <string>

#include "bench_description.h"
#include "bench_view.h"

namespace benchwin {

// A number as the bench commands read it ("0.01", "-8.45"), whatever the locale.
std::string commandNumber(double value);

// The channel words of a command for the choice of BENCH_CHANNELS (0 all,
// 1 channels 1-16, 2 channels 17-32, 3 `channel` alone).
std::string channelWords(int choice, int channel);

struct SignalChoice {
    int signal = 0;  // BenchSignal
    double volts = 0.0;
    double low = 0.0;
    double high = 5.0;
    double periodS = 0.01;
};
// The signal words of an "input" command.
std::string signalWords(const SignalChoice& choice);

// "100 кОм", "-8,45 В", "меандр 0…5 В, 2 мс", "двоичный счётчик", ...
std::string describeInput(const bench::ChannelInput& input);
// The input with the channel's stuck fault, if any.
std::string describeChannel(const bench::ModuleView& module, int channel);
// "не открыт" or "открыт, идёт сбор, режим циклический, кадров в памяти: 120".
std::string describeState(const bench::ModuleView& module);
// Channel 32 first, the groups apart: "0000000000000000 0000000000000101".
std::string frameText(std::uint32_t frame);

}  // namespace benchwin

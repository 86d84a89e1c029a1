// The voltage a module input sees at a given bench time.
#pragma once

#include "bench_description.h"

namespace bench {

// A resistance sensor is read through the module's poll source: an
// open-circuit 12 V source behind 1 kOhm, so the input sees
// 12 * R / (R + 1000) volts (100 kOhm gives about 11.9 V, 5 Ohm about 0.06 V).
inline constexpr double kPollSourceVolts = 12.0;
inline constexpr double kPollSourceOhms = 1000.0;

// Volts on the input at `timeS` seconds of bench time.
double inputVolts(const ChannelInput& input, double timeS);

}  // namespace bench

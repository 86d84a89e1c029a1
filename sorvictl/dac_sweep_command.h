// sorvictl dac-sweep: finds at which threshold each channel switches, by
// raising the common threshold from -9.99 V in steps of 0.01 V with single
// polls and the input relays on.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "acquisition_clock.h"
#include "console.h"

namespace sorvictl {

struct DacSweepResult {
    // For channel k at [k - 1]: the last threshold at which it changed
    // state; empty when it never did.
    std::array<std::optional<double>, 32> switching{};
    int steps = 0;
};

// Runs the sweep and prints the table "channel threshold_V".
DacSweepResult runDacSweep(const std::string& resource, int position, Console& console, AcquisitionClock& clock);

}  // namespace sorvictl

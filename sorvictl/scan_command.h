// sorvictl scan: the carriers on the bus and what sits at their positions.
#pragma once

#include "console.h"

namespace sorvictl {

// Text: one line per position, "RESOURCE POSITION WHAT" (WHAT is "sorvi",
// "empty" or "type N"); a carrier that cannot be opened gives one line
// "RESOURCE - not opened: TEXT". JSON: a list of carriers with their
// positions. Returns the number of carriers found.
int runScan(bool json, Console& console);

}  // namespace sorvictl

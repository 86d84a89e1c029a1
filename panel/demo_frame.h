// What stands in for the module in demo mode (no module session).
#pragma once

#include <cstdint>

#include "sorvi_instance.h"
#include "visatype.h"

// A random frame between 0 and 65535, as the demo's "module" reads.
std::uint32_t demoFrame();

// The current frame and its two times: from the module, or in demo mode a
// random frame and zero times. Outputs are 0 unless the read worked.
ViStatus readCurrentFrame(SorviInstance& instance, std::uint32_t& frame, std::uint32_t& firstTime,
                          std::uint32_t& lastTime);

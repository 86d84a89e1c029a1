// sorvictl selftest: the driver's self-test of one module.
#pragma once

#include <string>

#include "console.h"

namespace sorvictl {

// Prints the result code and the driver's message; returns the result code
// (0: passed).
int runSelftest(const std::string& resource, int position, Console& console);

}  // namespace sorvictl

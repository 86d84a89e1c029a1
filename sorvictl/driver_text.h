// The driver's and the carrier's status texts, turned into UTF-8 for the
// terminal (the drivers write Windows-1251).
#pragma once

#include <string>

#include "visatype.h"

namespace sorvictl {

// Windows-1251 bytes to UTF-8.
std::string fromCp1251(const std::string& bytes);

// "0xBFFC0022 Не хватает памяти носителя": the module driver's text for a
// status of an open module session, or the carrier driver's text when vi
// is VI_NULL. Unknown statuses give the hexadecimal code alone.
std::string statusText(ViSession vi, ViStatus status);

// Throws CommandError "WHAT: <statusText>" when status is negative.
void check(ViSession vi, ViStatus status, const std::string& what);

}  // namespace sorvictl

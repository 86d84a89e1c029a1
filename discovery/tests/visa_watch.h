// Watches the VISA calls the code under test makes: which objects it opened
// and has not closed, which locks it holds, and fails a chosen call on demand.
#pragma once

#include <set>
#include <string>

#include "visatype.h"

namespace visa_watch {

// Objects opened (resource manager, resources, find lists) and not closed.
std::set<ViObject> openObjects();
// Exclusive locks taken and not released.
int locksHeld();

// The n-th call (from 1, counted from now) of the VISA function named fails
// with `status`; one function at a time. clear() stops it.
void failCall(const std::string& function, int n, ViStatus status);
void clear();

}  // namespace visa_watch

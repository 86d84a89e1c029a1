// Failures of named carrier operations, injected by tests: the carrier
// stand-in asks here at the start of each tarvo_ function and returns the
// injected status instead of doing the work.
#pragma once

#include <string>
#include <vector>

#include "visatype.h"

namespace bench {

// After `skip` calls of `operation` (e.g. "tarvo_m_in16") that still run,
// the `count` next ones fail with `status`; a negative count makes them fail
// until cleared.
void failOperation(const std::string& operation, ViStatus status, int count, int skip = 0);
void clearOperationFailures();
// The status a call of `operation` must fail with, or 0 when it runs.
ViStatus injectedFailure(const char* operation);

// The names of the calls made from now on, in order, on every thread, until
// the log is stopped (which empties it).
void startOperationLog();
void stopOperationLog();
std::vector<std::string> operationLog();

}  // namespace bench

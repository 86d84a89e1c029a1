// Failures of named carrier operations, injected by tests: the carrier
// stand-in asks here at the start of each tarvo_ function and returns the
// injected status instead of doing the work.
#pragma once

#include <string>

#include "visatype.h"

namespace bench {

// `count` next calls of `operation` (e.g. "tarvo_m_in16") fail with
// `status`; a negative count makes them fail until cleared.
void failOperation(const std::string& operation, ViStatus status, int count);
void clearOperationFailures();
// The status a call of `operation` must fail with, or 0 when it runs.
ViStatus injectedFailure(const char* operation);

}  // namespace bench

// Texts of the statuses the carrier stand-in returns and of the common VISA
// statuses.
#pragma once

#include "visatype.h"

namespace tarvo {

// The text for `status`, or null when there is none.
const char* statusText(ViStatus status);

}  // namespace tarvo

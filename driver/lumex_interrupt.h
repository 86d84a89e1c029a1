// The routine the carrier calls with its module events.
#ifndef LUMEX_INTERRUPT_H
#define LUMEX_INTERRUPT_H

#include "lumex.h"

namespace lumex {

// Marks instrument errors on the session's record, resets the module on a
// carrier reset, and passes the event on to the user handler. Returns 1 when
// a data event was taken, 0 otherwise.
ViInt16 _VI_FUNCH moduleInterrupt(ViSession vi, ViInt32 event);

}  // namespace lumex

#endif

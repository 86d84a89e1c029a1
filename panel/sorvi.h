/* Exports of the SORVI soft front panel plug-in (sorvi.so).
 *
 * An instrument-panel host loads the plug-in by path and calls, for each
 * SORVI mezzanine it wants to show:
 *
 *   sorvi_handle h = hostPanel;            // the host's own panel handle
 *   if (sorvi_init(carrier, mezIndex, 1, 1, &h) == 0)   // h is now the instance
 *       sorvi_display(h);                  // runs until the user leaves;
 *                                          // the instance is gone afterwards
 *
 * sorvi_hide and sorvi_close are called from the host's own callbacks, which
 * run inside the plug-in's event loop. All four return a signed 32-bit
 * status: 0 success, negative failure.
 *
 * The instance handle is pointer-sized (sorvi_handle). On entry to sorvi_init
 * it holds the host's panel handle (shown again when the plug-in hides or
 * ends); on return it holds the new instance, or 0 on failure.
 *
 * sorvi_init shows its failures in a pop-up before returning them; a
 * position outside 1..4 is refused with VI_ERROR_PARAMETER2. carrierSession 0
 * opens a demo instance that never calls the driver. The other exports check
 * the handle against the open instances: 0, a handle that has ended, or
 * anything else not made by sorvi_init gets -1. */
#ifndef SORVI_PLUGIN_HEADER
#define SORVI_PLUGIN_HEADER

#include <stdint.h>

#include "visatype.h"

#if defined(__cplusplus)
extern "C" {
#endif

typedef intptr_t sorvi_handle;

/* carrierSession: the host's carrier session (tarvo_init), 0 for demo mode.
 * mezIndex: position 1..4. idQuery, reset: passed to the module driver. */
ViInt32 _VI_FUNC sorvi_init(ViSession carrierSession, ViInt16 mezIndex, ViBoolean idQuery, ViBoolean reset,
                            sorvi_handle* instance);
/* First call: loads the panels and runs until the user leaves, then releases
 * the instance. A call from inside that loop shows the panels again. */
ViInt32 _VI_FUNC sorvi_display(sorvi_handle instance);
/* Hides the instance's panels and shows the host's panel again. */
ViInt32 _VI_FUNC sorvi_hide(sorvi_handle instance);
/* Asks the instance's loop to end; takes the address of the handle. */
ViInt32 _VI_FUNC sorvi_close(sorvi_handle* instance);

/* Function pointer types for hosts that resolve the exports by name. */
typedef ViInt32(_VI_FUNC* sorvi_init_fn)(ViSession, ViInt16, ViBoolean, ViBoolean, sorvi_handle*);
typedef ViInt32(_VI_FUNC* sorvi_display_fn)(sorvi_handle);
typedef ViInt32(_VI_FUNC* sorvi_hide_fn)(sorvi_handle);
typedef ViInt32(_VI_FUNC* sorvi_close_fn)(sorvi_handle*);

#if defined(__cplusplus)
}
#endif

#endif /* SORVI_PLUGIN_HEADER */

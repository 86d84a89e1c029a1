// The part of the plug-in that the carrier's event thread enters: the
// driver's user handler, which finds the instance of a session in the
// instance table and leaves the event for the display loop. Free of the
// panel toolkit, so the thread checker builds and tests it as it is.
#pragma once

#include <cstdint>

#include "sorvi_instance.h"
#include "visatype.h"

// Event codes of the driver's user handler.
inline constexpr int kEventEndOfAcquisition = 1;
inline constexpr int kEventPacketReady = 2;
inline constexpr int kEventCarrierReset = 3;

// How a carrier reset reaches the user-interface thread: the plug-in posts
// a deferred call there. Without a poster the reset is dropped.
using ResetPoster = void (*)(SorviInstance* instance, std::uint64_t serial);
void setResetPoster(ResetPoster poster);

// The driver's user handler: finds the instance of the session and marks
// the event for the loop (1, 2 data; 3 reset, run later on the UI thread;
// anything else an instrument error). Returns 1, or -1 for no instance.
ViInt16 _VI_FUNCH interrupt_handle(ViSession session, ViInt32 type);
// Marks an event on a known instance (the handler's work after the lookup).
void deliverEvent(SorviInstance& instance, std::uint64_t serial, int type);

// The host's own panel resource "panelhost.uir": one panel with the carrier
// choice, the four positions of the chosen carrier, the buttons that open
// soft front panels, and a status line.
#pragma once

#include <paneltk/panel_resource.h>

namespace host {

inline constexpr const char* kHostResource = "panelhost.uir";

enum HostPanelId { HOST = 1 };

enum HostControl {
    HOST_CARRIER = 2,    // ring: the carriers found on the bus
    HOST_POSITIONS = 3,  // list box: the four positions (value = position)
    HOST_OPEN = 4,       // opens the soft front panel of the highlighted position
    HOST_DEMO_POS = 5,   // position number a demo instance takes
    HOST_DEMO = 6,       // opens a soft front panel with no carrier
    HOST_EXIT = 7,
    HOST_STATUS = 8,  // status line
    HOST_BENCH = 9,   // shows the bench window "Стенд"
};

// Value of the carrier ring's item that stands for "no carrier chosen".
inline constexpr int kNoCarrier = -1;

const tk::ResourceDef& hostResource();

}  // namespace host

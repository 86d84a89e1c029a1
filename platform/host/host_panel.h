// The host's panel and what its buttons do: choosing a carrier, listing its
// positions, opening soft front panels (on a carrier or in demo mode) and
// ending the host.
//
// Opening a soft front panel calls sorvi_init and then sorvi_display, which
// runs the plug-in's own loop until that instance ends. The host's callbacks
// keep running inside that loop, so opening a second panel from the host
// nests a second loop inside the first; every call below is written to be
// re-entered that way.
#pragma once

#include <string>
#include <vector>

#include "carrier_discovery.h"
#include "carrier_positions.h"
#include "sorvi.h"

namespace host {

class SorviPlugin;

enum class StatusKind { Info, Warning, Error };

// One soft front panel the host has opened and not yet seen end.
struct OpenInstance {
    int id = 0;
    std::string carrier;  // resource name; empty in demo mode
    int position = 0;
    sorvi_handle handle = 0;
};

class HostPanel {
public:
    // plugin may be unloaded (the open buttons then only report that).
    explicit HostPanel(SorviPlugin& plugin);
    ~HostPanel();
    HostPanel(const HostPanel&) = delete;
    HostPanel& operator=(const HostPanel&) = delete;

    // Loads and shows the panel. Returns its handle or a negative toolkit status.
    int create();
    int panel() const { return panel_; }

    // Fills the carrier choice. With exactly one carrier it is opened at
    // once; with several the operator picks one.
    void setCarriers(std::vector<discovery::CarrierInfo> carriers, ViStatus discoveryStatus);
    const std::vector<discovery::CarrierInfo>& carriers() const { return carriers_; }

    // index into carriers(), or kNoCarrier.
    void chooseCarrier(int index);
    int chosenCarrier() const { return chosen_; }
    ViSession carrierSession() const { return session_; }
    const discovery::CarrierPositions& positions() const { return positions_; }

    // Opens the soft front panel at a position of the chosen carrier, or in
    // demo mode (no carrier). Returns when that instance has ended (or at
    // once when it could not be opened, or was already open and is shown again).
    void openPosition(int position);
    void openDemo(int position);
    const std::vector<OpenInstance>& openInstances() const { return instances_; }

    // Asks every open instance to end and the host's loop to stop.
    void requestExit();
    bool exitRequested() const { return exitRequested_; }

    // Runs the host's event loop until exit is requested.
    void run();
    // Ends what is left: open instances are asked to close (their loops
    // have ended by the time run() returns), the panel is discarded and the
    // carriers are closed. Returns the first failing carrier status, else 0.
    ViStatus shutdown();

    void setStatus(const std::string& text, StatusKind kind);
    // Updates the open button for the highlighted position.
    void positionHighlighted();

private:
    void openInstance(ViSession carrier, const std::string& carrierName, int position);
    void fillCarriers(std::vector<discovery::CarrierInfo> carriers, ViStatus discoveryStatus);
    void showPositions();

    SorviPlugin& plugin_;
    int panel_ = 0;
    std::vector<discovery::CarrierInfo> carriers_;
    int chosen_ = -1;
    ViSession session_ = 0;
    discovery::CarrierPositions positions_{};
    discovery::CarrierSessions sessions_;
    std::vector<OpenInstance> instances_;
    int nextInstanceId_ = 1;
    bool exitRequested_ = false;
};

// The text the carrier driver gives for a status, or its number in hex.
std::string carrierStatusText(ViStatus status);

}  // namespace host

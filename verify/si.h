// Instrument discovery and selection: finding the carriers reachable through
// VISA (VXI carrier cards and Kubolt USB / LXI boxes) and the dialog in which
// the operator picks one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "carrier_search.h"
#include "visatype.h"

// One instrument found on the bus.
struct InstrInfo {
    std::string rsrcName;          // VISA resource name, up to 127 characters
    std::string label;             // entry of the selection list, up to 127 characters
    std::uint16_t modelCode = 0;   // VXI model code (low 12 bits); 0x1004 for a Kubolt box
    ViSession carrierSession = 0;  // carrier session opened for this record, 0 = none
    std::uint16_t crateLA = 0;     // logical address of the crate's mainframe (VXI)
    std::uint16_t la = 0;          // the carrier's own logical address; 255 for a Kubolt box
    std::uint16_t slot = 0;        // slot in the crate; 255 for a Kubolt box
    std::uint16_t intfType = 0;    // VISA interface type
    std::string serial;            // serial number of a Kubolt box, up to 31 bytes
};

inline constexpr int kMaxInstruments = 256;
inline constexpr std::size_t kNameChars = 127;
inline constexpr std::size_t kSerialChars = discovery::kMaxSerialBytes;

// Instruments found at start-up, in discovery order; unused records have an
// empty label.
extern std::array<InstrInfo, kMaxInstruments> Instruments;
// The record the operator chose, or null.
extern InstrInfo* CurrentInstr;

// Searches the bus (the shared carrier search) and fills Instruments.
// Returns the number of records kept or a negative VISA status (then
// Instruments is empty).
int FindVISAinstruments();

// Shows the selection dialog (built on first use) and returns the chosen
// record, or null when the operator cancelled or nothing was found.
InstrInfo* SelectInstrument(const char* title);
int BuildSI(const char* title);
int SetListInstrs();
int SetCurInstr();
// Builds the dialog when needed, sets its title and fills its list; returns
// the number of entries or a negative status.
int prepareSelectionDialog(const char* title);
// Handle of the selection dialog, 0 before its first use.
int selectionDialogPanel();

// verisk's labels and records of what the shared carrier search finds.
// Label of a VXI carrier by model code; empty for a model that is not listed.
std::string vxiCarrierLabel(std::uint16_t modelCode, std::uint16_t crateLA, std::uint16_t slot,
                            std::string_view rsrcName);
// Label of a Kubolt box: "Kubolt, LXI (...)" for TCP/IP, "Kubolt, USB (...)" for USB.
std::string kuboltLabel(std::uint16_t intfType, std::string_view tcpipAddr, std::string_view serial);
// What the identification reply of a USB or TCP/IP resource (a C string of
// at most 255 characters, as read) makes of rec, whose intfType is set:
// false when it is not a Kubolt box, else serial, label, model code, slot
// and logical address are filled.
bool kuboltFromReply(const char* reply, std::string_view tcpipAddr, InstrInfo& rec);

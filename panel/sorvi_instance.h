// One open soft front panel: the record behind an instance handle.
//
// sorvi_init creates it zero-filled, the first sorvi_display runs its loop
// and frees it at the end. Every panel of the instance carries a pointer to
// it as callback data, so each callback finds its instance through the panel
// that raised it.
//
// Threads: everything here belongs to the user-interface thread except
// dataPending and errorPending, which the driver's interrupt handler sets
// from the carrier's event thread; the display loop takes them with one
// exchange (so an event raised meanwhile is never lost or half-seen).
#pragma once

#include <atomic>
#include <cstdint>

#include "visatype.h"

struct SorviInstance {
    std::int16_t panelSlot = 0;      // mezzanine index taken when the panels load; offsets MP
    std::int16_t quitRequested = 0;  // non-zero ends the display loop
    std::int16_t exitRequested = 0;  // non-zero makes the loop ask for exit confirmation
    std::int32_t aboutPanel = 0;     // panel handles of this instance
    std::int32_t resultsPanel = 0;
    std::int32_t selfTestPanel = 0;
    std::int32_t mainPanel = 0;  // carries the menu bar IMNU
    std::int32_t exitPopup = 0;
    std::int32_t chartPanel = 0;
    std::int32_t errorPanel = 0;
    std::int32_t dacTestPanel = 0;
    std::int32_t homePanel = 0;  // the host's panel: shown again when this instance hides or ends
    std::int32_t paramsPanel = 0;
    std::int32_t scrollBar = 0;                 // scroll bar beside the results list, 0 while none exists
    std::int16_t panelsLoaded = 0;              // non-zero while the nine panels are loaded
    ViSession session = 0;                      // driver session; 0 in demo mode
    char title[256] = {};                       // identification of the module on its carrier
    std::int32_t crate = 0;                     // VXI mainframe logical address; 0 on USB/TCPIP; 10 in demo
    std::int32_t slot = 0;                      // VXI slot; 0 on USB/TCPIP; 11 in demo
    std::int32_t mezIndex = 0;                  // position on the carrier, 1..4
    std::int16_t mode = 0;                      // acquisition mode: 0 single, 1 block, 2 cycle
    std::int32_t packetSize = 0;                // cycle-mode packet size last applied
    char fileName[256] = {};                    // result file; "nul" or empty: none
    std::int32_t firstShown = 0;                // frame number where the results list starts
    std::int32_t totalRead = 0;                 // frames read since the last start
    std::int32_t blockRead = 0;                 // block mode: frames already fetched
    std::atomic<std::int16_t> dataPending{0};   // data event 1 or 2 waiting for the loop
    std::atomic<std::int16_t> errorPending{0};  // instrument error code waiting for the loop
    std::int16_t running = 0;                   // last known acquisition state
    std::int16_t listFromRun = 0;               // results list filled by a block or cycle run
    std::int32_t memorySize = 0;                // module memory allocation in frames
    std::int16_t chartShown = 0;                // SP is shown
    std::int16_t resultsShown = 0;              // RP is shown
    std::int16_t interruptMask = 0;             // non-zero: interrupts enabled
    std::int16_t writeFile = 0;                 // frames are appended to fileName
    ViUInt32* buffer = nullptr;                 // ring buffer of frames (malloc'd, owned here)
    std::int32_t bufferSize = 0;                // capacity of buffer in frames
    std::int32_t wrapped = 0;                   // the ring buffer has wrapped
    std::int32_t writeIndex = 0;                // next write position in buffer
    std::int32_t lastErrorTime = 0;             // whole timer seconds when the last error text was shown
    std::int32_t runLength = 0;                 // frames since the last change printed
    double samplePeriod = 0;                    // seconds

    // Kept per instance, so that two modules listing at once never see each
    // other's frames: the last frame printed into this results list.
    std::uint32_t lastPrinted = 0;
    // What this run has put into the result file: the file's size after the
    // last portion written, and whether every portion of the run got there.
    // The viewer reads the run back only while both still hold.
    std::int64_t fileEndBytes = -1;
    bool fileRunWhole = true;
    // Which file that was (device and inode), so that a file put in its
    // place, even one of the same size, is not taken for it.
    std::uint64_t fileDevice = 0;
    std::uint64_t fileInode = 0;
    // The results list is being filled with the whole ring at the end of a
    // run: its numbers then come from the run, not from the scroll bar.
    bool listingRing = false;
    // The fetch is between taking its ring positions and handing the
    // portion on; a loop nested in it (a pop-up's) must not fetch again.
    bool fetching = false;
    // Asked to end while the loop of another instance turned: its module
    // was stopped and its panels hidden; the record waits for its own loop
    // to end, and no loop serves it any more.
    bool ending = false;
    // Counts the starts, so that the end event of one run, handled after
    // the next one started, does not mark the new run as stopped.
    std::uint32_t runNumber = 0;
    // The pop-up about a result file that does not end on a whole frame has
    // been shown in this run (it comes once, not with every portion).
    bool tornFileTold = false;
};

// The instance behind a panel's callback data; null when the panel carries
// none (the callback then does nothing).
inline SorviInstance* instanceFromCallbackData(void* callbackData) { return static_cast<SorviInstance*>(callbackData); }

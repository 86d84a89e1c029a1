// The verification protocol: a window (panel CHLP) and an appended
// Windows-1251 file that receive the same messages. Up to 16 windows, each
// with its own file and title; the program uses window 1.
#pragma once

#include <string>

inline constexpr int kProtocolWindows = 16;
inline constexpr int kProtocolWindow = 1;  // the window the program uses
inline constexpr std::size_t kTitleChars = 255;
inline constexpr std::size_t kPathChars = 259;
inline constexpr std::size_t kMessageChars = 1023;

// Title of the next protocol ("" until a module is opened) and the path of
// the open protocol file ("" = no protocol open for the current module).
extern std::string protocolTitle;
extern std::string protocolPath;

// Opens protocol window i: loads CHLP from the panel resource, opens the file
// for appending (a pop-up tells when it cannot be opened; the window then
// works alone) and writes the title. Returns 0, or -1 when the window
// cannot be loaded.
int SetupChlp(const char* panelFile, int i, const std::string& title, const std::string& path);
// Appends one message (printf conventions) to window i and its file.
void WriteLOG(int i, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Shows window i, first giving it a new title when one is passed.
void DisplayChlp(int i, const char* newTitle = nullptr);
// Closes the file of window i and discards the window.
void DiscardChlp(int i);
// Closes every protocol file that is open (at exit).
void closeAllProtocols();

// The program's protocol (window 1).
bool protocolOpen();
// Opens the protocol for a verification step when none is open.
void openProtocolForStep();
// Closes the protocol of the module being left.
void closeProtocol();

// State of window i, for tests.
int protocolPanel(int i);
int protocolFile(int i);

// Callbacks.
int selFName(int panel, int control, int event, void* data, int eventData1, int eventData2);
int showLog(int panel, int control, int event, void* data, int eventData1, int eventData2);
int closeSp(int panel, int control, int event, void* data, int eventData1, int eventData2);
int chlpCB(int panel, int event, void* data, int eventData1, int eventData2);

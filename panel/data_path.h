// The routines of the data path shared between its files: error display,
// fetching into the ring, the three channel displays, the result file and
// its viewer, and the routines that copy settings between panel and module.
#pragma once

#include <cstdint>

#include "sorvi_instance.h"
#include "visatype.h"

// Status returned when a read delivered fewer frames than asked, or a
// portion lies outside the ring.
inline constexpr ViStatus kShortReadStatus = static_cast<ViStatus>(0xBFFC0027);
// Status of a strip chart portion whose work array could not be had.
inline constexpr ViStatus kChartMemoryStatus = static_cast<ViStatus>(0xBFFC0022);

// Results list: lines kept at most before the list starts afresh.
inline constexpr int kResultsListMaxLines = 1000;
// Frames a refill from the result file brings into the list.
inline constexpr int kFramesPerPage = 1000;
// Polling fetches from this many ready frames on.
inline constexpr int kPollThreshold = 1024;

// ------------------------------------------------------- error display
// Shows the driver's text for status in the instance's error line (red for
// errors, yellow for warnings) and returns status unchanged. A message stays
// at least until the next whole second before an empty text may replace it.
ViStatus checkError(SorviInstance& instance, ViStatus status);

// ------------------------------------------------------ module settings
// Replays every panel setting into the module (as commit events).
void updateData(int mainPanel);

// ------------------------------------------------------------- fetching
// Reads what the module has ready into the ring, saves it, lists and plots
// it. Returns the last read status.
ViStatus outData(SorviInstance& instance);
// Once the module has stopped for good (its instance ends): reads all it
// still holds into the ring and the result file, portion by portion, with
// no events processed in between; nothing is listed or plotted.
void fetchRemainder(SorviInstance& instance);

// ------------------------------------------------------------- displays
// The current frame in the two binary fields and the two time values.
void showRes(int mainPanel, std::uint32_t frame, std::uint32_t firstTime, std::uint32_t lastTime);
// Lists the changes among n frames from p. wrapMode >= 0: p is in the ring
// and wraps from its end to its start; -1: a plain array.
ViStatus fillTextBox(SorviInstance& instance, const std::uint32_t* p, int wrapMode, int n);
// Plots n frames from p (wrapping in the ring) as 32 traces, if the chart
// is shown.
ViStatus stripChartOut(SorviInstance& instance, const std::uint32_t* p, int n);
// The text of one results-list line: "%5d " and 32 digits, channel 32 first,
// in eight groups of four, each followed by a space.
void formatResultLine(char (&line)[64], long long number, std::uint32_t frame);

// ---------------------------------------------------------- result file
// Appends count frames from first (wrapping in the ring) to the result file
// when writing is on. 0, or -1 after a pop-up.
int writeToFile(SorviInstance& instance, const std::uint32_t* first, int count);
// After a read while writing: makes the scroll bar beside the results list
// if there is none, and sets its maximum and value to the frames read.
void updateScrollBar(SorviInstance& instance);
// Discards the scroll bar (a new run starts).
void discardScrollBar(SorviInstance& instance);
// Refills the results list from the file at the scroll bar's position.
int scrollF(int resultsPanel);
// Forgets what is known of the file's contents (a new run or a new file).
void resetFileRun(SorviInstance& instance);

// --------------------------------------------------------- ring buffer
// The ring size a typed value asks for: (typed div 256 + 1) * 256.
std::int64_t ringSizeFor(std::uint32_t typed);
// Gives the ring newSize frames, keeping its contents; false and the ring
// untouched when that much memory cannot be had.
bool resizeRing(SorviInstance& instance, std::int64_t newSize);

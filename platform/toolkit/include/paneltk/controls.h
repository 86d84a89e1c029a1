// Controls: values, attributes, items, text boxes, tables, strip charts,
// controls made at run time.
//
// Controls are addressed by (panel handle, control id). Values are typed:
//  - numerics take and give any arithmetic value; a value set is clamped to
//    the control's range (min/max, and the limits of its type); reading a
//    Double numeric into an integer gives ERR_TYPE;
//  - strings, text messages and text boxes take and give text (UTF-8);
//    numbers give ERR_TYPE;
//  - rings and list boxes: the value of the selected item (setting a value
//    that no item has gives ERR_RANGE, and so does reading an empty one);
//    text gives ERR_TYPE;
//  - binary switches: on/off value; LEDs: 0/1; scroll bars: int value;
//  - command buttons, pictures, decorations, tables, strip charts, canvases:
//    no value (ERR_KIND).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "panels.h"

namespace tk {

int setValue(int panel, int control, int value);
int setValue(int panel, int control, unsigned value);
int setValue(int panel, int control, long value);
int setValue(int panel, int control, unsigned long value);
int setValue(int panel, int control, long long value);
int setValue(int panel, int control, unsigned long long value);
int setValue(int panel, int control, double value);
int setValue(int panel, int control, std::string_view text);
int setValue(int panel, int control, const char* text);

int getValue(int panel, int control, int& value);
int getValue(int panel, int control, unsigned& value);
int getValue(int panel, int control, short& value);
int getValue(int panel, int control, unsigned short& value);
int getValue(int panel, int control, long& value);
int getValue(int panel, int control, unsigned long& value);
int getValue(int panel, int control, long long& value);
int getValue(int panel, int control, unsigned long long& value);
int getValue(int panel, int control, double& value);
int getValue(int panel, int control, std::string& text);

// What the control shows as text (a numeric in its display format, a ring
// its selected label, a switch its on/off text, a LED "0"/"1").
int getDisplayText(int panel, int control, std::string& text);

// Formats a number as a numeric control with this type and format shows it,
// independent of the locale ("0.0010", "01A3", "0000000000000101", "1.500000E-6").
std::string formatNumber(double value, ValueType type, Format format);

// ---------------------------------------------------------- attributes
// See panels.h for the attribute codes. Platform codes (< 100000) are stored.
int setAttribute(int panel, int control, int attribute, int value);
int setAttribute(int panel, int control, int attribute, double value);
int setAttribute(int panel, int control, int attribute, std::string_view value);
int getAttribute(int panel, int control, int attribute, int& value);
int getAttribute(int panel, int control, int attribute, double& value);
int getAttribute(int panel, int control, int attribute, std::string& value);

// Resets a control to its default value/content.
int resetControl(int panel, int control);
// Runs the control's callback as if the operator had triggered event;
// returns the callback's result, 0 if the control has none.
int callCallback(int panel, int control, int event = EVENT_COMMIT, int eventData1 = 0, int eventData2 = 0);
int setControlCallback(int panel, int control, ControlCallback callback);
int activeControl(int panel, int& control);  // 0 if none has the focus
int setActiveControl(int panel, int control);

// ------------------------------------------------- rings and list boxes
// Index is 0-based; index -1 appends.
int insertItem(int panel, int control, int index, std::string_view label, double value);
// Deletes count items from index (count -1: all from index).
int deleteItems(int panel, int control, int index, int count);
int clearItems(int panel, int control);
int itemCount(int panel, int control, int& count);
int getIndex(int panel, int control, int& index);  // -1 when empty
int setIndex(int panel, int control, int index);
int itemLabel(int panel, int control, int index, std::string& label);
int itemValue(int panel, int control, int index, double& value);

// ------------------------------------------------------------ text boxes
// Lines are 0-based. A text with line feeds inside becomes several lines.
int appendLine(int panel, int control, std::string_view text);
int insertLine(int panel, int control, int index, std::string_view text);  // -1 appends
int replaceLine(int panel, int control, int index, std::string_view text);
int deleteLines(int panel, int control, int index, int count);  // -1: to the end
int lineCount(int panel, int control, int& count);
int lineText(int panel, int control, int index, std::string& text);
int clearTextBox(int panel, int control);
// Highlights length characters of line, from character start (0-based), and
// moves the box there.
int selectText(int panel, int control, int line, int start, int length);
int selectedText(int panel, int control, std::string& text);
// (visible lines, first visible line, line position: attributes ATTR_...)

// ---------------------------------------------------------------- tables
// Rows and columns are 1-based.
int setCell(int panel, int control, int row, int column, std::string_view text);
int getCell(int panel, int control, int row, int column, std::string& text);
// (reset: resetControl; visible/first visible row: attributes)

// ----------------------------------------------------------- strip charts
// Plots count values interleaved one per trace: with N traces, values
// [0..N-1] are the first point of traces 1..N, and so on. count must be a
// multiple of N. Only the last points-per-screen points are kept; painting
// is coalesced and done at the next event processing.
int plotStripChart(int panel, int control, const std::uint32_t* values, int count);
int plotStripChart(int panel, int control, const double* values, int count);
int clearStripChart(int panel, int control);
// Trace attributes: ATTR_TEXT_COLOR (= trace colour), ATTR_VISIBLE, or any
// platform code (stored). Traces are 1-based.
int setTraceAttribute(int panel, int control, int trace, int attribute, int value);
int getTraceAttribute(int panel, int control, int trace, int attribute, int& value);
// The points of one trace now on screen, oldest first.
int tracePoints(int panel, int control, int trace, std::vector<double>& points);

// -------------------------------------------------- controls made in code
// Adds a control to a panel; constant names it in scripts ("LIST", "OK").
// height/width 0 pick a natural size. Returns the new control id (above every
// id the panel holds) or a negative status. The value type is Int32 for
// numerics, rings, list boxes and scroll bars, String for text kinds.
int newControl(int panel, ControlKind kind, std::string_view label, int top, int left, int height = 0, int width = 0,
               std::string_view constant = {});
// A vertical scroll bar with range, value and change callback (EVENT_VAL_CHANGED
// while dragged, EVENT_COMMIT when released or stepped). Returns its id.
int newScrollBar(int panel, int top, int left, int height, int width, int minimum, int maximum, int value,
                 ControlCallback callback, std::string_view constant = {});
int discardControl(int panel, int control);

}  // namespace tk

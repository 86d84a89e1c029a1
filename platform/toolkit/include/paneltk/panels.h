// Panels: loading from a resource, showing, pop-ups, attributes, panels built
// in code, tab pages, screenshots.
//
// A panel handle is a positive int, unique in the process (handles are not
// reused). Loading the same panel twice gives two independent panels.
#pragma once

#include <string>
#include <string_view>

#include "runtime.h"

namespace tk {

// Attribute codes of panels and controls. Codes below 100000 are platform
// attribute numbers (e.g. 600, 580, 610, trace attribute 1230): the toolkit
// stores and returns them for any panel, control or trace without meaning.
enum Attribute : int {
    ATTR_TITLE = 100001,  // panel, string
    ATTR_TOP,             // panel/control, int pixels (panel: on screen)
    ATTR_LEFT,
    ATTR_HEIGHT,
    ATTR_WIDTH,
    ATTR_VISIBLE,       // panel/control, 0/1
    ATTR_DIMMED,        // control (and menu item), 0/1
    ATTR_LABEL_TEXT,    // control, string ("__" accelerator markup accepted)
    ATTR_TEXT_COLOR,    // control, 0xRRGGBB
    ATTR_TEXT_BGCOLOR,  // control, 0xRRGGBB (value area background)
    ATTR_BACKCOLOR,     // panel/control, 0xRRGGBB
    ATTR_CTRL_MODE,     // control: MODE_INPUT / MODE_DISPLAY_ONLY
    ATTR_MIN_VALUE,     // numeric / scroll bar, int (use getAttribute double overload for doubles)
    ATTR_MAX_VALUE,
    ATTR_INCR_VALUE,
    ATTR_CONSTANT_NAME,  // panel/control, string, read only
    ATTR_CONTROL_KIND,   // control, int (ControlKind), read only
    ATTR_DATA_TYPE,      // control, int (ValueType), read only
    ATTR_PANEL_ID,       // panel, int: its id in the resource (0 if built in code), read only
    ATTR_ACTIVE,         // panel, 0/1 read only: has keyboard focus
    ATTR_POPUP,          // panel, 0/1 read only: installed as a pop-up
    ATTR_EMPHASIS,       // decoration: 0 plain, 100 emphasised
    // text boxes
    ATTR_TOTAL_LINES,         // int, read only
    ATTR_VISIBLE_LINES,       // int, read only: whole lines that fit
    ATTR_FIRST_VISIBLE_LINE,  // int, 0-based
    ATTR_LINE_POSITION,       // int, 0-based line the box is positioned at (cursor line)
    // tables
    ATTR_NUM_ROWS,           // int, read only
    ATTR_NUM_COLUMNS,        // int, read only
    ATTR_VISIBLE_ROWS,       // int, read only: whole rows that fit
    ATTR_FIRST_VISIBLE_ROW,  // int, 1-based
    // strip charts
    ATTR_POINTS_PER_SCREEN,  // int
    ATTR_NUM_TRACES,         // int, read only
    ATTR_Y_MIN,              // double
    ATTR_Y_MAX,              // double
    // window frame (panel)
    ATTR_SIZABLE,        // 0/1
    ATTR_CLOSE_CONTROL,  // int control id (0 = close box does nothing)
};

enum CtrlMode : int { MODE_INPUT = 0, MODE_DISPLAY_ONLY = 1 };

// Position of a panel built in code that puts it in the middle of its screen.
inline constexpr int AUTO_CENTER = -2147483647 - 1;

// ------------------------------------------------------- loading, showing
// Loads panel panelId of a registered resource. parent 0 makes a top-level
// window; a parent handle makes it a window owned by that panel (discarded
// with it). If the panel definition names a menu bar it is loaded with it.
// Returns the new handle, or a negative status.
int loadPanel(int parent, std::string_view resource, int panelId, const Bindings* bindings = nullptr);
int displayPanel(int panel);  // shows (and raises) the window
int hidePanel(int panel);     // hides; an installed pop-up is removed
// Closing a panel's window (close box, or "close PANEL" in a script) never
// closes it by itself: the panel callback gets EVENT_CLOSE, then the callback
// of the panel's close control (PanelDef::closeControl / ATTR_CLOSE_CONTROL)
// runs as if that control were committed. Without a close control the window
// stays as it is.
int discardPanel(int panel);  // destroys the panel, its children and menu bar
bool panelExists(int panel);

// Pop-ups. installPopup shows the panel as a modal window (the other windows
// take no input) and returns at once; the program then processes events until
// it is removed. removePopup(0) removes the most recent pop-up.
int installPopup(int panel);
int removePopup(int panel = 0);
int removeAllPopups();

// The panel that has the keyboard focus, else the most recently displayed
// visible panel; 0 if none is visible.
int activePanel();
int setActivePanel(int panel);

// Panel callback data: passed to every panel, control and menu callback.
int setPanelCallbackData(int panel, void* data);
int getPanelCallbackData(int panel, void*& data);

int setPanelAttribute(int panel, int attribute, int value);
int setPanelAttribute(int panel, int attribute, std::string_view value);
int getPanelAttribute(int panel, int attribute, int& value);
int getPanelAttribute(int panel, int attribute, std::string& value);

// Resets every control of the panel to its default value (and the tables to
// their default cells, text boxes to their default text, strip charts empty).
int resetPanel(int panel);

// ----------------------------------------------------- panels built in code
// A new empty panel; constant names the panel in scripts ("SI"). Returns the
// handle or a negative status. top and/or left AUTO_CENTER centre the panel
// on the screen it is on (its owner's, else the primary screen) when it is
// first shown.
int newPanel(int parent, std::string_view title, int top, int left, int height, int width,
             std::string_view constant = {});
int setPanelCallback(int panel, PanelCallback callback);

// Replaces the canvas control by a tab control of the same place and size
// and loads panel pageId of the resource as its single page, with tabLabel as
// caption (empty: the page's title). Returns the page panel's handle, which
// addresses the page's controls; discarding the owner discards the page.
int makeTabPage(int panel, int canvasControl, std::string_view resource, int pageId, std::string_view tabLabel = {},
                const Bindings* bindings = nullptr);

// ---------------------------------------------------------- screenshots
// Saves the panel's window as a PNG file (works off screen too).
int saveScreenshot(int panel, const std::string& path);
// The directory given by --screenshots / SORVI_SCREENSHOTS ("" if none).
std::string screenshotDirectory();
void setScreenshotDirectory(const std::string& dir);

}  // namespace tk

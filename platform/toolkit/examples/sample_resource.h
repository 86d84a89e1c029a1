// A sample resource with Russian labels, one control of every kind: used by
// the toolkit's tests and by tk_demo.
#pragma once

#include <paneltk/panel_resource.h>

// Panels.
enum { SAMPLE = 1, PAGE = 2, ASK = 3 };

// Controls of SAMPLE.
enum {
    SAMPLE_START = 2,  // command button "__Пуск", callback "startP"
    SAMPLE_STOP,       // command button, starts dimmed
    SAMPLE_PERIOD,     // double, fixed 4 decimals, default 0.001, min 0.0001
    SAMPLE_REG,        // u16, hex 4 digits
    SAMPLE_NREG,       // u32, hex without padding, default 2, step 2
    SAMPLE_BITS,       // u16, binary 16 digits, display only
    SAMPLE_SCI,        // double, scientific 6 decimals, display only
    SAMPLE_BUF,        // u32, scientific 3 decimals
    SAMPLE_RESULT,     // i16, integer, range -32768..32767
    SAMPLE_CHAN,       // u16, range 1..32
    SAMPLE_MODE,       // ring, u16 items 0..2, callback "changeMode"
    SAMPLE_RELAY,      // binary switch "выкл."/"вкл."
    SAMPLE_LED,        // LED
    SAMPLE_NAME,       // string, input, default "sorvi.log"
    SAMPLE_STATUS,     // string, display only, status line
    SAMPLE_MSG,        // text message
    SAMPLE_LOG,        // text box, monospace
    SAMPLE_TABLE,      // table 32 x 1, default cell "-"
    SAMPLE_CHART,      // strip chart 4 traces
    SAMPLE_CANVAS,     // canvas (becomes a tab control with PAGE)
    SAMPLE_DECOR,      // decoration
    SAMPLE_PICTURE,    // picture
    SAMPLE_FIND,       // picture button
    SAMPLE_HIDDEN,     // text box, starts hidden
    SAMPLE_EXIT,       // command button " Выход ", callback "exitP"; the close box
};

// Controls of PAGE (a tab page).
enum { PAGE_RING = 2, PAGE_GO, PAGE_FILE };

// Controls of ASK (a modal pop-up).
enum { ASK_YES = 2, ASK_NO, ASK_TEXT };

// Menu bar MENU of SAMPLE.
enum { MENU = 1, MENU_FILE = 2, MENU_FILE_ABOUT = 3, MENU_FILE_SEP = 4, MENU_FILE_EXIT = 5 };

const tk::ResourceDef& sampleResource();

// Identifiers of the soft front panel's resource "sorvi.uir": panels, their
// controls and the main window's menu bar. The logic addresses everything by
// these numbers, so they never change. Panels are numbered in the
// alphabetical order of their constants; controls from 2 in panel order; the
// menu bar IMNU has its own numbering (bar 1, menu 2, items from 3,
// separators included).
#pragma once

#include <paneltk/panel_resource.h>

// Name under which the resource is registered with the panel toolkit.
inline constexpr const char* SORVI_RESOURCE = "sorvi.uir";

// The resource as data (registered by registerSorviResource()).
const tk::ResourceDef& sorviResource();

enum SorviPanelId : int {
    ABOUT = 1,
    EP = 2,
    EXIT_POPUP = 3,
    MP = 4,
    PP = 5,
    RP = 6,
    SP = 7,
    ST = 8,
    TP = 9,
};

// Menu bar of MP.
enum SorviMenuId : int {
    IMNU = 1,
    IMNU_INSTR = 2,
    IMNU_INSTR_INTERRUPT = 3,
    IMNU_INSTR_SEPARATOR_3 = 4,
    IMNU_INSTR_CONFIG = 5,
    IMNU_INSTR_PARAMS = 6,
    IMNU_INSTR_SEPARATOR_2 = 7,
    IMNU_INSTR_ABOUT = 8,
    IMNU_INSTR_SEPARATOR_4 = 9,
    IMNU_INSTR_EXIT = 10,
};

// Main window.
enum MpControlId : int {
    MP_S = 2,
    MP_MEZ_NUM = 3,
    MP_LAST_TIME = 4,
    MP_K = 5,
    MP_DECORATION = 6,
    MP_POROG_2 = 7,
    MP_POROG_1 = 8,
    MP_POROG_C = 9,
    MP_FIRST_TIME = 10,
    MP_REG_OUT = 11,
    MP_CREG_OUT = 12,
    MP_NREG_OUT = 13,
    MP_REG_IN = 14,
    MP_CREG_IN = 15,
    MP_NREG_IN = 16,
    MP_SAMPLE_PERIOD = 17,
    MP_MODE = 18,
    MP_B_P_SIZE = 19,
    MP_RELE_SWITCH = 20,
    MP_BASE_MEM = 21,
    MP_START = 22,
    MP_TEST = 23,
    MP_RESET = 24,
    MP_SELFTEST = 25,
    MP_STOP = 26,
    MP_MP_EXIT = 27,
    MP_TEXTMSG_4 = 28,
    MP_TEXTMSG_5 = 29,
    MP_RESULT_2 = 30,
    MP_TEXTMSG_17 = 31,
    MP_TEXTMSG_18 = 32,
    MP_TEXTMSG_19 = 33,
    MP_RESULT = 34,
    MP_TEXTMSG_8 = 35,
    MP_TEXTMSG_9 = 36,
    MP_TEXTMSG_10 = 37,
    MP_VXI_LOGO = 38,
    MP_PICTURE_2 = 39,
    MP_TEXTMSG_2 = 40,
    MP_TEXTMSG_3 = 41,
    MP_TEXTMSG_6 = 42,
    MP_TEXTMSG_11 = 43,
    MP_DECORATION_2 = 44,
    MP_TEXTMSG_20 = 45,
    MP_TEXTMSG_21 = 46,
    MP_TEXTMSG_22 = 47,
    MP_TEXTMSG_23 = 48,
    MP_S_FILE_NAME = 49,
    MP_D_FILE_NAME = 50,
    MP_FILE_NAME = 51,
    MP_N_CADRS = 52,
    MP_N_READ = 53,
    MP_TEXTMSG_12 = 54,
    MP_TEXTMSG_13 = 55,
    MP_TEXTMSG_14 = 56,
    MP_TEXTMSG_15 = 57,
    MP_TEXTMSG_16 = 58,
    MP_ERROR_MESSAGE = 59,
    MP_SHOW_RES = 60,
    MP_GRAPH = 61,
    MP_CADR = 62,
    MP_ENABLE_INTERRUPT = 63,
    MP_ERROR_MESSAGE_OK = 64,
    MP_START_TYPE = 65,
    MP_BAZA = 66,
    MP_GROUP = 67,
    MP_D_SHOW_RES = 68,
    MP_TEXTMSG_7 = 69,
    MP_TEXTMSG_24 = 70,
    MP_TEXTMSG_25 = 71,
};

// "О программе".
enum AboutControlId : int {
    ABOUT_COMMANDBUTTON = 2,
    ABOUT_SOFT_VERSION = 3,
    ABOUT_DRVR_VERSION = 4,
    ABOUT_DECORATION = 5,
    ABOUT_PICTURE_2 = 6,
    ABOUT_TEXTMSG_2 = 7,
    ABOUT_TEXTMSG_3 = 8,
    ABOUT_TEXTMSG = 9,
};

// Instrument error notice.
enum EpControlId : int {
    EP_COMMANDBUTTON = 2,
    EP_LED = 3,
};

// Exit confirmation.
enum ExitPopupControlId : int {
    EXIT_POPUP_EXIT_YES = 2,
    EXIT_POPUP_EXIT_NO = 3,
    EXIT_POPUP_TEXTMSG = 4,
};

// Parameters (read buffer size).
enum PpControlId : int {
    PP_SET_PARAMS = 2,
    PP_COMMANDBUTTON = 3,
    PP_BUF_SIZE = 4,
    PP_TEXTMSG = 5,
};

// Results viewer.
enum RpControlId : int {
    RP_RESULTS_BOX = 2,
    RP_STROK_N = 3,
    RP_STROK_K = 4,
    RP_RP_EXIT = 5,
    RP_TEXTMSG_14 = 6,
    RP_TEXTMSG_18 = 7,
    RP_TEXTMSG_12 = 8,
    RP_LAST_TIME = 9,
    RP_TEXTMSG_19 = 10,
    RP_TEXTMSG_20 = 11,
    RP_TEXTMSG_21 = 12,
    RP_LAST_TRIG_TIME = 13,
    RP_FIRST_TIME = 14,
    RP_TEXTMSG_15 = 15,
    RP_TEXTMSG_17 = 16,
    RP_TEXTMSG_16 = 17,
    RP_TEXTMSG = 18,
    RP_CLEAR_RES = 19,
    RP_TEXTMSG_2 = 20,
    RP_ANOTHER_CADR = 21,
    RP_DECORATION = 22,
};

// Strip chart of the 32 channels.
enum SpControlId : int {
    SP_STRIPCHART = 2,
    SP_CLOSE = 3,
};

// Self-test result.
enum StControlId : int {
    ST_RESULT = 2,
    ST_MSG = 3,
    ST_CLOSE = 4,
};

// Converter (DAC) test table.
enum TpControlId : int {
    TP_TABLE = 2,
    TP_CLOSE = 3,
    TP_WAIT = 4,
};

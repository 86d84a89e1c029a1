// Identifiers of the panel resource "verisk.uir": panel numbers and, for
// each panel, its controls numbered from 2 in the panel's control order.
// The program's logic uses these values directly, so they never change.
#pragma once

#include <paneltk/panel_resource.h>

// Panels (numbered from 1 in the alphabetical order of their constants over
// every panel the resource ever held; the program shows six of them).
inline constexpr int CHLP = 2;        // protocol viewer
inline constexpr int EXIT_POPUP = 3;  // exit confirmation
inline constexpr int MP = 4;          // main window
inline constexpr int P4 = 8;          // per-channel output check
inline constexpr int ST = 11;         // self-test result
inline constexpr int TP = 12;         // tab page "Проверки по ТУ"

// Controls of CHLP.
inline constexpr int CHLP_LOG = 2;
inline constexpr int CHLP_COMMANDBUTTON_2 = 3;

// Controls of EXIT_POPUP.
inline constexpr int EXIT_POPUP_EXIT_YES = 2;
inline constexpr int EXIT_POPUP_EXIT_NO = 3;
inline constexpr int EXIT_POPUP_TEXTMSG = 4;

// Controls of MP.
inline constexpr int MP_TEXTMSG_2 = 2;
inline constexpr int MP_TEXTMSG_3 = 3;
inline constexpr int MP_TEXTMSG_11 = 4;
inline constexpr int MP_SELFTEST = 5;
inline constexpr int MP_MP_EXIT = 6;
inline constexpr int MP_S = 7;
inline constexpr int MP_K = 8;
inline constexpr int MP_TEXTMSG_12 = 9;
inline constexpr int MP_DECORATION = 10;
inline constexpr int MP_SAMPLE_P = 11;
inline constexpr int MP_MEZ_NUM = 12;
inline constexpr int MP_VXI_LOGO = 13;
inline constexpr int MP_PICTURE_2 = 14;
inline constexpr int MP_ERROR_MESSAGE = 15;
inline constexpr int MP_CANVAS = 16;

// Controls of P4.
inline constexpr int P4_INPUT = 2;
inline constexpr int P4_COMMANDBUTTON_2 = 3;
inline constexpr int P4_START_2 = 4;
inline constexpr int P4_START = 5;
inline constexpr int P4_TABLE = 6;
inline constexpr int P4_TEXTMSG = 7;
inline constexpr int P4_CHAN = 8;
inline constexpr int P4_TEXTBOX_2 = 9;
inline constexpr int P4_MSG_5 = 10;
inline constexpr int P4_MSG_4 = 11;
inline constexpr int P4_MSG_3 = 12;
inline constexpr int P4_MSG_2 = 13;
inline constexpr int P4_MSG_1 = 14;

// Controls of ST.
inline constexpr int ST_RESULT = 2;
inline constexpr int ST_MSG = 3;
inline constexpr int ST_CLOSE = 4;

// Controls of TP.
inline constexpr int TP_SHOW_LOG = 2;
inline constexpr int TP_FILE_NAME_S = 3;
inline constexpr int TP_FILE_NAME = 4;
inline constexpr int TP_RING = 5;
inline constexpr int TP_INPUT = 6;
inline constexpr int TP_INPUT8_1 = 7;
inline constexpr int TP_INPUT8_2 = 8;

// Name under which the resource is registered and loaded.
inline constexpr const char* kVeriskResource = "verisk.uir";

// The resource's panel definitions.
const tk::ResourceDef& veriskResource();

// The panel resource "sorvi.uir": the nine windows of the soft front panel
// and the menu bar of its main window, as data for the panel toolkit.
// Pixel positions are left to the toolkit's layout; everything the program
// or the operator relies on (ids, texts, kinds, types, defaults, ranges,
// formats, items, callbacks, start states) is fixed here.
#include "sorvi_uir.h"

#include <iterator>

// The resource tables are laid out by hand, a control or a placement to a
// line, like the panels they describe.
// clang-format off

namespace {

using tk::ControlDef;
using tk::ControlKind;
using tk::Format;
using tk::ValueType;

ControlDef button(int id, const char* constant, const char* label, const char* callback,
                  unsigned flags = tk::Input) {
    return {.id = id, .constant = constant, .kind = ControlKind::CommandButton, .label = label,
            .flags = flags, .callback = callback};
}

ControlDef textMessage(int id, const char* constant, const char* text) {
    return {.id = id, .constant = constant, .kind = ControlKind::TextMessage,
            .type = ValueType::String, .defaultText = text};
}

ControlDef decoration(int id, const char* constant) {
    return {.id = id, .constant = constant, .kind = ControlKind::Decoration};
}

ControlDef picture(int id, const char* constant) {
    return {.id = id, .constant = constant, .kind = ControlKind::Picture};
}

// Display-only unsigned counters and times: "0", no range beyond the type.
ControlDef counter(int id, const char* constant, const char* label, ValueType type) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .label = label,
            .flags = tk::DisplayOnly, .type = type, .format = Format::integer()};
}

// Crate, slot and mezzanine number of the main window.
ControlDef position(int id, const char* constant, const char* label) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .label = label,
            .flags = tk::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 1, .min = 0,
            .max = 65535, .format = Format::integer()};
}

// Thresholds in volts, "2.00".
ControlDef threshold(int id, const char* constant, const char* label, unsigned flags) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .label = label,
            .flags = flags, .callback = "change_porogC", .type = ValueType::Double,
            .defaultNumber = 2, .min = -10, .max = 10, .step = 1, .format = Format::fixed(2)};
}

// A 16-bit register value, four hexadecimal digits.
ControlDef registerValue(int id, const char* constant, unsigned flags) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .flags = flags,
            .type = ValueType::UInt16, .defaultNumber = 0, .min = 0, .max = 65535,
            .format = Format::hex(4)};
}

// A register byte offset: starts at 2, steps by 2, hexadecimal without padding.
ControlDef registerNumber(int id, const char* constant) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .label = "Регистр",
            .type = ValueType::UInt32, .defaultNumber = 2, .min = 0, .step = 2,
            .format = Format::hex(0)};
}

// Sixteen channel states, most significant bit first.
ControlDef channelWord(int id, const char* constant, const char* label) {
    return {.id = id, .constant = constant, .kind = ControlKind::Numeric, .label = label,
            .flags = tk::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 0,
            .format = Format::binary(16)};
}

ControlDef binarySwitch(int id, const char* constant, const char* label, const char* callback,
                        ValueType type, const char* offText, const char* onText) {
    return {.id = id, .constant = constant, .kind = ControlKind::BinarySwitch, .label = label,
            .callback = callback, .type = type, .defaultNumber = 0, .offText = offText,
            .onText = onText, .offValue = 0, .onValue = 1};
}

tk::PanelDef mainPanelControls() {
    return {
        .id = MP, .constant = "MP", .title = "СОРВИ", .height = 540, .width = 544,
        .closeControl = MP_MP_EXIT, .menuBar = IMNU,
        .controls = {
            position(MP_S, "MP_S", "Слот"),
            position(MP_MEZ_NUM, "MP_MEZ_NUM", "мезонин"),
            counter(MP_LAST_TIME, "MP_LAST_TIME", "тек.", ValueType::UInt32),
            position(MP_K, "MP_K", "Крейт"),
            decoration(MP_DECORATION, "MP_DECORATION"),
            threshold(MP_POROG_2, "MP_POROG_2", "кан.17-32", tk::DisplayOnly),
            threshold(MP_POROG_1, "MP_POROG_1", "кан.1-16", tk::DisplayOnly),
            threshold(MP_POROG_C, "MP_POROG_C", "компоратора", tk::Input),
            counter(MP_FIRST_TIME, "MP_FIRST_TIME", "нач.изм.", ValueType::UInt32),
            registerValue(MP_REG_OUT, "MP_REG_OUT", tk::Input),
            button(MP_CREG_OUT, "MP_CREG_OUT", "Записать", "outReg"),
            registerNumber(MP_NREG_OUT, "MP_NREG_OUT"),
            registerValue(MP_REG_IN, "MP_REG_IN", tk::DisplayOnly),
            button(MP_CREG_IN, "MP_CREG_IN", "Ввести", "inputReg"),
            registerNumber(MP_NREG_IN, "MP_NREG_IN"),
            {.id = MP_SAMPLE_PERIOD, .constant = "MP_SAMPLE_PERIOD", .kind = ControlKind::Numeric,
             .label = "Период опроса", .callback = "change_sampleP", .type = ValueType::Double,
             .defaultNumber = 0.001, .min = 0.0001, .step = 0.0001, .format = Format::fixed(4)},
            {.id = MP_MODE, .constant = "MP_MODE", .kind = ControlKind::Ring, .label = "Режим",
             .callback = "change_mode", .type = ValueType::UInt16,
             .items = {{"однократный", 0}, {"блочный", 1}, {"непрерывный", 2}}},
            {.id = MP_B_P_SIZE, .constant = "MP_B_P_SIZE", .kind = ControlKind::Numeric,
             .label = "Размер блока", .flags = tk::StartsDimmed, .callback = "setSize",
             .type = ValueType::UInt32, .defaultNumber = 1000, .min = 1, .step = 10,
             .format = Format::integer()},
            binarySwitch(MP_RELE_SWITCH, "MP_RELE_SWITCH", "Входное реле", "releSwitch",
                         ValueType::UInt16, "выкл.", "вкл."),
            {.id = MP_BASE_MEM, .constant = "MP_BASE_MEM", .kind = ControlKind::Numeric,
             .callback = "change_baseMem", .type = ValueType::UInt32, .defaultNumber = 1000,
             .min = 0, .step = 10, .format = Format::integer()},
            button(MP_START, "MP_START", "Запуск", "startP"),
            button(MP_TEST, "MP_TEST", "Погрешность ЦАП", "testCAP"),
            button(MP_RESET, "MP_RESET", "Сброс", "cbReset"),
            button(MP_SELFTEST, "MP_SELFTEST", "Самоконтроль", "Selftest"),
            button(MP_STOP, "MP_STOP", "Останов", "stop", tk::StartsDimmed),
            button(MP_MP_EXIT, "MP_MP_EXIT", " Выход ", "mp_exit"),
            textMessage(MP_TEXTMSG_4, "MP_TEXTMSG_4", "Порог "),
            textMessage(MP_TEXTMSG_5, "MP_TEXTMSG_5", "Размер базовой"),
            channelWord(MP_RESULT_2, "MP_RESULT_2", ""),
            textMessage(MP_TEXTMSG_17, "MP_TEXTMSG_17", "|"),
            textMessage(MP_TEXTMSG_18, "MP_TEXTMSG_18", "|"),
            textMessage(MP_TEXTMSG_19, "MP_TEXTMSG_19", "|"),
            channelWord(MP_RESULT, "MP_RESULT", "результат"),
            textMessage(MP_TEXTMSG_8, "MP_TEXTMSG_8", "|"),
            textMessage(MP_TEXTMSG_9, "MP_TEXTMSG_9", "|"),
            textMessage(MP_TEXTMSG_10, "MP_TEXTMSG_10", "|"),
            picture(MP_VXI_LOGO, "MP_VXI_LOGO"),
            picture(MP_PICTURE_2, "MP_PICTURE_2"),
            textMessage(MP_TEXTMSG_2, "MP_TEXTMSG_2", "МОДУЛЬ КОНТРОЛЯ"),
            textMessage(MP_TEXTMSG_3, "MP_TEXTMSG_3", "ДИСКРЕТНЫХ СИГНАЛОВ"),
            textMessage(MP_TEXTMSG_6, "MP_TEXTMSG_6", "памяти в кадрах"),
            textMessage(MP_TEXTMSG_11, "MP_TEXTMSG_11", "32 канала"),
            decoration(MP_DECORATION_2, "MP_DECORATION_2"),
            textMessage(MP_TEXTMSG_20, "MP_TEXTMSG_20", "32"),
            textMessage(MP_TEXTMSG_21, "MP_TEXTMSG_21", "17"),
            textMessage(MP_TEXTMSG_22, "MP_TEXTMSG_22", "канал"),
            textMessage(MP_TEXTMSG_23, "MP_TEXTMSG_23", "24"),
            button(MP_S_FILE_NAME, "MP_S_FILE_NAME", "файл рез-тов", "selFName"),
            decoration(MP_D_FILE_NAME, "MP_D_FILE_NAME"),
            {.id = MP_FILE_NAME, .constant = "MP_FILE_NAME", .kind = ControlKind::String,
             .callback = "setFName", .type = ValueType::String, .defaultText = "nul"},
            counter(MP_N_CADRS, "MP_N_CADRS", "гот.кадров", ValueType::UInt32),
            counter(MP_N_READ, "MP_N_READ", "пакетов", ValueType::UInt32),
            textMessage(MP_TEXTMSG_12, "MP_TEXTMSG_12", "16"),
            textMessage(MP_TEXTMSG_13, "MP_TEXTMSG_13", "1"),
            textMessage(MP_TEXTMSG_14, "MP_TEXTMSG_14", "канал"),
            textMessage(MP_TEXTMSG_15, "MP_TEXTMSG_15", "8"),
            textMessage(MP_TEXTMSG_16, "MP_TEXTMSG_16", "время"),
            {.id = MP_ERROR_MESSAGE, .constant = "MP_ERROR_MESSAGE", .kind = ControlKind::String,
             .flags = tk::DisplayOnly, .type = ValueType::String, .defaultText = ""},
            button(MP_SHOW_RES, "MP_SHOW_RES", "Просмотр", "show_res"),
            button(MP_GRAPH, "MP_GRAPH", "График", "graph"),
            button(MP_CADR, "MP_CADR", "Тек.кадр", "cadr"),
            binarySwitch(MP_ENABLE_INTERRUPT, "MP_ENABLE_INTERRUPT", "Прерывания",
                         "enableInterrupt", ValueType::Int32, "Запретить", "Разрешить"),
            button(MP_ERROR_MESSAGE_OK, "MP_ERROR_MESSAGE_OK", "__OK", "errMessOk"),
            binarySwitch(MP_START_TYPE, "MP_START_TYPE", "Тип запуска", "setStartType",
                         ValueType::UInt16, "инд.", "групп."),
            button(MP_BAZA, "MP_BAZA", "носитель", "showBase"),
            {.id = MP_GROUP, .constant = "MP_GROUP", .kind = ControlKind::Ring,
             .callback = "selGroup", .type = ValueType::UInt16,
             .items = {{"все каналы", 0}, {"группа 1 (1-16)", 1}, {"группа 2(17-32)", 2}}},
            decoration(MP_D_SHOW_RES, "MP_D_SHOW_RES"),
            textMessage(MP_TEXTMSG_7, "MP_TEXTMSG_7", "с."),
            textMessage(MP_TEXTMSG_24, "MP_TEXTMSG_24", "В."),
            textMessage(MP_TEXTMSG_25, "MP_TEXTMSG_25", "кадров"),
        }};
}

// Where the main window's controls sit (top, left, height, width; a zero
// size lets the toolkit size the control). Labels go above their control.
struct Placement {
    int id;
    tk::Geometry geometry;
};
const Placement kMainLayout[] = {
    {MP_TEXTMSG_2, {6, 10, 0, 0}},        {MP_TEXTMSG_3, {6, 150, 0, 0}},
    {MP_TEXTMSG_11, {6, 330, 0, 0}},      {MP_VXI_LOGO, {2, 414, 32, 58}},
    {MP_PICTURE_2, {2, 478, 32, 58}},
    {MP_K, {50, 10, 22, 60}},             {MP_S, {50, 80, 22, 60}},
    {MP_MEZ_NUM, {50, 150, 22, 60}},      {MP_BAZA, {49, 225, 24, 80}},
    {MP_MP_EXIT, {49, 460, 24, 74}},
    // thresholds, relays, trigger, interrupts
    {MP_DECORATION, {82, 5, 150, 282}},   {MP_TEXTMSG_4, {92, 10, 0, 0}},
    {MP_GROUP, {88, 60, 24, 150}},        {MP_TEXTMSG_24, {92, 220, 0, 0}},
    {MP_POROG_C, {140, 10, 22, 75}},      {MP_POROG_1, {140, 108, 22, 75}},
    {MP_POROG_2, {140, 198, 22, 75}},     {MP_RELE_SWITCH, {195, 10, 26, 75}},
    {MP_START_TYPE, {195, 108, 26, 75}},  {MP_ENABLE_INTERRUPT, {195, 198, 26, 75}},
    // sampling, mode, sizes
    {MP_D_FILE_NAME, {403, 5, 34, 335}},  {MP_DECORATION_2, {82, 293, 150, 246}},
    {MP_SAMPLE_PERIOD, {104, 301, 22, 80}}, {MP_TEXTMSG_7, {106, 386, 0, 0}},
    {MP_MODE, {103, 410, 24, 122}},       {MP_B_P_SIZE, {150, 301, 22, 80}},
    {MP_TEXTMSG_25, {152, 386, 0, 0}},    {MP_TEXTMSG_5, {182, 301, 0, 0}},
    {MP_TEXTMSG_6, {200, 301, 0, 0}},     {MP_BASE_MEM, {190, 430, 22, 102}},
    // acquisition commands
    {MP_START, {245, 10, 26, 80}},        {MP_STOP, {245, 95, 26, 80}},
    {MP_CADR, {245, 180, 26, 80}},        {MP_RESET, {245, 265, 26, 80}},
    {MP_SELFTEST, {245, 350, 26, 110}},
    // channel states with their scales, counters
    {MP_D_SHOW_RES, {282, 5, 116, 534}},  {MP_RESULT_2, {300, 60, 22, 160}},
    {MP_TEXTMSG_17, {322, 64, 0, 0}},     {MP_TEXTMSG_18, {322, 134, 0, 0}},
    {MP_TEXTMSG_19, {322, 210, 0, 0}},    {MP_TEXTMSG_20, {334, 62, 0, 0}},
    {MP_TEXTMSG_23, {334, 130, 0, 0}},    {MP_TEXTMSG_21, {334, 205, 0, 0}},
    {MP_TEXTMSG_22, {334, 10, 0, 0}},     {MP_RESULT, {300, 310, 22, 160}},
    {MP_TEXTMSG_8, {322, 314, 0, 0}},     {MP_TEXTMSG_9, {322, 384, 0, 0}},
    {MP_TEXTMSG_10, {322, 460, 0, 0}},    {MP_TEXTMSG_12, {334, 312, 0, 0}},
    {MP_TEXTMSG_15, {334, 382, 0, 0}},    {MP_TEXTMSG_13, {334, 458, 0, 0}},
    {MP_TEXTMSG_14, {334, 250, 0, 0}},    {MP_TEXTMSG_16, {372, 10, 0, 0}},
    {MP_FIRST_TIME, {370, 60, 22, 90}},   {MP_LAST_TIME, {370, 160, 22, 90}},
    {MP_N_CADRS, {370, 270, 22, 90}},     {MP_N_READ, {370, 370, 22, 80}},
    // result file and the other windows
    {MP_S_FILE_NAME, {408, 10, 24, 100}}, {MP_FILE_NAME, {409, 115, 22, 220}},
    {MP_SHOW_RES, {408, 350, 24, 90}},    {MP_GRAPH, {408, 445, 24, 90}},
    // register access
    {MP_NREG_IN, {460, 10, 22, 55}},      {MP_CREG_IN, {459, 70, 24, 65}},
    {MP_REG_IN, {460, 140, 22, 55}},      {MP_NREG_OUT, {460, 205, 22, 55}},
    {MP_REG_OUT, {460, 265, 22, 55}},     {MP_CREG_OUT, {459, 325, 24, 75}},
    {MP_TEST, {459, 405, 24, 130}},
    // status line
    {MP_ERROR_MESSAGE, {492, 10, 22, 450}}, {MP_ERROR_MESSAGE_OK, {491, 465, 24, 70}},
};

// The results viewer: the list with its channel scale, the times and line
// numbers beside it (room is left for the scroll bar added at run time).
const Placement kResultsLayout[] = {
    {RP_DECORATION, {14, 5, 416, 492}},    {RP_TEXTMSG_14, {20, 12, 0, 0}},
    {RP_TEXTMSG_12, {20, 110, 0, 0}},      {RP_TEXTMSG_15, {20, 150, 0, 0}},
    {RP_TEXTMSG_16, {20, 190, 0, 0}},      {RP_TEXTMSG_17, {20, 230, 0, 0}},
    {RP_TEXTMSG_18, {20, 270, 0, 0}},      {RP_TEXTMSG_19, {20, 310, 0, 0}},
    {RP_TEXTMSG_21, {20, 350, 0, 0}},      {RP_TEXTMSG_20, {20, 390, 0, 0}},
    {RP_TEXTMSG, {20, 430, 0, 0}},         {RP_RESULTS_BOX, {40, 10, 384, 480}},
    {RP_TEXTMSG_2, {20, 525, 0, 0}},       {RP_FIRST_TIME, {62, 525, 22, 85}},
    {RP_LAST_TIME, {106, 525, 22, 85}},    {RP_LAST_TRIG_TIME, {168, 525, 22, 105}},
    {RP_STROK_N, {210, 525, 22, 85}},      {RP_STROK_K, {240, 525, 22, 85}},
    {RP_ANOTHER_CADR, {280, 525, 0, 0}},   {RP_CLEAR_RES, {400, 525, 26, 85}},
    {RP_RP_EXIT, {440, 525, 26, 85}},
};

// The exit confirmation: the question first, the answers below it.
const Placement kExitLayout[] = {
    {EXIT_POPUP_TEXTMSG, {25, 30, 22, 310}},
    {EXIT_POPUP_EXIT_YES, {70, 60, 28, 90}},
    {EXIT_POPUP_EXIT_NO, {70, 214, 28, 90}},
};

void place(tk::PanelDef& panel, const Placement* layout, std::size_t count) {
    for (tk::ControlDef& c : panel.controls) {
        for (std::size_t i = 0; i < count; ++i)
            if (layout[i].id == c.id) c.geometry = layout[i].geometry;
    }
}

tk::PanelDef mainPanel() {
    tk::PanelDef panel = mainPanelControls();
    place(panel, kMainLayout, std::size(kMainLayout));
    return panel;
}

tk::PanelDef aboutPanel() {
    return {.id = ABOUT, .constant = "ABOUT", .title = "", .height = 206, .width = 364,
            .closeControl = ABOUT_COMMANDBUTTON,
            .controls = {
                button(ABOUT_COMMANDBUTTON, "ABOUT_COMMANDBUTTON", "__Выход", "closeSp"),
                {.id = ABOUT_SOFT_VERSION, .constant = "ABOUT_SOFT_VERSION",
                 .kind = ControlKind::String, .label = "Версия  программы",
                 .flags = tk::DisplayOnly, .type = ValueType::String, .defaultText = ""},
                {.id = ABOUT_DRVR_VERSION, .constant = "ABOUT_DRVR_VERSION",
                 .kind = ControlKind::String, .label = "Версия  драйвера",
                 .flags = tk::DisplayOnly, .type = ValueType::String, .defaultText = " "},
                decoration(ABOUT_DECORATION, "ABOUT_DECORATION"),
                picture(ABOUT_PICTURE_2, "ABOUT_PICTURE_2"),
                textMessage(ABOUT_TEXTMSG_2, "ABOUT_TEXTMSG_2", "МОДУЛЬ КОНТРОЛЯ"),
                textMessage(ABOUT_TEXTMSG_3, "ABOUT_TEXTMSG_3", "ДИСКРЕТНЫХ СИГНАЛОВ"),
                textMessage(ABOUT_TEXTMSG, "ABOUT_TEXTMSG", "управления модулем"),
            }};
}

tk::PanelDef errorPanel() {
    return {.id = EP, .constant = "EP", .title = "Ошибка", .height = 83, .width = 335,
            .closeControl = EP_COMMANDBUTTON,
            .controls = {
                button(EP_COMMANDBUTTON, "EP_COMMANDBUTTON", "Закрыть", "closeSp"),
                {.id = EP_LED, .constant = "EP_LED", .kind = ControlKind::Led,
                 .label = "Ошибка инструмента", .flags = tk::DisplayOnly,
                 .type = ValueType::Int32, .defaultNumber = 0},
            }};
}

tk::PanelDef exitPopupControls() {
    return {.id = EXIT_POPUP, .constant = "EXIT_POPUP", .title = "СОРВИ", .height = 122,
            .width = 364, .closeControl = EXIT_POPUP_EXIT_NO,
            .controls = {
                button(EXIT_POPUP_EXIT_YES, "EXIT_POPUP_EXIT_YES", "ДА", "exit_yes"),
                button(EXIT_POPUP_EXIT_NO, "EXIT_POPUP_EXIT_NO", "НЕТ", "exit_no"),
                textMessage(EXIT_POPUP_TEXTMSG, "EXIT_POPUP_TEXTMSG",
                            "Завершить работу с мезонином СОРВИ?"),
            }};
}

tk::PanelDef exitPopup() {
    tk::PanelDef panel = exitPopupControls();
    place(panel, kExitLayout, std::size(kExitLayout));
    return panel;
}

tk::PanelDef paramsPanel() {
    return {.id = PP, .constant = "PP", .title = "Параметры", .height = 148, .width = 416,
            .closeControl = 0,
            .controls = {
                button(PP_SET_PARAMS, "PP_SET_PARAMS", "Принять", "setParams"),
                button(PP_COMMANDBUTTON, "PP_COMMANDBUTTON", "Отменить", "closeSp"),
                {.id = PP_BUF_SIZE, .constant = "PP_BUF_SIZE", .kind = ControlKind::Numeric,
                 .label = "Размер буфера для чтения данных", .type = ValueType::UInt32,
                 .defaultNumber = 0, .min = 0, .step = 1, .format = Format::scientific(3)},
                textMessage(PP_TEXTMSG, "PP_TEXTMSG", "кадров"),
            }};
}

tk::PanelDef resultsPanelControls() {
    return {.id = RP, .constant = "RP", .title = "Просмотр результатов", .height = 480,
            .width = 640, .closeControl = RP_RP_EXIT,
            .controls = {
                {.id = RP_RESULTS_BOX, .constant = "RP_RESULTS_BOX", .kind = ControlKind::TextBox,
                 .flags = tk::DisplayOnly, .type = ValueType::String, .defaultText = "",
                 .monospace = true},
                {.id = RP_STROK_N, .constant = "RP_STROK_N", .kind = ControlKind::Numeric,
                 .flags = tk::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 0,
                 .format = Format::integer()},
                {.id = RP_STROK_K, .constant = "RP_STROK_K", .kind = ControlKind::Numeric,
                 .flags = tk::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 0,
                 .format = Format::integer()},
                button(RP_RP_EXIT, "RP_RP_EXIT", "возврат", "closeSp"),
                textMessage(RP_TEXTMSG_14, "RP_TEXTMSG_14", "N / канал"),
                textMessage(RP_TEXTMSG_18, "RP_TEXTMSG_18", "16"),
                textMessage(RP_TEXTMSG_12, "RP_TEXTMSG_12", "32"),
                counter(RP_LAST_TIME, "RP_LAST_TIME", "конца", ValueType::UInt32),
                textMessage(RP_TEXTMSG_19, "RP_TEXTMSG_19", "12"),
                textMessage(RP_TEXTMSG_20, "RP_TEXTMSG_20", "4"),
                textMessage(RP_TEXTMSG_21, "RP_TEXTMSG_21", "8"),
                {.id = RP_LAST_TRIG_TIME, .constant = "RP_LAST_TRIG_TIME",
                 .kind = ControlKind::Numeric, .label = "между  переклю-\nчениями,с",
                 .flags = tk::DisplayOnly, .type = ValueType::Double, .defaultNumber = 0,
                 .min = 0, .max = 4294967295.0, .format = Format::scientific(6)},
                counter(RP_FIRST_TIME, "RP_FIRST_TIME", "нач.изм.", ValueType::UInt32),
                textMessage(RP_TEXTMSG_15, "RP_TEXTMSG_15", "28"),
                textMessage(RP_TEXTMSG_17, "RP_TEXTMSG_17", "20"),
                textMessage(RP_TEXTMSG_16, "RP_TEXTMSG_16", "24"),
                textMessage(RP_TEXTMSG, "RP_TEXTMSG", "/"),
                button(RP_CLEAR_RES, "RP_CLEAR_RES", "Очистить", "clearRes"),
                textMessage(RP_TEXTMSG_2, "RP_TEXTMSG_2", "Время"),
                {.id = RP_ANOTHER_CADR, .constant = "RP_ANOTHER_CADR",
                 .kind = ControlKind::PictureButton, .label = "другой кадр",
                 .callback = "findAnother"},
                decoration(RP_DECORATION, "RP_DECORATION"),
            }};
}

tk::PanelDef resultsPanel() {
    tk::PanelDef panel = resultsPanelControls();
    place(panel, kResultsLayout, std::size(kResultsLayout));
    return panel;
}

// One trace per channel, bit b of a frame plotted at 3b plus its value, so
// each channel owns a band of three units; the axis names every second
// channel.
tk::StripChartDef channelChart() {
    tk::StripChartDef chart{.traces = 32, .pointsPerScreen = 1024, .yMin = 0, .yMax = 96};
    for (int channel = 2; channel <= 30; channel += 2) {
        chart.yLabels.push_back({1.0 + 3.0 * (channel - 2), std::to_string(channel)});
    }
    chart.yLabels.push_back({91.0, ""});
    // Every trace is a channel's state: drawn as steps, numbered beside it.
    chart.stepped = true;
    for (int channel = 1; channel <= 32; ++channel) {
        chart.rightLabels.push_back({3.0 * (channel - 1) + 0.5, std::to_string(channel)});
    }
    static const unsigned cycle[10] = {0x0000FF, 0xFFFF00, 0xFF6699, 0x00FF00, 0xFF0000,
                                       0x000000, 0x660099, 0x000000, 0xFF3300, 0xA0A0A0};
    for (int trace = 1; trace <= 32; ++trace) {
        chart.traceColors.push_back(trace == 26 ? 0xFFFFFFu : cycle[(trace - 1) % 10]);
    }
    return chart;
}

tk::PanelDef chartPanel() {
    return {.id = SP, .constant = "SP", .title = "СОРВИ", .height = 480, .width = 640,
            .closeControl = SP_CLOSE,
            .controls = {
                {.id = SP_STRIPCHART, .constant = "SP_STRIPCHART",
                 .kind = ControlKind::StripChart, .flags = tk::DisplayOnly,
                 .chart = channelChart()},
                button(SP_CLOSE, "SP_CLOSE", "Закрыть", "closeSp"),
            }};
}

tk::PanelDef selfTestPanel() {
    return {.id = ST, .constant = "ST", .title = "Самоконтроль", .height = 126, .width = 376,
            .closeControl = ST_CLOSE,
            .controls = {
                {.id = ST_RESULT, .constant = "ST_RESULT", .kind = ControlKind::Numeric,
                 .label = "Результат:", .flags = tk::DisplayOnly, .type = ValueType::Int16,
                 .defaultNumber = 0, .min = -32768, .max = 32767, .format = Format::integer()},
                {.id = ST_MSG, .constant = "ST_MSG", .kind = ControlKind::String,
                 .label = "Сообщение:", .flags = tk::DisplayOnly, .type = ValueType::String,
                 .defaultText = "Идёт самоконтроль. Ждите ..."},
                button(ST_CLOSE, "ST_CLOSE", "__Закрыть", "CloseSelftestCallback",
                       tk::StartsDimmed),
            }};
}

tk::PanelDef dacTestPanel() {
    return {.id = TP, .constant = "TP", .title = "ОРТИС. Тестирование.", .height = 407,
            .width = 234, .closeControl = 0,
            .controls = {
                {.id = TP_TABLE, .constant = "TP_TABLE", .kind = ControlKind::Table,
                 .flags = tk::DisplayOnly, .rows = 16, .columns = 1},
                button(TP_CLOSE, "TP_CLOSE", "Закрыть", "closeSp"),
                {.id = TP_WAIT, .constant = "TP_WAIT", .kind = ControlKind::String,
                 .type = ValueType::String, .defaultText = "ЖДИТЕ..."},
            }};
}

tk::MenuBarDef instrumentMenuBar() {
    return {.id = IMNU, .constant = "IMNU",
            .menus = {{.id = IMNU_INSTR, .constant = "IMNU_INSTR", .title = "Инструмент",
                       .items = {
                           {.id = IMNU_INSTR_INTERRUPT, .constant = "IMNU_INSTR_INTERRUPT",
                            .label = "Прерывание", .callback = "interrupt"},
                           {.id = IMNU_INSTR_SEPARATOR_3, .constant = "IMNU_INSTR_SEPARATOR_3",
                            .separator = true},
                           {.id = IMNU_INSTR_CONFIG, .constant = "IMNU_INSTR_CONFIG",
                            .label = "Конфигурация", .callback = "config"},
                           {.id = IMNU_INSTR_PARAMS, .constant = "IMNU_INSTR_PARAMS",
                            .label = "Параметры", .callback = "displayParams"},
                           {.id = IMNU_INSTR_SEPARATOR_2, .constant = "IMNU_INSTR_SEPARATOR_2",
                            .separator = true},
                           {.id = IMNU_INSTR_ABOUT, .constant = "IMNU_INSTR_ABOUT",
                            .label = "О программе", .callback = "about"},
                           {.id = IMNU_INSTR_SEPARATOR_4, .constant = "IMNU_INSTR_SEPARATOR_4",
                            .separator = true},
                           {.id = IMNU_INSTR_EXIT, .constant = "IMNU_INSTR_EXIT",
                            .label = "Выход", .callback = "pexit"},
                       }}}};
}

}  // namespace

const tk::ResourceDef& sorviResource() {
    static const tk::ResourceDef def{
        .name = SORVI_RESOURCE,
        .panels = {aboutPanel(), errorPanel(), exitPopup(), mainPanel(), paramsPanel(),
                   resultsPanel(), chartPanel(), selfTestPanel(), dacTestPanel()},
        .menuBars = {instrumentMenuBar()},
    };
    return def;
}

// The panel resource "verisk.uir" as tables: every panel of the verification
// program with its controls, texts, defaults, ranges, items and callback
// names. Positions are hints for the toolkit's layout.
#include "verisk_uir.h"

// The resource tables are laid out by hand, a control or a placement to a
// line, like the panels they describe.
// clang-format off

namespace {

using tk::ControlKind;
using tk::ControlFlags;
using tk::Format;
using tk::Geometry;
using tk::ValueType;

tk::PanelDef mainPanel() {
    return {
        .id = MP, .constant = "MP", .title = "СОРВИ", .height = 439, .width = 531,
        .closeControl = MP_MP_EXIT,
        .controls = {
            {.id = MP_TEXTMSG_2, .constant = "MP_TEXTMSG_2", .kind = ControlKind::TextMessage,
             .defaultText = "МОДУЛЬ СОРВИ", .geometry = Geometry{8, 195, 20, 160}},
            {.id = MP_TEXTMSG_3, .constant = "MP_TEXTMSG_3", .kind = ControlKind::TextMessage,
             .defaultText = "КОНТРОЛЬ ДИСКРЕТНЫХ СИГНАЛОВ", .geometry = Geometry{30, 135, 20, 280}},
            {.id = MP_TEXTMSG_11, .constant = "MP_TEXTMSG_11", .kind = ControlKind::TextMessage,
             .defaultText = "КАЛИБРОВКА", .geometry = Geometry{54, 285, 20, 120}},
            {.id = MP_SELFTEST, .constant = "MP_SELFTEST", .kind = ControlKind::CommandButton,
             .label = "Самоконтроль", .callback = "Selftest", .geometry = Geometry{104, 405, 28, 115}},
            {.id = MP_MP_EXIT, .constant = "MP_MP_EXIT", .kind = ControlKind::CommandButton,
             .label = " Выход ", .callback = "mp_exit", .geometry = Geometry{402, 425, 28, 95}},
            {.id = MP_S, .constant = "MP_S", .kind = ControlKind::Numeric, .label = "Слот",
             .flags = ControlFlags::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 1,
             .min = 0.0, .max = 65535.0, .step = 1, .format = Format::integer(),
             .geometry = Geometry{108, 90, 22, 60}},
            {.id = MP_K, .constant = "MP_K", .kind = ControlKind::Numeric, .label = "Крейт",
             .flags = ControlFlags::DisplayOnly, .type = ValueType::UInt16, .defaultNumber = 1,
             .min = 0.0, .max = 65535.0, .step = 1, .format = Format::integer(),
             .geometry = Geometry{108, 16, 22, 60}},
            {.id = MP_TEXTMSG_12, .constant = "MP_TEXTMSG_12", .kind = ControlKind::TextMessage,
             .defaultText = "Программа проверки ", .geometry = Geometry{54, 125, 20, 160}},
            {.id = MP_DECORATION, .constant = "MP_DECORATION", .kind = ControlKind::Decoration,
             .geometry = Geometry{82, 8, 62, 515}},
            {.id = MP_SAMPLE_P, .constant = "MP_SAMPLE_P", .kind = ControlKind::Numeric,
             .label = "Период опроса в сек.", .flags = ControlFlags::DisplayOnly,
             .type = ValueType::Double, .defaultNumber = 0.001, .max = 1.5, .step = 0.0000125,
             .format = Format::scientific(0), .geometry = Geometry{108, 250, 22, 130}},
            {.id = MP_MEZ_NUM, .constant = "MP_MEZ_NUM", .kind = ControlKind::Ring,
             .label = "мезонин", .callback = "selMezonin", .type = ValueType::UInt16,
             .geometry = Geometry{108, 164, 22, 70}},
            {.id = MP_VXI_LOGO, .constant = "MP_VXI_LOGO", .kind = ControlKind::Picture,
             .geometry = Geometry{8, 8, 66, 100}},
            {.id = MP_PICTURE_2, .constant = "MP_PICTURE_2", .kind = ControlKind::Picture,
             .geometry = Geometry{8, 423, 66, 100}},
            {.id = MP_ERROR_MESSAGE, .constant = "MP_ERROR_MESSAGE", .kind = ControlKind::String,
             .flags = ControlFlags::DisplayOnly, .type = ValueType::String,
             .geometry = Geometry{405, 8, 24, 405}},
            {.id = MP_CANVAS, .constant = "MP_CANVAS", .kind = ControlKind::Canvas,
             .geometry = Geometry{150, 8, 245, 515}},
        }};
}

tk::PanelDef tabPage() {
    return {
        .id = TP, .constant = "TP", .title = "Проверки по ТУ", .height = 229, .width = 403,
        .controls = {
            {.id = TP_SHOW_LOG, .constant = "TP_SHOW_LOG", .kind = ControlKind::CommandButton,
             .label = "Протокол", .callback = "showLog", .geometry = Geometry{180, 390, 28, 110}},
            {.id = TP_FILE_NAME_S, .constant = "TP_FILE_NAME_S", .kind = ControlKind::CommandButton,
             .label = "файл протокола", .callback = "selFName", .geometry = Geometry{130, 10, 26, 130}},
            {.id = TP_FILE_NAME, .constant = "TP_FILE_NAME", .kind = ControlKind::String,
             .type = ValueType::String, .defaultText = "sorvi.log",
             .geometry = Geometry{131, 150, 24, 350}},
            {.id = TP_RING, .constant = "TP_RING", .kind = ControlKind::Ring, .label = "Проверка",
             .callback = "chTest", .type = ValueType::Int32,
             .items = {{"R изоляции гальванической развязки ", 1},
                       {"токов опроса датчиков", 2},
                       {"основных технических характеристик", 3},
                       {"соответствия выходных сигналов мезонина сопротивлению ДД ", 4},
                       {"соответствия выходных сигналов мезонина напряжению ДД ", 5},
                       {"периода семплирования", 8}},
             .geometry = Geometry{30, 10, 24, 490}},
            {.id = TP_INPUT, .constant = "TP_INPUT", .kind = ControlKind::CommandButton,
             .label = "Ввести", .callback = "input", .geometry = Geometry{70, 10, 28, 110}},
            {.id = TP_INPUT8_1, .constant = "TP_INPUT8_1", .kind = ControlKind::Numeric,
             .label = "время испытания, с", .type = ValueType::Double, .defaultNumber = 10,
             .min = 0.0, .step = 1, .format = Format::fixed(2), .geometry = Geometry{70, 250, 22, 80}},
            {.id = TP_INPUT8_2, .constant = "TP_INPUT8_2", .kind = ControlKind::String,
             .flags = ControlFlags::DisplayOnly, .type = ValueType::String, .defaultText = "ЖДИТЕ",
             .geometry = Geometry{100, 250, 22, 80}},
        }};
}

tk::PanelDef selfTestPanel() {
    return {
        .id = ST, .constant = "ST", .title = "Самоконтроль", .height = 126, .width = 640,
        .closeControl = ST_CLOSE,
        .controls = {
            {.id = ST_RESULT, .constant = "ST_RESULT", .kind = ControlKind::Numeric,
             .label = "Результат:", .flags = ControlFlags::DisplayOnly, .type = ValueType::Int16,
             .defaultNumber = 0, .min = -32768.0, .max = 32767.0, .step = 1,
             .format = Format::integer(), .geometry = Geometry{30, 10, 22, 80}},
            {.id = ST_MSG, .constant = "ST_MSG", .kind = ControlKind::String,
             .flags = ControlFlags::DisplayOnly, .type = ValueType::String,
             .defaultText = "Идёт самоконтроль. Ждите ...", .geometry = Geometry{30, 105, 22, 525}},
            {.id = ST_CLOSE, .constant = "ST_CLOSE", .kind = ControlKind::CommandButton,
             .label = "__Закрыть", .flags = ControlFlags::StartsDimmed, .callback = "closeP",
             .geometry = Geometry{80, 270, 28, 100}},
        }};
}

tk::PanelDef exitPopup() {
    return {
        .id = EXIT_POPUP, .constant = "EXIT_POPUP", .title = "СОРВИ", .height = 122, .width = 364,
        .closeControl = EXIT_POPUP_EXIT_YES,
        .controls = {
            {.id = EXIT_POPUP_EXIT_YES, .constant = "EXIT_POPUP_EXIT_YES",
             .kind = ControlKind::CommandButton, .label = "ДА", .callback = "exit_yes",
             .geometry = Geometry{70, 60, 28, 90}},
            {.id = EXIT_POPUP_EXIT_NO, .constant = "EXIT_POPUP_EXIT_NO",
             .kind = ControlKind::CommandButton, .label = "НЕТ", .callback = "exit_no",
             .geometry = Geometry{70, 214, 28, 90}},
            {.id = EXIT_POPUP_TEXTMSG, .constant = "EXIT_POPUP_TEXTMSG",
             .kind = ControlKind::TextMessage,
             .defaultText = "Завершить работу с мезонином СОРВИ ?", .geometry = Geometry{25, 30, 22, 310}},
        }};
}

tk::ControlDef promptBox(int id, const char* constant, const char* text) {
    return {.id = id, .constant = constant, .kind = ControlKind::TextBox,
            .flags = ControlFlags::DisplayOnly | ControlFlags::StartsHidden,
            .type = ValueType::String, .defaultText = text, .geometry = Geometry{8, 10, 34, 319}};
}

tk::PanelDef checkPopup() {
    return {
        .id = P4, .constant = "P4", .title = "Проверка", .height = 464, .width = 339,
        .closeControl = P4_COMMANDBUTTON_2,
        .controls = {
            {.id = P4_INPUT, .constant = "P4_INPUT", .kind = ControlKind::CommandButton,
             .label = "Ввести", .callback = "vpOk", .geometry = Geometry{372, 190, 28, 130}},
            {.id = P4_COMMANDBUTTON_2, .constant = "P4_COMMANDBUTTON_2",
             .kind = ControlKind::CommandButton, .label = "Отмена", .callback = "CancelVP",
             .geometry = Geometry{414, 190, 28, 130}},
            {.id = P4_START_2, .constant = "P4_START_2", .kind = ControlKind::CommandButton,
             .label = "Пуск", .flags = ControlFlags::StartsHidden, .geometry = Geometry{210, 190, 28, 130}},
            {.id = P4_START, .constant = "P4_START", .kind = ControlKind::CommandButton,
             .label = "Пуск", .callback = "startMes", .geometry = Geometry{210, 190, 28, 130}},
            {.id = P4_TABLE, .constant = "P4_TABLE", .kind = ControlKind::Table,
             .label = "лог.сост.канала", .flags = ControlFlags::DisplayOnly, .rows = 32, .columns = 1,
             .geometry = Geometry{104, 10, 352, 150}},
            {.id = P4_TEXTMSG, .constant = "P4_TEXTMSG", .kind = ControlKind::TextMessage,
             .defaultText = "канал", .geometry = Geometry{154, 180, 20, 50}},
            {.id = P4_CHAN, .constant = "P4_CHAN", .kind = ControlKind::Numeric, .label = "канал",
             .type = ValueType::UInt16, .defaultNumber = 1, .min = 1.0, .max = 32.0, .step = 1,
             .format = Format::integer(), .geometry = Geometry{150, 235, 24, 85}},
            {.id = P4_TEXTBOX_2, .constant = "P4_TEXTBOX_2", .kind = ControlKind::TextBox,
             .flags = ControlFlags::DisplayOnly, .type = ValueType::String,
             .defaultText = " ко входам канала", .geometry = Geometry{46, 10, 30, 319}},
            promptBox(P4_MSG_5, "P4_MSG_5", "Подключите напряжение 0,5 В"),
            promptBox(P4_MSG_4, "P4_MSG_4", "Подключите напряжение 3В"),
            promptBox(P4_MSG_3, "P4_MSG_3", "Подключите напряжение 1В"),
            promptBox(P4_MSG_2, "P4_MSG_2", "Подключите сопротивление     5 Ом"),
            promptBox(P4_MSG_1, "P4_MSG_1", "Подключите сопротивление  100  кОм"),
        }};
}

tk::PanelDef protocolViewer() {
    return {
        .id = CHLP, .constant = "CHLP", .title = "Поверка", .height = 450, .width = 635,
        .closeControl = CHLP_COMMANDBUTTON_2, .callback = "chlpCB",
        .controls = {
            {.id = CHLP_LOG, .constant = "CHLP_LOG", .kind = ControlKind::TextBox,
             .label = "Протокол поверки", .flags = ControlFlags::DisplayOnly,
             .type = ValueType::String, .monospace = true, .geometry = Geometry{40, 10, 400, 615}},
            {.id = CHLP_COMMANDBUTTON_2, .constant = "CHLP_COMMANDBUTTON_2",
             .kind = ControlKind::CommandButton, .label = "Закрыть", .callback = "closeSp",
             .geometry = Geometry{6, 530, 28, 95}},
        }};
}

}  // namespace

const tk::ResourceDef& veriskResource() {
    static const tk::ResourceDef def{
        .name = kVeriskResource,
        .panels = {protocolViewer(), exitPopup(), mainPanel(), checkPopup(), selfTestPanel(), tabPage()},
    };
    return def;
}

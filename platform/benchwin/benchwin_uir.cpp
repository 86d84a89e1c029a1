// The panel resource "benchwin.uir" as tables. Positions are hints for the
// toolkit's layout.
#include "benchwin_uir.h"

// The resource tables are laid out by hand, a control or a placement to a
// line, like the panels they describe.
// clang-format off

namespace benchwin {

namespace {

using tk::ControlKind;
using tk::Format;
using tk::Geometry;
using tk::ValueType;

tk::PanelDef benchPanel() {
    return {
        .id = BENCH, .constant = "BENCH", .title = "Стенд", .height = 640, .width = 620,
        .closeControl = BENCH_CLOSE,
        .controls = {
            {.id = BENCH_CARRIER, .constant = "BENCH_CARRIER", .kind = ControlKind::Ring,
             .label = "Носитель", .callback = "benchCarrier", .type = ValueType::Int32,
             .geometry = Geometry{25, 10, 24, 330}},
            {.id = BENCH_POSITION, .constant = "BENCH_POSITION", .kind = ControlKind::Ring,
             .label = "Позиция", .callback = "benchPosition", .type = ValueType::Int32,
             .geometry = Geometry{25, 350, 24, 260}},
            {.id = BENCH_STATE, .constant = "BENCH_STATE", .kind = ControlKind::String,
             .label = "Состояние модуля", .flags = tk::DisplayOnly, .type = ValueType::String,
             .geometry = Geometry{75, 10, 24, 600}},
            {.id = BENCH_FRAME, .constant = "BENCH_FRAME", .kind = ControlKind::String,
             .label = "Текущий кадр (каналы 32 … 1)", .flags = tk::DisplayOnly, .type = ValueType::String,
             .monospace = true, .geometry = Geometry{125, 10, 24, 600}},
            {.id = BENCH_INPUTS, .constant = "BENCH_INPUTS", .kind = ControlKind::Table,
             .label = "Входы каналов", .flags = tk::DisplayOnly, .rows = 32, .columns = 1,
             .geometry = Geometry{175, 10, 455, 270}},
            {.id = BENCH_CHANNELS, .constant = "BENCH_CHANNELS", .kind = ControlKind::Ring,
             .label = "Каналы", .type = ValueType::Int32,
             .items = {{"все", 0}, {"1–16", 1}, {"17–32", 2}, {"один канал", 3}},
             .geometry = Geometry{175, 290, 24, 150}},
            {.id = BENCH_CHANNEL, .constant = "BENCH_CHANNEL", .kind = ControlKind::Numeric,
             .label = "Канал", .type = ValueType::Int32, .defaultNumber = 1, .min = 1.0, .max = 32.0,
             .format = Format::integer(), .geometry = Geometry{175, 450, 24, 70}},
            {.id = BENCH_SIGNAL, .constant = "BENCH_SIGNAL", .kind = ControlKind::Ring,
             .label = "Подключить", .type = ValueType::Int32,
             .items = {{"100 кОм", SIGNAL_100K}, {"5 Ом", SIGNAL_5OHM}, {"1 В", SIGNAL_1V}, {"3 В", SIGNAL_3V},
                       {"напряжение", SIGNAL_VOLTS}, {"меандр", SIGNAL_SQUARE},
                       {"двоичный счётчик", SIGNAL_COUNTER}, {"рисунок по умолчанию", SIGNAL_LIVE}},
             .geometry = Geometry{225, 290, 24, 230}},
            {.id = BENCH_VOLTS, .constant = "BENCH_VOLTS", .kind = ControlKind::Numeric,
             .label = "Напряжение, В", .type = ValueType::Double, .defaultNumber = 2.5, .min = -100.0,
             .max = 100.0, .step = 0.05, .format = Format::fixed(3), .geometry = Geometry{275, 290, 24, 90}},
            {.id = BENCH_LOW, .constant = "BENCH_LOW", .kind = ControlKind::Numeric,
             .label = "Меандр: низ, В", .type = ValueType::Double, .defaultNumber = 0.0, .min = -100.0,
             .max = 100.0, .step = 0.5, .format = Format::fixed(2), .geometry = Geometry{325, 290, 24, 90}},
            {.id = BENCH_HIGH, .constant = "BENCH_HIGH", .kind = ControlKind::Numeric,
             .label = "верх, В", .type = ValueType::Double, .defaultNumber = 5.0, .min = -100.0, .max = 100.0,
             .step = 0.5, .format = Format::fixed(2), .geometry = Geometry{325, 400, 24, 90}},
            {.id = BENCH_PERIOD, .constant = "BENCH_PERIOD", .kind = ControlKind::Numeric,
             .label = "период, с", .type = ValueType::Double, .defaultNumber = 0.01, .min = 0.000001,
             .max = 3600.0, .step = 0.001, .format = Format::fixed(6), .geometry = Geometry{325, 510, 24, 100}},
            {.id = BENCH_APPLY, .constant = "BENCH_APPLY", .kind = ControlKind::CommandButton,
             .label = "__Подключить", .callback = "benchApply", .geometry = Geometry{225, 530, 26, 80}},
            {.id = BENCH_STUCK, .constant = "BENCH_STUCK", .kind = ControlKind::Ring,
             .label = "Неисправность каналов", .type = ValueType::Int32,
             .items = {{"залипание в 1", 0}, {"залипание в 0", 1}, {"без залипания", 2}},
             .geometry = Geometry{375, 290, 24, 180}},
            {.id = BENCH_STUCK_SET, .constant = "BENCH_STUCK_SET", .kind = ControlKind::CommandButton,
             .label = "__Установить", .callback = "benchStuck", .geometry = Geometry{375, 480, 26, 110}},
            {.id = BENCH_NOPOLL, .constant = "BENCH_NOPOLL", .kind = ControlKind::BinarySwitch,
             .label = "Признак опроса", .callback = "benchNoPoll", .type = ValueType::Int32,
             .offText = "приходит", .onText = "не приходит", .geometry = Geometry{425, 290, 24, 150}},
            {.id = BENCH_ID, .constant = "BENCH_ID", .kind = ControlKind::Numeric,
             .label = "Идентификатор", .callback = "benchId", .type = ValueType::Int32, .defaultNumber = 9,
             .min = 0.0, .max = 255.0, .format = Format::integer(), .geometry = Geometry{425, 480, 24, 70}},
            {.id = BENCH_EVENT, .constant = "BENCH_EVENT", .kind = ControlKind::Ring,
             .label = "Событие", .type = ValueType::Int32,
             .items = {{"конец сбора", 2}, {"пакет готов", 4}, {"сброс носителя", 10},
                       {"ошибка ввода 1", -1}, {"ошибка ввода 2", -2}, {"переполнение FIFO", 0},
                       {"неопределенная ошибка инструмента", 7}},
             .geometry = Geometry{475, 290, 24, 200}},
            {.id = BENCH_RAISE, .constant = "BENCH_RAISE", .kind = ControlKind::CommandButton,
             .label = "__Вызвать", .callback = "benchRaise", .geometry = Geometry{475, 500, 26, 90}},
            {.id = BENCH_FOLLOW, .constant = "BENCH_FOLLOW", .kind = ControlKind::BinarySwitch,
             .label = "Следовать указаниям программы проверки", .callback = "benchFollow",
             .type = ValueType::Int32, .offText = "нет", .onText = "да", .geometry = Geometry{525, 290, 24, 150}},
            {.id = BENCH_MESSAGE, .constant = "BENCH_MESSAGE", .kind = ControlKind::String,
             .flags = tk::DisplayOnly, .type = ValueType::String, .geometry = Geometry{575, 290, 24, 320}},
            {.id = BENCH_DONE, .constant = "BENCH_DONE", .kind = ControlKind::CommandButton,
             .label = "__Готово", .flags = tk::StartsHidden, .callback = "benchDone",
             .geometry = Geometry{605, 400, 28, 100}},
            {.id = BENCH_CLOSE, .constant = "BENCH_CLOSE", .kind = ControlKind::CommandButton,
             .label = "__Закрыть", .callback = "benchClose", .geometry = Geometry{605, 510, 28, 100}},
        }};
}

}  // namespace

const tk::ResourceDef& benchResource() {
    static const tk::ResourceDef def{.name = kBenchResource, .panels = {benchPanel()}};
    return def;
}

}  // namespace benchwin

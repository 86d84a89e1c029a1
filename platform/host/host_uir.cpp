#include "host_uir.h"

// The resource tables are laid out by hand, a control or a placement to a
// line, like the panels they describe.
// clang-format off

namespace host {

const tk::ResourceDef& hostResource() {
    using tk::ControlKind;
    using tk::ValueType;
    static const tk::ResourceDef def{
        .name = kHostResource,
        .panels = {{
            .id = HOST,
            .constant = "HOST",
            .title = "Приборная панель носителя мезонинов",
            .height = 330,
            .width = 560,
            .closeControl = HOST_EXIT,
            .controls = {
                {.id = HOST_CARRIER, .constant = "HOST_CARRIER", .kind = ControlKind::Ring,
                 .label = "Носитель", .callback = "selCarrier", .type = ValueType::Int32,
                 .defaultNumber = kNoCarrier,
                 .geometry = {.top = 30, .left = 20, .height = 24, .width = 520}},
                {.id = HOST_POSITIONS, .constant = "HOST_POSITIONS", .kind = ControlKind::ListBox,
                 .label = "Мезонины на носителе", .callback = "selPosition",
                 .type = ValueType::Int32,
                 .geometry = {.top = 85, .left = 20, .height = 110, .width = 300}},
                {.id = HOST_OPEN, .constant = "HOST_OPEN", .kind = ControlKind::CommandButton,
                 .label = "__Открыть панель мезонина", .flags = tk::StartsDimmed,
                 .callback = "openMezonin",
                 .geometry = {.top = 85, .left = 340, .height = 28, .width = 200}},
                {.id = HOST_DEMO_POS, .constant = "HOST_DEMO_POS", .kind = ControlKind::Numeric,
                 .label = "Позиция для демо-режима", .type = ValueType::Int16,
                 .defaultNumber = 1, .min = 1, .max = 4,
                 .geometry = {.top = 145, .left = 340, .height = 24, .width = 60}},
                {.id = HOST_DEMO, .constant = "HOST_DEMO", .kind = ControlKind::CommandButton,
                 .label = "__Демо-режим", .callback = "openDemo",
                 .geometry = {.top = 175, .left = 340, .height = 28, .width = 200}},
                {.id = HOST_EXIT, .constant = "HOST_EXIT", .kind = ControlKind::CommandButton,
                 .label = "__Выход", .callback = "hostExit",
                 .geometry = {.top = 230, .left = 440, .height = 28, .width = 100}},
                {.id = HOST_STATUS, .constant = "HOST_STATUS", .kind = ControlKind::String,
                 .flags = tk::DisplayOnly, .type = ValueType::String,
                 .geometry = {.top = 290, .left = 20, .height = 24, .width = 520}},
                {.id = HOST_BENCH, .constant = "HOST_BENCH", .kind = ControlKind::CommandButton,
                 .label = "__Стенд", .callback = "showBench",
                 .geometry = {.top = 230, .left = 20, .height = 28, .width = 100}},
            },
        }},
    };
    return def;
}

}  // namespace host

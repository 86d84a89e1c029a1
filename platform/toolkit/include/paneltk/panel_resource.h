// Panel resources as data.
//
// A program (or plug-in) describes its windows in C++ tables: a ResourceDef
// named like a file ("verisk.uir") holds panel definitions and menu bar
// definitions. The resource is registered once with tk::registerResource()
// and panels are then loaded from it by number (tk::loadPanel). Callbacks are
// named in the tables and bound to functions when a panel is loaded, so the
// function that runs is the one supplied by whoever loads the panel.
//
// Every field has a default, so designated initialisers list only what a
// control needs. Designated initialisers must follow the declaration order
// of the fields below. (Linking the paneltk CMake target adds
// -Wno-missing-field-initializers, since GCC 12 warns about every omitted
// field of a designated initialiser.)
//
// Example (one panel with a button, a numeric and a ring; constants in the
// program's own header):
//
//     // demo_panels.h
//     enum { DEMO = 1 };                       // panel ids
//     enum { DEMO_START = 2, DEMO_PERIOD = 3, DEMO_MODE = 4 };  // control ids
//
//     // demo_resource.cpp
//     #include <paneltk/paneltk.h>
//     const tk::ResourceDef& demoResource() {
//         static const tk::ResourceDef def{
//             .name = "demo.uir",
//             .panels = {{
//                 .id = DEMO, .constant = "DEMO", .title = "Пример",
//                 .height = 200, .width = 300, .closeControl = DEMO_START,
//                 .controls = {
//                     {.id = DEMO_START, .constant = "DEMO_START",
//                      .kind = tk::ControlKind::CommandButton,
//                      .label = "__Пуск", .callback = "startP"},
//                     {.id = DEMO_PERIOD, .constant = "DEMO_PERIOD",
//                      .kind = tk::ControlKind::Numeric, .label = "Период",
//                      .type = tk::ValueType::Double, .defaultNumber = 0.001,
//                      .min = 0.0001, .step = 0.0001,
//                      .format = tk::Format::fixed(4)},
//                     {.id = DEMO_MODE, .constant = "DEMO_MODE",
//                      .kind = tk::ControlKind::Ring, .label = "Режим",
//                      .callback = "change_mode", .type = tk::ValueType::UInt16,
//                      .items = {{"однократный", 0}, {"блочный", 1}}},
//                 }}},
//         };
//         return def;
//     }
//
//     // main.cpp
//     int startP(int panel, int control, int event, void* data, int, int) {
//         if (event != tk::EVENT_COMMIT) return 0;
//         ...
//         return 0;
//     }
//     int main(int argc, char** argv) {
//         if (tk::initRuntime(argc, argv) < 0) return -1;
//         tk::registerResource(demoResource());
//         const tk::Bindings bindings{{"startP", startP}, {"change_mode", changeMode}};
//         int panel = tk::loadPanel(0, "demo.uir", DEMO, &bindings);
//         if (panel < 0) return -1;
//         tk::displayPanel(panel);
//         while (!quit) { tk::processEvents(); tk::waitEvents(); }
//         tk::discardPanel(panel);
//     }
//
// Callback names that the bindings do not supply are looked up in the
// resource's registered bindings (tk::bindCallbacks); a name found in
// neither leaves the control without a callback (tk::unboundCallbacks()
// lists such names, so a program's test can check that it bound them all).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tk {

// The kinds of control a panel can hold.
enum class ControlKind {
    CommandButton,  // raises EVENT_COMMIT when pressed
    Numeric,        // typed number with range, step and display format
    String,         // one line of text
    TextMessage,    // static text, no label; its value is the text
    TextBox,        // multi-line text
    Ring,           // drop-down list of items (label + value)
    BinarySwitch,   // two positions with on/off texts and values
    Led,            // lamp, on or off, with a label
    Picture,        // static image
    PictureButton,  // button showing an image; raises EVENT_COMMIT
    Decoration,     // frame drawn behind other controls
    Table,          // rows x columns of text cells
    StripChart,     // scrolling chart of N traces
    Canvas,         // placeholder area (see tk::makeTabPage)
    ListBox,        // list of items (label + value), one highlighted
    ScrollBar,      // vertical scroll bar (made at run time)
    TabControl,     // made by tk::makeTabPage in place of a canvas
};

// Value type of a control. None for kinds that carry no value.
enum class ValueType { None, Int16, UInt16, Int32, UInt32, Double, String };

// Display formats of numerics.
enum class FormatKind {
    Integer,     // "1000"
    Fixed,       // "0.0010" (digits = decimals)
    Scientific,  // "1.500000E-6", "0.000E+0", "1E-3" (digits = decimals)
    Hex,         // "01A3" with digits = 4; "1A3" with digits = 0 (no padding)
    Binary,      // "0000000000000101" with digits = 16
};

struct Format {
    FormatKind kind = FormatKind::Integer;
    int digits = 0;

    static constexpr Format integer() { return {FormatKind::Integer, 0}; }
    static constexpr Format fixed(int decimals) { return {FormatKind::Fixed, decimals}; }
    static constexpr Format scientific(int decimals) { return {FormatKind::Scientific, decimals}; }
    static constexpr Format hex(int digits = 0) { return {FormatKind::Hex, digits}; }
    static constexpr Format binary(int digits = 16) { return {FormatKind::Binary, digits}; }
};

// Operator mode flags of a control (combine with |).
enum ControlFlags : unsigned {
    Input = 0,              // the operator may change it (default)
    DisplayOnly = 1u << 0,  // written by the program only
    StartsDimmed = 1u << 1,
    StartsHidden = 1u << 2,
};

// One item of a ring or list box.
struct ItemDef {
    std::string label;
    double value = 0;
};

// A label on the strip chart's vertical axis.
struct AxisLabelDef {
    double at = 0;
    std::string text;
};

// Strip chart settings.
struct StripChartDef {
    int traces = 1;
    int pointsPerScreen = 100;
    double yMin = 0;
    double yMax = 10;
    std::vector<AxisLabelDef> yLabels;      // empty: numeric axis
    std::vector<unsigned> traceColors;      // 0xRRGGBB, trace 1 first; missing ones are black
    bool stepped = false;                   // digital traces: a change is drawn as a step
    std::vector<AxisLabelDef> rightLabels;  // labels beside the traces on the right edge
};

// Optional pixel position and size; 0 lets the toolkit lay the control out.
struct Geometry {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

struct ControlDef {
    int id = 0;            // 2.. in panel order
    std::string constant;  // "MP_START"
    ControlKind kind = ControlKind::CommandButton;
    std::string label;                 // "__Закрыть": "__" marks the accelerator letter
    unsigned flags = Input;            // ControlFlags
    std::string callback;              // callback name, empty for none
    ValueType type = ValueType::None;  // Numeric/Ring/ListBox/BinarySwitch/Led; String kinds use String
    double defaultNumber = 0;          // default of numerics, switches (off/on value), LEDs;
                                       // rings/list boxes: the item with this value, else the first
    std::string defaultText;           // default of strings, text messages (their text), text boxes, table cells
    std::optional<double> min;         // numerics: lower bound, none = the type's own
    std::optional<double> max;         // numerics: upper bound, none = the type's own
    double step = 1;                   // numerics: increment
    Format format{};                   // numerics: display format
    std::vector<ItemDef> items;        // rings and list boxes
    std::string offText;               // binary switch: text of the off position
    std::string onText;                // binary switch: text of the on position
    double offValue = 0;               // binary switch / LED
    double onValue = 1;
    int rows = 0;  // tables
    int columns = 0;
    StripChartDef chart{};   // strip charts
    bool monospace = false;  // text boxes and strings: fixed-pitch Cyrillic font
    Geometry geometry{};     // optional position hint
};

struct PanelDef {
    int id = 0;            // panel number in the resource
    std::string constant;  // "MP"
    std::string title;
    int height = 300;
    int width = 400;
    int closeControl = 0;  // control whose callback the close box runs; 0 = close box does nothing
    std::string callback;  // panel callback name, empty for none
    int menuBar = 0;       // id of a menu bar of the same resource loaded with the panel; 0 none
    std::vector<ControlDef> controls;
};

struct MenuItemDef {
    int id = 0;            // item id (numbered with the bar; separators count)
    std::string constant;  // "IMNU_INSTR_EXIT"
    std::string label;     // empty for a separator
    bool separator = false;
    std::string callback;  // menu callback name
    bool dimmed = false;
};

struct MenuDef {
    int id = 0;            // menu id
    std::string constant;  // "IMNU_INSTR"
    std::string title;     // "Инструмент"
    std::vector<MenuItemDef> items;
};

struct MenuBarDef {
    int id = 0;            // bar id within the resource
    std::string constant;  // "IMNU"
    std::vector<MenuDef> menus;
};

struct ResourceDef {
    std::string name;  // "verisk.uir"
    std::vector<PanelDef> panels;
    std::vector<MenuBarDef> menuBars;
};

}  // namespace tk

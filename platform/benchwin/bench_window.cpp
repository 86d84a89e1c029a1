// The bench window's panel: loading, the module choice, the live display and
// the callbacks of its controls, each of which runs one bench command.
#include <QCoreApplication>
#include <QTimer>

#include <paneltk/paneltk.h>

#include "bench_command.h"
#include "bench_view.h"
#include "bench_text.h"
#include "benchwin.h"
#include "benchwin_uir.h"

namespace benchwin {
namespace {

struct Window {
    int panel = 0;
    QTimer* timer = nullptr;
    bool overPrompt = false;  // installed as a pop-up above the program's prompt
    std::vector<bench::CarrierView> carriers;
    std::vector<std::string> cells = std::vector<std::string>(32);
};

Window& window() {
    static Window w;
    return w;
}

int intValue(int control) {
    int value = 0;
    tk::getValue(window().panel, control, value);
    return value;
}

double doubleValue(int control) {
    double value = 0.0;
    tk::getValue(window().panel, control, value);
    return value;
}

// The chosen carrier's name and position; empty name when none.
std::pair<std::string, int> chosenModule() {
    const Window& w = window();
    const int index = intValue(BENCH_CARRIER);
    if (index < 0 || index >= static_cast<int>(w.carriers.size())) return {"", 0};
    return {w.carriers[static_cast<std::size_t>(index)].name, intValue(BENCH_POSITION)};
}

// Runs a command on the chosen module (or on the bench as a whole) and shows
// what came of it.
bool runCommand(const std::string& words, bool onModule = true) {
    std::string command = words;
    if (onModule) {
        const auto [carrier, position] = chosenModule();
        if (carrier.empty()) {
            tk::setValue(window().panel, BENCH_MESSAGE, "на стенде нет носителя");
            return false;
        }
        command = "at " + carrier + " " + std::to_string(position) + " " + words;
    }
    char reply[256] = {};
    const bool ok = sorvi_bench_command(command.c_str(), reply, sizeof reply) == 0;
    tk::setValue(window().panel, BENCH_MESSAGE, ok ? "выполнено: " + words : std::string(reply));
    tk::setAttribute(window().panel, BENCH_MESSAGE, tk::ATTR_TEXT_COLOR, ok ? 0x000000 : 0xC00000);
    return ok;
}

void refresh() {
    Window& w = window();
    if (w.panel == 0) return;
    const int follow = bench::followingPrompts() ? 1 : 0;
    if (intValue(BENCH_FOLLOW) != follow) tk::setValue(w.panel, BENCH_FOLLOW, follow);
    const auto [carrier, position] = chosenModule();
    bench::ModuleView view;
    const bool sorvi = !carrier.empty() && bench::inspectModule(carrier, position, view);
    std::string state = sorvi ? describeState(view) : "на позиции нет модуля СОРВИ";
    std::string frame = sorvi && view.open ? frameText(view.lastFrame) : "";
    std::string current;
    if (tk::getValue(w.panel, BENCH_STATE, current) == tk::OK && current != state)
        tk::setValue(w.panel, BENCH_STATE, state);
    if (tk::getValue(w.panel, BENCH_FRAME, current) == tk::OK && current != frame)
        tk::setValue(w.panel, BENCH_FRAME, frame);
    for (int k = 1; k <= 32; ++k) {
        const std::string cell = sorvi ? describeChannel(view, k) : "";
        std::string& shown = w.cells[static_cast<std::size_t>(k - 1)];
        if (cell == shown) continue;
        tk::setCell(w.panel, BENCH_INPUTS, k, 1, cell);
        shown = cell;
    }
}

// The module's own faults into the fault controls, after a change of module.
void showFaults() {
    const auto [carrier, position] = chosenModule();
    bench::ModuleView view;
    if (carrier.empty() || !bench::inspectModule(carrier, position, view)) return;
    tk::setValue(window().panel, BENCH_NOPOLL, view.faults.noPollAck ? 1 : 0);
    tk::setValue(window().panel, BENCH_ID, static_cast<int>(view.faults.idValue.value_or(9)));
}

void fillPositions(int preferred) {
    Window& w = window();
    tk::clearItems(w.panel, BENCH_POSITION);
    const int index = intValue(BENCH_CARRIER);
    if (index < 0 || index >= static_cast<int>(w.carriers.size())) return;
    const bench::CarrierView& carrier = w.carriers[static_cast<std::size_t>(index)];
    int choose = 0;
    for (int p = 1; p <= 4; ++p) {
        const int type = carrier.moduleTypes[static_cast<std::size_t>(p - 1)];
        std::string label = std::to_string(p) + ": ";
        if (type == bench::kSorviModuleType) label += "СОРВИ";
        else if (type == 0) label += "пусто";
        else label += "модуль типа " + std::to_string(type);
        tk::insertItem(w.panel, BENCH_POSITION, -1, label, p);
        if (type == bench::kSorviModuleType && (choose == 0 || p == preferred)) choose = p;
    }
    tk::setValue(w.panel, BENCH_POSITION, choose == 0 ? 1 : choose);
    showFaults();
}

// Chooses `carrier` and `position` in the window (e.g. the module the
// verification program has open).
void choose(const std::string& carrier, int position) {
    Window& w = window();
    for (std::size_t i = 0; i < w.carriers.size(); ++i) {
        if (w.carriers[i].name != carrier) continue;
        tk::setValue(w.panel, BENCH_CARRIER, static_cast<int>(i));
        fillPositions(position);
        return;
    }
}

// Shows the module the program has open, unless the window shows one already.
void chooseOpenModule() {
    const auto [carrier, position] = chosenModule();
    if (!carrier.empty() && bench::isOpen(carrier, position)) return;
    for (const bench::CarrierView& c : window().carriers)
        for (int p = 1; p <= 4; ++p)
            if (c.moduleTypes[static_cast<std::size_t>(p - 1)] == bench::kSorviModuleType && bench::isOpen(c.name, p)) {
                choose(c.name, p);
                return;
            }
}

int benchCarrier(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    fillPositions(0);
    refresh();
    return 0;
}

int benchPosition(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    showFaults();
    refresh();
    return 0;
}

std::string chosenChannels() { return channelWords(intValue(BENCH_CHANNELS), intValue(BENCH_CHANNEL)); }

int benchApply(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    SignalChoice choice;
    choice.signal = intValue(BENCH_SIGNAL);
    choice.volts = doubleValue(BENCH_VOLTS);
    choice.low = doubleValue(BENCH_LOW);
    choice.high = doubleValue(BENCH_HIGH);
    choice.periodS = doubleValue(BENCH_PERIOD);
    runCommand("input " + chosenChannels() + " " + signalWords(choice));
    refresh();
    return 0;
}

int benchStuck(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    static const char* const how[] = {"high", "low", "off"};
    const int index = intValue(BENCH_STUCK);
    runCommand("stuck " + chosenChannels() + " " + how[index >= 0 && index <= 2 ? index : 2]);
    refresh();
    return 0;
}

int benchNoPoll(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    runCommand(std::string("nopollack ") + (intValue(BENCH_NOPOLL) ? "on" : "off"));
    return 0;
}

int benchId(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    runCommand("id " + std::to_string(intValue(BENCH_ID)));
    return 0;
}

int benchRaise(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    runCommand("event " + std::to_string(intValue(BENCH_EVENT)));
    refresh();
    return 0;
}

int benchFollow(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    runCommand(std::string("follow ") + (intValue(BENCH_FOLLOW) ? "on" : "off"), false);
    return 0;
}

void leavePrompt() {
    Window& w = window();
    if (!w.overPrompt) return;
    w.overPrompt = false;
    tk::removePopup(w.panel);
    tk::setAttribute(w.panel, BENCH_DONE, tk::ATTR_VISIBLE, 0);
}

int benchDone(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    leavePrompt();
    tk::displayPanel(window().panel);
    return 0;
}

int benchClose(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    leavePrompt();
    tk::hidePanel(panel);
    return 0;
}

const tk::Bindings& bindings() {
    static const tk::Bindings b{{"benchCarrier", benchCarrier}, {"benchPosition", benchPosition},
                                {"benchApply", benchApply},     {"benchStuck", benchStuck},
                                {"benchNoPoll", benchNoPoll},   {"benchId", benchId},
                                {"benchRaise", benchRaise},     {"benchFollow", benchFollow},
                                {"benchDone", benchDone},       {"benchClose", benchClose}};
    return b;
}

int load() {
    Window& w = window();
    tk::registerResource(benchResource());
    const int panel = tk::loadPanel(0, kBenchResource, BENCH, &bindings());
    if (panel < 0) return panel;
    w.panel = panel;
    w.cells.assign(32, "");
    w.carriers = bench::benchCarriers();
    for (std::size_t i = 0; i < w.carriers.size(); ++i)
        tk::insertItem(panel, BENCH_CARRIER, -1, w.carriers[i].name, static_cast<double>(i));
    int first = 0;  // the first carrier with a SORVI module
    for (std::size_t i = 0; i < w.carriers.size() && first == 0; ++i)
        for (std::int16_t type : w.carriers[i].moduleTypes)
            if (type == bench::kSorviModuleType) {
                first = static_cast<int>(i) + 1;
                break;
            }
    if (!w.carriers.empty()) tk::setValue(panel, BENCH_CARRIER, first > 0 ? first - 1 : 0);
    fillPositions(0);
    // The live display follows the module on a timer rather than in a loop,
    // so an idle window costs a wake-up every refresh period and no more.
    w.timer = new QTimer(QCoreApplication::instance());
    QObject::connect(w.timer, &QTimer::timeout, [] {
        int visible = 0;
        if (window().panel != 0 && tk::getPanelAttribute(window().panel, tk::ATTR_VISIBLE, visible) == tk::OK &&
            visible)
            refresh();
    });
    w.timer->start(kRefreshMilliseconds);
    refresh();
    return panel;
}

}  // namespace

int showBenchWindow() {
    if (!tk::runtimeInitialised()) return tk::ERR_NOT_INITIALISED;
    if (window().panel == 0 || !tk::panelExists(window().panel)) {
        window().panel = 0;
        if (const int status = load(); status < 0) return status;
    }
    refresh();
    tk::displayPanel(window().panel);
    return window().panel;
}

int benchWindowPanel() { return window().panel != 0 && tk::panelExists(window().panel) ? window().panel : 0; }

void closeBenchWindow() {
    Window& w = window();
    delete w.timer;
    w.timer = nullptr;
    if (w.panel != 0 && tk::panelExists(w.panel)) tk::discardPanel(w.panel);
    w.panel = 0;
    w.overPrompt = false;
    w.carriers.clear();
}

void stimulusPrompted(const char* stimulus) {
    if (stimulus == nullptr) return;
    if (bench::followingPrompts()) {
        const std::string command = std::string("prompt ") + stimulus;
        sorvi_bench_command(command.c_str(), nullptr, 0);
        return;
    }
    Window& w = window();
    if (benchWindowPanel() == 0) return;
    chooseOpenModule();
    static const std::pair<const char*, const char*> asked[] = {{"100k", "100 кОм"},
                                                                {"5ohm", "5 Ом"},
                                                                {"1V", "1 В"},
                                                                {"3V", "3 В"}};
    std::string what = stimulus;
    for (const auto& [word, text] : asked)
        if (what == word) what = text;
    tk::setValue(w.panel, BENCH_MESSAGE, "программа проверки просит подключить " + what);
    tk::setAttribute(w.panel, BENCH_MESSAGE, tk::ATTR_TEXT_COLOR, 0x0000C0);
    tk::setAttribute(w.panel, BENCH_DONE, tk::ATTR_VISIBLE, 1);
    refresh();
    w.overPrompt = true;
    tk::installPopup(w.panel);
}

}  // namespace benchwin

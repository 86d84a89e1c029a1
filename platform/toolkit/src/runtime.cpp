// Start-up of the run-time, the resource and binding registries, status texts
// and small text helpers.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QThread>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "toolkit_state.h"

namespace tk {
namespace detail {

State& state() {
    static State* s = new State;  // never destroyed: callbacks may run during exit
    return *s;
}

bool initialised() { return QApplication::instance() != nullptr; }

bool onUiThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

PanelRec* findPanel(int handle) {
    auto& panels = state().panels;
    auto it = panels.find(handle);
    return it == panels.end() ? nullptr : it->second.get();
}

ControlRec* findControl(int panel, int control) {
    PanelRec* p = findPanel(panel);
    if (!p) return nullptr;
    auto it = p->controls.find(control);
    return it == p->controls.end() ? nullptr : &it->second;
}

int lookup(int panel, int control, PanelRec*& p, ControlRec*& c) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    p = findPanel(panel);
    if (!p) return ERR_PANEL;
    auto it = p->controls.find(control);
    if (it == p->controls.end()) return ERR_CONTROL;
    c = &it->second;
    return OK;
}

QString mnemonicText(std::string_view label) {
    QString out;
    QString in = qs(label);
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == '_' && i + 1 < in.size() && in[i + 1] == '_') {
            out += '&';
            ++i;
        } else if (in[i] == '&') {
            out += "&&";
        } else {
            out += in[i];
        }
    }
    return out;
}

std::string plainLabel(std::string_view label) {
    std::string out;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '_' && i + 1 < label.size() && label[i + 1] == '_') {
            ++i;
            continue;
        }
        out += label[i];
    }
    return out;
}

QString colorName(int rgb) { return QString("#%1").arg(unsigned(rgb) & 0xFFFFFFu, 6, 16, QChar('0')); }

const Callback* findBinding(const std::string& resource, const Bindings* bindings, const std::string& name) {
    if (bindings) {
        for (const auto& b : *bindings)
            if (b.name == name) return &b;
    }
    auto& reg = state().bindings;
    auto r = reg.find(resource);
    if (r == reg.end()) return nullptr;
    auto it = r->second.find(name);
    return it == r->second.end() ? nullptr : &it->second;
}

void noteUnbound(const std::string& resource, const std::string& name) {
    std::string key = resource + ":" + name;
    auto& list = state().unbound;
    for (const auto& u : list)
        if (u == key) return;
    list.push_back(key);
}

void startScriptFromOptions(const std::string& path);
void installRussianTranslations(QApplication& app);

}  // namespace detail

using namespace detail;

const char* statusText(int status) {
    switch (status) {
    case OK: return "success";
    case ERR_NOT_INITIALISED: return "the panel run-time is not initialised";
    case ERR_PANEL: return "unknown panel handle";
    case ERR_CONTROL: return "no such control on the panel";
    case ERR_RESOURCE: return "panel resource not registered";
    case ERR_PANEL_ID: return "the resource has no panel or menu bar with this id";
    case ERR_TYPE: return "value of the wrong type for the control";
    case ERR_RANGE: return "index, row, column or value out of range";
    case ERR_ATTRIBUTE: return "attribute not valid here";
    case ERR_KIND: return "operation not valid for this kind of control";
    case ERR_ARGUMENT: return "bad argument";
    case ERR_MENU: return "unknown menu bar, menu or menu item";
    case ERR_NOT_POPUP: return "the panel is not an installed pop-up";
    case ERR_THREAD: return "called from a thread other than the user-interface thread";
    case ERR_NOT_IMPLEMENTED: return "not implemented";
    case ERR_IO: return "file could not be read or written";
    case ERR_SCRIPT: return "script command failed";
    default: return status >= 0 ? "success" : "unknown error";
    }
}

namespace {

// The offscreen platform complains about every window it cannot raise or
// size-hint; those lines say nothing about the program and are dropped.
QtMessageHandler previousHandler = nullptr;
void messageFilter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith("This plugin does not support") || text.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
    if (previousHandler) previousHandler(type, context, text);
}

// Takes "--opt VALUE" or "--opt=VALUE" out of argv.
bool takeOption(int& argc, char** argv, const char* name, std::string& value) {
    size_t n = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        int used = 0;
        if (std::strcmp(argv[i], name) == 0 && i + 1 < argc) {
            value = argv[i + 1];
            used = 2;
        } else if (std::strncmp(argv[i], name, n) == 0 && argv[i][n] == '=') {
            value = argv[i] + n + 1;
            used = 1;
        }
        if (used) {
            for (int j = i; j + used <= argc; ++j) argv[j] = argv[j + used];
            argc -= used;
            return true;
        }
    }
    return false;
}

}  // namespace

bool checkScriptFile(const std::string& optionValue, std::string& reason) {
    std::string path = optionValue;
    if (path.empty()) {
        if (const char* e = std::getenv("SORVI_SCRIPT")) path = e;
    }
    if (path.empty()) return true;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        reason = "cannot read script " + path + ": it is a folder";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        reason = "cannot read script " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    return true;
}

int initRuntime(int& argc, char** argv) {
    if (QApplication::instance()) return OK;  // a plug-in inside a host
    std::string script, shots;
    if (argv) {
        takeOption(argc, argv, "--script", script);
        takeOption(argc, argv, "--screenshots", shots);
    }
    if (script.empty()) {
        if (const char* e = std::getenv("SORVI_SCRIPT")) script = e;
    }
    // A script that cannot be read would leave the program waiting for an
    // operator who is not there: refuse it before any window exists.
    if (std::string reason; !checkScriptFile(script, reason)) {
        const char* program = argv && argc > 0 && argv[0] ? argv[0] : "paneltk";
        if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
        std::fprintf(stderr, "%s: %s\n", program, reason.c_str());
        return ERR_IO;
    }
    if (shots.empty()) {
        if (const char* e = std::getenv("SORVI_SCREENSHOTS")) shots = e;
    }
    previousHandler = qInstallMessageHandler(messageFilter);
    // QApplication keeps references to argc/argv for its whole life.
    static int appArgc = 1;
    static char name[] = "paneltk";
    static char* appArgv[] = {argv && argc > 0 && argv[0] ? argv[0] : name, nullptr};
    auto* app = new QApplication(appArgc, appArgv);
    // Numbers printed by the programs' own printf keep a decimal point,
    // whatever the desktop's locale says.
    std::setlocale(LC_NUMERIC, "C");

    QFont font("DejaVu Sans", 9);
    app->setFont(font);

    installRussianTranslations(*app);

    timer();  // the timer counts from here
    if (!shots.empty()) setScreenshotDirectory(shots);
    if (!script.empty()) startScriptFromOptions(script);
    return OK;
}

bool runtimeInitialised() { return initialised(); }

int registerResource(const ResourceDef& def) {
    if (def.name.empty()) return ERR_ARGUMENT;
    state().resources[def.name] = def;
    return OK;
}

int bindCallbacks(std::string_view resource, const Bindings& bindings) {
    if (resource.empty()) return ERR_ARGUMENT;
    auto& table = state().bindings[std::string(resource)];
    for (const auto& b : bindings) {
        if (b.name.empty()) return ERR_ARGUMENT;
        table.insert_or_assign(b.name, b);
    }
    return OK;
}

std::vector<std::string> unboundCallbacks() { return state().unbound; }

}  // namespace tk

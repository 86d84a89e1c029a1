// What each script line does: finding panels and controls by their constant
// names, acting as the operator would, and checking what the operator sees.
#include <QDir>

#include <cerrno>
#include <climits>
#include <cmath>
#include <dlfcn.h>
#include <map>

#include "panel_window.h"
#include "popup_state.h"
#include "script_internal.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

struct Extra {
    ScriptCommand handler;
    void* data;
};

std::map<std::string, Extra>& extras() {
    static auto* m = new std::map<std::string, Extra>;
    return *m;
}

bool toInt(const std::string& s, long long& v);

// ------------------------------------------------------------ finding things
// Panels a qualifier allows: "@7", "MP#2", "MP", or "" for all.
bool qualifierPanels(const std::string& q, std::vector<PanelRec*>& out, std::string& err) {
    auto& panels = state().panels;
    if (q.empty()) {
        for (auto& [h, p] : panels) out.push_back(p.get());
        return true;
    }
    if (q[0] == '@') {
        long long handle = 0;
        PanelRec* p = toInt(q.substr(1), handle) ? findPanel(int(handle)) : nullptr;
        if (!p) {
            err = "no panel with handle " + q.substr(1);
            return false;
        }
        out.push_back(p);
        return true;
    }
    std::string name = q;
    int nth = 0;
    if (size_t hash = q.find('#'); hash != std::string::npos) {
        name = q.substr(0, hash);
        long long n = 0;
        nth = toInt(q.substr(hash + 1), n) && n >= 1 ? int(n) : 0;
        if (nth < 1) {
            err = "bad panel number in " + q;
            return false;
        }
    }
    std::vector<PanelRec*> same;
    for (auto& [h, p] : panels)
        if (p->constant == name) same.push_back(p.get());
    std::sort(same.begin(), same.end(), [](PanelRec* a, PanelRec* b) { return a->loadSerial < b->loadSerial; });
    if (nth) {
        if (nth > int(same.size())) {
            err = "there are only " + std::to_string(same.size()) + " panels " + name;
            return false;
        }
        out.push_back(same[size_t(nth - 1)]);
    } else {
        out = same;
    }
    if (out.empty()) err = "no panel " + name + " is loaded";
    return !out.empty();
}

long long shownSerial(const PanelRec* p) {
    if (p->isPage) {
        const PanelRec* owner = findPanel(p->parent);
        return owner ? shownSerial(owner) : 0;
    }
    return panelShown(*p) ? p->displaySerial : 0;
}

// The preferred panel among several: the active one, then the most recently
// displayed visible one, then the most recently loaded one.
PanelRec* preferred(const std::vector<PanelRec*>& list) {
    if (list.empty()) return nullptr;
    int active = activePanel();
    for (PanelRec* p : list)
        if (p->handle == active || (p->isPage && p->parent == active)) return p;
    PanelRec* best = nullptr;
    for (PanelRec* p : list)
        if (!best || shownSerial(p) > shownSerial(best) ||
            (shownSerial(p) == shownSerial(best) && p->loadSerial > best->loadSerial))
            best = p;
    return best;
}

void splitTarget(const std::string& target, std::string& qualifier, std::string& name) {
    size_t dot = target.find('.');
    if (dot == std::string::npos) {
        qualifier.clear();
        name = target;
    } else {
        qualifier = target.substr(0, dot);
        name = target.substr(dot + 1);
    }
}

bool resolvePanel(const std::string& target, PanelRec*& panel, std::string& err) {
    std::vector<PanelRec*> list;
    if (!qualifierPanels(target, list, err)) return false;
    panel = preferred(list);
    return true;
}

bool resolveControl(const std::string& target, PanelRec*& panel, ControlRec*& control, std::string& err) {
    std::string q, name;
    splitTarget(target, q, name);
    std::vector<PanelRec*> list, holding;
    if (!qualifierPanels(q, list, err)) return false;
    for (PanelRec* p : list)
        for (auto& [id, c] : p->controls)
            if (c.def.constant == name) holding.push_back(p);
    panel = preferred(holding);
    if (!panel) {
        err = "no loaded panel has a control " + target;
        return false;
    }
    for (auto& [id, c] : panel->controls)
        if (c.def.constant == name) control = &c;
    return true;
}

bool resolveMenuItem(const std::string& target, int& bar, int& item, std::string& err) {
    std::string q, name;
    splitTarget(target, q, name);
    std::vector<PanelRec*> list, holding;
    if (!qualifierPanels(q, list, err)) return false;
    for (PanelRec* p : list) {
        auto it = state().menuBars.find(p->menuBar);
        if (it == state().menuBars.end()) continue;
        for (auto& [id, i] : it->second->items)
            if (i.constant == name) holding.push_back(p);
    }
    PanelRec* p = preferred(holding);
    if (!p) {
        err = "no loaded menu bar has an item " + target;
        return false;
    }
    bar = p->menuBar;
    for (auto& [id, i] : state().menuBars[bar]->items)
        if (i.constant == name) item = id;
    return true;
}

// Could an operator use this panel (and control) now?
bool reachable(const PanelRec& p, const ControlRec* c, std::string& why) {
    if (OpenDialog* d = openDialog()) {
        why = std::string(d->kind == OpenDialog::Message ? "a message box" : "a file dialog") +
              " is waiting for an answer";
        return false;
    }
    if (!panelShown(p)) {
        why = "panel " + p.constant + " is not visible";
        return false;
    }
    int host = p.isPage ? p.parent : p.handle;
    if (int top = topPopup(); top && top != host) {
        PanelRec* t = findPanel(top);
        why = "pop-up " + (t ? t->constant : std::string("?")) + " takes all input";
        return false;
    }
    if (c && !c->visible) {
        why = c->def.constant + " is hidden";
        return false;
    }
    if (c && c->dimmed) {
        why = c->def.constant + " is dimmed";
        return false;
    }
    return true;
}

// A whole number that fits an int (decimal, 0x hex); anything else, or a
// number out of range, is refused rather than wrapped.
bool toInt(const std::string& s, long long& v) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtoll(s.c_str(), &end, 0);
    return errno == 0 && end && *end == 0 && v >= INT_MIN && v <= INT_MAX;
}

// Seconds for wait and timeout: a finite number from 0 to a day.
bool toSeconds(const std::string& s, double& v) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end && *end == 0 && std::isfinite(v) && v >= 0 && v <= 86400;
}

// ------------------------------------------------------------ actions
Outcome act(const std::vector<std::string>& w, LineContext& ctx, std::string& msg) {
    const std::string& cmd = w[0];
    ctx.isAction = true;
    size_t need = cmd == "cell" ? 5 : (cmd == "commit" ? 2 : 3);
    if (w.size() < need) {
        msg = cmd + ": missing arguments";
        return Outcome::Failed;
    }
    PanelRec* p = nullptr;
    ControlRec* c = nullptr;
    if (!resolveControl(w[1], p, c, msg)) return Outcome::NotYet;
    if (!reachable(*p, c, msg)) return Outcome::NotYet;
    const int h = p->handle, id = c->id;
    const ControlKind kind = c->def.kind;
    // The program alone writes a display-only control; the operator can do
    // nothing to it, so neither can a script.
    if (c->mode != MODE_INPUT) {
        msg = w[1] + " is display only";
        return Outcome::Failed;
    }

    if (cmd == "commit") {
        ctx.advance();
        fireControl(h, id, EVENT_COMMIT);
        return Outcome::Done;
    }
    if (cmd == "set") {
        const std::string& v = w[2];
        int r = OK;
        if (kind == ControlKind::Numeric) {
            double d;
            if (!parseNumber(v, c->def.format, d)) {
                msg = "'" + v + "' is not a number";
                return Outcome::Failed;
            }
            r = setValue(h, id, d);
        } else if (kind == ControlKind::String || kind == ControlKind::TextBox) {
            r = setValue(h, id, std::string_view(v));
        } else if (kind == ControlKind::BinarySwitch) {
            double d;
            if (v == c->def.onText) d = c->def.onValue;
            else if (v == c->def.offText) d = c->def.offValue;
            else if (!parseNumber(v, Format{}, d)) d = -1e300;
            r = setValue(h, id, d);
        } else {
            msg = "set does not apply to " + w[1] + " (use ring, cell, scroll or select-list)";
            return Outcome::Failed;
        }
        if (r < 0) {
            msg = std::string("cannot set ") + w[1] + ": " + statusText(r);
            return Outcome::Failed;
        }
        ctx.advance();
        fireControl(h, id, EVENT_VAL_CHANGED);
        fireControl(h, id, EVENT_COMMIT);
        return Outcome::Done;
    }
    if (cmd == "ring" || cmd == "select-list") {
        if (kind != ControlKind::Ring && kind != ControlKind::ListBox) {
            msg = w[1] + " is not a ring or list box";
            return Outcome::Failed;
        }
        int index = -1;
        const std::string& v = w[2];
        long long n;
        if (cmd == "select-list" || (v.size() > 1 && v[0] == '#')) {
            if (!toInt(cmd == "select-list" ? v : v.substr(1), n)) {
                msg = "bad index " + v;
                return Outcome::Failed;
            }
            index = int(n);
        } else {
            for (size_t i = 0; i < c->items.size(); ++i)
                if (c->items[i].label == v) index = int(i);
        }
        if (setIndex(h, id, index) < 0) {
            msg = w[1] + " has no item " + v;
            return Outcome::Failed;
        }
        ctx.advance();
        // As the operator does it: the highlight moves, then the choice is
        // committed (Enter in a list box).
        fireControl(h, id, EVENT_VAL_CHANGED, index);
        fireControl(h, id, EVENT_COMMIT, index);
        return Outcome::Done;
    }
    if (cmd == "cell") {
        long long row, col;
        if (!toInt(w[2], row) || !toInt(w[3], col)) {
            msg = "bad row or column";
            return Outcome::Failed;
        }
        if (int r = setCell(h, id, int(row), int(col), w[4]); r < 0) {
            msg = std::string("cannot type into the cell: ") + statusText(r);
            return Outcome::Failed;
        }
        ctx.advance();
        fireControl(h, id, EVENT_COMMIT, int(row), int(col));
        return Outcome::Done;
    }
    if (cmd == "scroll") {
        long long v;
        if (kind != ControlKind::ScrollBar || !toInt(w[2], v)) {
            msg = "scroll needs a scroll bar and a whole number";
            return Outcome::Failed;
        }
        setValue(h, id, int(v));
        ctx.advance();
        fireControl(h, id, EVENT_COMMIT);
        return Outcome::Done;
    }
    msg = "unknown command " + cmd;
    return Outcome::Failed;
}

// ------------------------------------------------------------ expectations
Outcome expectation(const std::vector<std::string>& w, std::string& msg) {
    if (w.size() < 3) {
        msg = "expect: missing arguments";
        return Outcome::Failed;
    }
    const std::string& what = w[1];
    auto mismatch = [&](const std::string& got, const std::string& want) {
        if (got == want) return Outcome::Done;
        msg = "expected " + what + " of " + w[2] + " to be \"" + want + "\", it is \"" + got + "\"";
        return Outcome::Failed;
    };
    if (what == "popup") {
        auto seen = messagePopupsSeen();
        if (seen.empty()) {
            msg = "no message box has been shown";
            return Outcome::Failed;
        }
        const PopupRecord& last = seen.back();
        std::string want = w[2] + (w.size() > 3 ? " / " + w[3] : "");
        std::string got = last.title + (w.size() > 3 ? " / " + last.text : "");
        if (got == want) return Outcome::Done;
        msg = "expected message box \"" + want + "\", the last was \"" + last.title + " / " + last.text + "\"";
        return Outcome::Failed;
    }
    if (what == "title") {
        if (w.size() < 4) return msg = "expect title PANEL TEXT", Outcome::Failed;
        PanelRec* p;
        if (!resolvePanel(w[2], p, msg)) return Outcome::Failed;
        return mismatch(us(p->window->windowTitle()), w[3]);
    }
    PanelRec* p = nullptr;
    ControlRec* c = nullptr;
    if (what == "visible") {
        if (w.size() < 4) return msg = "expect visible NAME 0|1", Outcome::Failed;
        std::string err;
        if (resolveControl(w[2], p, c, err)) return mismatch(c->visible ? "1" : "0", w[3]);
        if (resolvePanel(w[2], p, msg)) return mismatch(panelShown(*p) ? "1" : "0", w[3]);
        msg = err;
        return Outcome::Failed;
    }
    if (!resolveControl(w[2], p, c, msg)) return Outcome::Failed;
    const int h = p->handle, id = c->id;
    std::string got;
    int r = OK;
    size_t need = (what == "cell") ? 6 : (what == "line" ? 5 : 4);
    if (w.size() < need) {
        msg = "expect " + what + ": missing arguments";
        return Outcome::Failed;
    }
    if (what == "value") {
        r = getDisplayText(h, id, got);
    } else if (what == "label") {
        r = getAttribute(h, id, ATTR_LABEL_TEXT, got);
    } else if (what == "dimmed") {
        got = c->dimmed ? "1" : "0";
    } else if (what == "color") {
        long long want;
        if (!toInt(w[3], want)) return msg = "bad colour " + w[3], Outcome::Failed;
        if (c->textBgColor == int(want)) return Outcome::Done;
        char buf[32];
        std::snprintf(buf, sizeof buf, "0x%06X", unsigned(c->textBgColor));
        msg = "expected colour of " + w[2] + " to be " + w[3] + ", it is " + buf;
        return Outcome::Failed;
    } else if (what == "cell") {
        long long row, col;
        if (!toInt(w[3], row) || !toInt(w[4], col)) return msg = "bad row or column", Outcome::Failed;
        r = getCell(h, id, int(row), int(col), got);
        if (r == OK) return mismatch(got, w[5]);
    } else if (what == "lines") {
        int n = 0;
        r = lineCount(h, id, n);
        got = std::to_string(n);
    } else if (what == "line") {
        long long n;
        if (!toInt(w[3], n)) return msg = "bad line number", Outcome::Failed;
        r = lineText(h, id, int(n), got);
        if (r == OK) return mismatch(got, w[4]);
    } else if (what == "items") {
        int n = 0;
        r = itemCount(h, id, n);
        got = std::to_string(n);
    } else {
        msg = "unknown expectation " + what;
        return Outcome::Failed;
    }
    if (r < 0) {
        msg = "cannot read " + what + " of " + w[2] + ": " + statusText(r);
        return Outcome::Failed;
    }
    return mismatch(got, w[3]);
}

Outcome screenshot(const std::vector<std::string>& w, std::string& msg) {
    if (w.size() < 2) return msg = "screenshot NAME [PANEL]", Outcome::Failed;
    PanelRec* p = nullptr;
    if (w.size() > 2) {
        if (!resolvePanel(w[2], p, msg)) return Outcome::Failed;
    } else {
        p = findPanel(activePanel());
        if (!p) return msg = "no panel is visible", Outcome::Failed;
    }
    QString dir = qs(state().screenshotDir.empty() ? std::string(".") : state().screenshotDir);
    QDir().mkpath(dir);
    if (grabPanel(*p, QDir(dir).filePath(qs(w[1]) + ".png")) < 0) {
        msg = "cannot save the screenshot in " + us(dir);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Outcome bench(std::string_view raw, std::string& reply) {
    using Fn = int (*)(const char*, char*, int);
    auto fn = reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, "sorvi_bench_command"));
    if (!fn) {
        reply = "bench: the simulated bench is not loaded in this program (no sorvi_bench_command)";
        return Outcome::Failed;
    }
    size_t at = raw.find("bench");
    std::string args(raw.substr(at + 5));
    size_t first = args.find_first_not_of(" \t");
    args = first == std::string::npos ? std::string() : args.substr(first);
    char buf[4096] = {0};
    int r = fn(args.c_str(), buf, int(sizeof buf));
    reply = buf;
    if (r != 0 && reply.empty()) reply = "bench: command failed with " + std::to_string(r);
    return r == 0 ? Outcome::Done : Outcome::Failed;
}

}  // namespace

bool splitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        char ch = line[i];
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            ++i;
            continue;
        }
        if (ch == '#' && words.empty()) break;  // a comment line
        std::string word;
        if (ch == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char x = line[i++];
                if (x == '"') {
                    closed = true;
                    break;
                }
                if (x == '\\' && i < line.size()) {
                    char e = line[i++];
                    word += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                } else {
                    word += x;
                }
            }
            if (!closed) {
                error = "unclosed quote";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

Outcome runCommand(const std::vector<std::string>& w, std::string_view raw, LineContext& ctx, std::string& msg) {
    if (w.empty()) return Outcome::Done;
    const std::string& cmd = w[0];
    if (cmd == "commit" || cmd == "set" || cmd == "ring" || cmd == "select-list" || cmd == "cell" || cmd == "scroll")
        return act(w, ctx, msg);
    if (cmd == "expect") return expectation(w, msg);
    if (cmd == "menu" || cmd == "close") {
        ctx.isAction = true;
        if (w.size() < 2) return msg = cmd + ": missing name", Outcome::Failed;
        if (cmd == "menu") {
            int bar = 0, item = 0;
            if (!resolveMenuItem(w[1], bar, item, msg)) return Outcome::NotYet;
            MenuBarRec* b = state().menuBars[bar].get();
            PanelRec* p = findPanel(b->panel);
            if (!p || !reachable(*p, nullptr, msg)) return Outcome::NotYet;
            if (b->items[item].dimmed) return msg = w[1] + " is dimmed", Outcome::Failed;
            ctx.advance();
            chooseMenuItem(bar, item);
            return Outcome::Done;
        }
        PanelRec* p;
        if (!resolvePanel(w[1], p, msg)) return Outcome::NotYet;
        if (!reachable(*p, nullptr, msg)) return Outcome::NotYet;
        int h = p->handle;
        ctx.advance();
        closeBoxPressed(h);
        return Outcome::Done;
    }
    if (cmd == "answer" || cmd == "file") {
        ctx.isAction = true;
        OpenDialog* d = openDialog();
        OpenDialog::Kind want = cmd == "answer" ? OpenDialog::Message : OpenDialog::File;
        if (!d || d->kind != want) {
            msg = cmd == "answer" ? "no message box appeared" : "no file dialog appeared";
            return Outcome::NotYet;
        }
        ctx.advance();
        if (cmd == "answer") {
            Outcome o = Outcome::Done;
            if (w.size() >= 4 && w[1] == "expect") {
                if (d->title != w[2] || d->text != w[3]) {
                    msg = "expected message box \"" + w[2] + " / " + w[3] + "\", it is \"" + d->title + " / " +
                          d->text + "\"";
                    o = Outcome::Failed;
                }
            }
            answerDialog(*d, 0, {});
            return o;
        }
        if (w.size() < 2) {
            answerDialog(*d, NOTHING_SELECTED, {});
            return msg = "file: missing path", Outcome::Failed;
        }
        if (w[1] == "cancel") answerDialog(*d, NOTHING_SELECTED, {});
        else answerDialog(*d, FILE_SELECTED, w[1]);
        return Outcome::Done;
    }
    if (cmd == "wait") {
        double s = 0;
        if (w.size() > 1 && !toSeconds(w[1], s)) return msg = "wait: bad number of seconds " + w[1], Outcome::Failed;
        if (virtualClockOn()) {
            advanceClock(s);
            return Outcome::Done;
        }
        // Real time: hold this line until the time has passed.
        // Only the current line can be waiting, so one deadline is enough.
        static double until = -1;
        if (until < 0) until = timer() + s;
        if (timer() < until) return Outcome::Holding;
        until = -1;
        return Outcome::Done;
    }
    if (cmd == "timeout") {
        double s = 0;
        if (w.size() < 2 || !toSeconds(w[1], s)) return msg = "timeout SECONDS (0 to 86400)", Outcome::Failed;
        actionTimeout() = s;
        return Outcome::Done;
    }
    if (cmd == "echo") {
        std::string text;
        for (size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        return Outcome::Done;
    }
    if (cmd == "screenshot") return screenshot(w, msg);
    if (cmd == "bench") return bench(raw, msg);
    if (cmd == "exit") {
        // The program ends either way; a bad status is a failure, so it ends with 1.
        long long code = 0;
        const bool good = w.size() < 2 || (toInt(w[1], code) && code >= 0 && code <= 255);
        ctx.advance();
        if (!good) {
            msg = "exit: the status must be a whole number from 0 to 255, not " + w[1];
            scriptExit(1, msg);
        }
        scriptExit(int(code), {});
    }
    auto it = extras().find(cmd);
    if (it != extras().end()) {
        int r = it->second.handler(w, msg, it->second.data);
        return r == 0 ? Outcome::Done : Outcome::Failed;
    }
    msg = "unknown command " + cmd;
    return Outcome::Failed;
}

}  // namespace detail

int registerScriptCommand(std::string_view word, ScriptCommand handler, void* data) {
    if (word.empty() || !handler) return ERR_ARGUMENT;
    detail::extras()[std::string(word)] = {handler, data};
    return OK;
}

}  // namespace tk

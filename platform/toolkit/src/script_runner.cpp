// The script queue: lines run one by one as the program processes events.
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <utility>
#include <unistd.h>

#include "script_internal.h"
#include "toolkit_state.h"

namespace tk {
namespace detail {
namespace {

struct Line {
    std::string source;
    int number = 0;
    std::string text;
};

struct Runner {
    std::vector<Line> lines;
    size_t next = 0;
    int linesRun = 0;
    std::vector<std::string> failures;
    bool reportedEnd = true;
    // The line now waiting for its target, and since when (real time).
    size_t waitingLine = size_t(-1);
    std::chrono::steady_clock::time_point waitingSince;
    bool programMode = false;
    const Line* current = nullptr;  // the line being run, while it runs
    void (*teardown)() = nullptr;
};

Runner& runner() {
    static Runner* r = new Runner;
    return *r;
}

double realNow() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration<double>(steady_clock::now() - start).count();
}

void advance() {
    Runner& r = runner();
    ++r.next;
    ++r.linesRun;
    r.waitingLine = size_t(-1);
}

void fail(const Line& line, const std::string& message) {
    std::string text = oneLine(line.source) + ":" + std::to_string(line.number) + ": " + oneLine(message);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    runner().failures.push_back(text);
}

void reportEnd() {
    Runner& r = runner();
    if (r.reportedEnd || r.next < r.lines.size()) return;
    r.reportedEnd = true;
    if (r.programMode) std::fprintf(stderr, "script: %d lines run, %zu failed\n", r.linesRun, r.failures.size());
}

void atExit() {
    Runner& r = runner();
    bool unfinished = r.next < r.lines.size();
    if (r.failures.empty() && !unfinished) return;
    if (unfinished)
        std::fprintf(stderr, "script: ended at line %d of %s before its end\n", r.lines[r.next].number,
                     oneLine(r.lines[r.next].source).c_str());
    std::fprintf(stderr, "script: %zu failed line(s)\n", r.failures.size());
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(1);
}

int queue(std::string_view text, std::string_view name) {
    Runner& r = runner();
    int number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        std::string line(text.substr(pos, end - pos));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] != '#') r.lines.push_back({std::string(name), number, line});
        pos = end + 1;
    }
    r.reportedEnd = false;
    return OK;
}

}  // namespace

std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        // Length of a well-formed UTF-8 character that is not a control.
        std::size_t n = b >= 0x20 && b < 0x7F    ? 1
                        : b >= 0xC2 && b < 0xE0  ? 2
                        : b >= 0xE0 && b < 0xF0  ? 3
                        : b >= 0xF0 && b <= 0xF4 ? 4
                                                 : 0;
        if (n > 1) {
            if (i + n > text.size()) n = 0;
            for (std::size_t k = 1; k < n; ++k)
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) n = 0;
            const auto b1 = n ? static_cast<unsigned char>(text[i + 1]) : 0;
            if ((b == 0xC2 && b1 < 0xA0) || (b == 0xE0 && b1 < 0xA0) || (b == 0xF0 && b1 < 0x90) ||
                (b == 0xF4 && b1 > 0x8F))
                n = 0;  // C1 controls, overlong forms, past U+10FFFF
        }
        if (n > 0) {
            out.append(text.substr(i, n));
            i += n;
            continue;
        }
        if (b == '\n') out += "\\n";
        else if (b == '\t') out += "\\t";
        else if (b == '\r') out += "\\r";
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
        ++i;
    }
    return out;
}

void scriptExit(int code, const std::string& failure) {
    Runner& r = runner();
    if (!failure.empty()) {
        if (r.current) {
            fail(*r.current, failure);
        } else {
            std::fprintf(stderr, "script: %s\n", oneLine(failure).c_str());
            r.failures.push_back(failure);
        }
    }
    r.next = r.lines.size();  // the script has ended here
    std::fflush(stdout);
    if (void (*teardown)() = std::exchange(r.teardown, nullptr)) teardown();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(r.failures.empty() ? code : 1);
}

double& actionTimeout() {
    static double t = 5.0;
    return t;
}

void scriptStep() {
    Runner& r = runner();
    while (r.next < r.lines.size()) {
        size_t index = r.next;
        const Line line = r.lines[index];
        std::vector<std::string> words;
        std::string message;
        if (!splitWords(line.text, words, message)) {
            advance();
            fail(line, message);
            continue;
        }
        LineContext ctx;
        ctx.advance = advance;
        r.current = &line;
        Outcome o = runCommand(words, line.text, ctx, message);
        r.current = nullptr;
        // A wait lasts its whole time, whatever the actions' time-out.
        if (o == Outcome::Holding) return;
        if (o == Outcome::NotYet) {
            if (r.next != index) return;  // moved on meanwhile (nested loop)
            auto now = std::chrono::steady_clock::now();
            if (r.waitingLine != index) {
                r.waitingLine = index;
                r.waitingSince = now;
                return;
            }
            if (std::chrono::duration<double>(now - r.waitingSince).count() < actionTimeout()) return;
            advance();
            fail(line, message.empty() ? "timed out" : message);
            continue;
        }
        if (r.next == index) advance();  // a command that did not advance itself
        if (o == Outcome::Failed) fail(line, message);
        if (ctx.isAction) break;  // let the program turn its loop once
    }
    reportEnd();
}

void startScriptFromOptions(const std::string& path) {
    runner().programMode = true;
    std::atexit(atExit);
    if (startScriptFile(path) < 0) {
        std::fprintf(stderr, "script: cannot read %s\n", oneLine(path).c_str());
        runner().failures.push_back(path + ": cannot be read");
    }
}

}  // namespace detail

using namespace detail;

int startScript(std::string_view text, std::string_view name) { return queue(text, name); }

int startScriptFile(const std::string& path) {
    QFile f(qs(path));
    if (!f.open(QIODevice::ReadOnly)) return ERR_IO;
    QByteArray data = f.readAll();
    return queue(std::string_view(data.constData(), size_t(data.size())), path);
}

int runScript(std::string_view text, double timeoutSeconds, std::string_view name) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    queue(text, name);
    Runner& r = runner();
    double end = realNow() + timeoutSeconds;
    while (r.next < r.lines.size() && realNow() < end) {
        processEvents();
        if (r.next < r.lines.size()) waitEvents(0.005);
    }
    if (r.next < r.lines.size()) {
        fail(r.lines[r.next], "script did not finish in time");
        return ERR_SCRIPT;
    }
    return int(r.failures.size());
}

void onScriptExit(void (*teardown)()) { runner().teardown = teardown; }

ScriptResult scriptResult() {
    Runner& r = runner();
    ScriptResult out;
    out.running = r.next < r.lines.size();
    out.finished = !out.running;
    out.linesRun = r.linesRun;
    out.failures = r.failures;
    return out;
}

void resetScript() {
    Runner& r = runner();
    bool program = r.programMode;
    void (*teardown)() = r.teardown;
    r = Runner();
    r.programMode = program;
    r.teardown = teardown;
    actionTimeout() = 5.0;
}

int executeScriptLine(std::string_view line, std::string& reply) {
    if (!initialised()) return ERR_NOT_INITIALISED;
    if (!onUiThread()) return ERR_THREAD;
    std::vector<std::string> words;
    reply.clear();
    if (!splitWords(line, words, reply)) return ERR_SCRIPT;
    if (words.empty()) return OK;
    LineContext ctx;
    ctx.advance = [] {};
    Outcome o = runCommand(words, line, ctx, reply);
    if (o == Outcome::NotYet && reply.empty()) reply = "the target cannot be reached now";
    return o == Outcome::Done ? OK : ERR_SCRIPT;
}

}  // namespace tk

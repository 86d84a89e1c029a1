// The script queue: lines run one by one as the program processes events.
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
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
    std::string text = line.source + ":" + std::to_string(line.number) + ": " + message;
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    runner().failures.push_back(text);
}

void reportEnd() {
    Runner& r = runner();
    if (r.reportedEnd || r.next < r.lines.size()) return;
    r.reportedEnd = true;
    if (r.programMode)
        std::fprintf(stderr, "script: %d lines run, %zu failed\n", r.linesRun, r.failures.size());
}

void atExit() {
    Runner& r = runner();
    bool unfinished = r.next < r.lines.size();
    if (r.failures.empty() && !unfinished) return;
    if (unfinished)
        std::fprintf(stderr, "script: ended at line %d of %s before its end\n",
                     r.lines[r.next].number, r.lines[r.next].source.c_str());
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
        if (first != std::string::npos && line[first] != '#')
            r.lines.push_back({std::string(name), number, line});
        pos = end + 1;
    }
    r.reportedEnd = false;
    return OK;
}

}  // namespace

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
        Outcome o = runCommand(words, line.text, ctx, message);
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
        std::fprintf(stderr, "script: cannot read %s\n", path.c_str());
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
    r = Runner();
    r.programMode = program;
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

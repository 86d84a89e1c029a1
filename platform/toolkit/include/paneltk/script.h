// Headless scripting: drive panels as a user would and check what a user
// would see. The language is described in docs/scripting.md.
//
// A script is a list of lines. Its commands run one by one while the program
// processes events (processEvents, waitEvents, nested pop-up loops), so a
// script goes on inside modal pop-ups and nested waits: "commit P4_START"
// runs inside the loop of the pop-up that the program waits in.
// A failed expectation is reported at once on stderr with its line number;
// the script goes on. When the process exits after a script with failures
// (or one that never reached its end), the exit status is 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tk {

struct ScriptResult {
    bool running = false;   // lines are left to run
    bool finished = false;  // every line has run
    int linesRun = 0;
    std::vector<std::string> failures;  // "name:line: message"
};

// Queues the lines of a script (after any script already queued). name is
// used in messages ("<test>:12: ...").
int startScript(std::string_view text, std::string_view name = "<script>");
int startScriptFile(const std::string& path);
// Starts the script and processes events until it has finished or
// timeoutSeconds (real time) have passed; returns the number of failures, or
// a negative status when it did not finish.
int runScript(std::string_view text, double timeoutSeconds = 10.0, std::string_view name = "<script>");
ScriptResult scriptResult();
// Forgets queued lines and recorded failures (between tests).
void resetScript();

// Runs one command now, outside any queue; reply receives the result text
// (e.g. of "bench ..." or "get CTRL"). Returns 0 or ERR_SCRIPT.
int executeScriptLine(std::string_view line, std::string& reply);

// Extra commands: a program or library registers a word; the handler gets the
// words of the line (args[0] is the command) and writes an error message or
// a reply; it returns 0 on success, non-zero on failure.
using ScriptCommand = int (*)(const std::vector<std::string>& args, std::string& reply, void* data);
int registerScriptCommand(std::string_view word, ScriptCommand handler, void* data = nullptr);

// The program's teardown (closing its instruments and files), run by the
// script command "exit" before the process ends, so that a scripted exit
// leaves things as the program's own way out does. Without one, "exit" ends
// the process directly.
void onScriptExit(void (*teardown)());

// The last message pop-up seen (title and text), for tests.
struct PopupRecord {
    std::string title;
    std::string text;
};
std::vector<PopupRecord> messagePopupsSeen();

}  // namespace tk

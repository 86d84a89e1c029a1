// Shared between the script runner (queue, stepping, results) and the
// script commands (what each line does).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tk::detail {

// Splits a line into words; quoted texts keep their spaces and take \n, \t,
// \" and \\ escapes; a line starting with # is a comment. False on a bad line.
bool splitWords(std::string_view line, std::vector<std::string>& words, std::string& error);

enum class Outcome {
    Done,     // the line ran (an expectation passed, an action was taken)
    Failed,   // the line ran and failed; message says why
    NotYet,   // an action's target cannot be reached yet: try again later
    Holding,  // a wait whose time has not passed: try again later, no time-out
};

struct LineContext {
    bool isAction = false;  // set by the command: the runner yields after it
    // Called by a command right before it acts; the runner moves on to the
    // next line here, so nested event loops inside the action continue the
    // script.
    void (*advance)() = nullptr;
};

// Runs one parsed line.
Outcome runCommand(const std::vector<std::string>& words, std::string_view rawLine, LineContext& ctx,
                   std::string& message);

// Ends the program for the script's exit command: reports `failure` (when
// not empty) against the running line, runs the program's teardown (see
// onScriptExit) and exits with `code`, or 1 when any line failed.
[[noreturn]] void scriptExit(int code, const std::string& failure);

// The text as one line: control characters (C0, DEL, C1) and bytes that are
// not UTF-8 are written as \n, \t, \r or \xNN, so that a message cannot
// break a line or carry a terminal escape sequence.
std::string oneLine(std::string_view text);

// Seconds an action waits for its target.
double& actionTimeout();

}  // namespace tk::detail

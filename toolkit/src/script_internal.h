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
    Done,      // the line ran (an expectation passed, an action was taken)
    Failed,    // the line ran and failed; message says why
    NotYet,    // an action's target cannot be reached yet: try again later
    Holding,   // a wait whose time has not passed: try again later, no time-out
};

struct LineContext {
    bool isAction = false;   // set by the command: the runner yields after it
    // Called by a command right before it acts; the runner moves on to the
    // next line here, so nested event loops inside the action continue the
    // script.
    void (*advance)() = nullptr;
};

// Runs one parsed line.
Outcome runCommand(const std::vector<std::string>& words, std::string_view rawLine,
                   LineContext& ctx, std::string& message);

// Seconds an action waits for its target.
double& actionTimeout();

}  // namespace tk::detail

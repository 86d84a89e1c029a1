// Standard pop-ups. Both block in a nested event loop (other callbacks,
// deferred calls and script steps keep running) until answered. Their buttons
// show Russian texts.
#pragma once

#include <string>
#include <string_view>

#include "runtime.h"

namespace tk {

// Message box with an OK button and exactly the title given (an empty title
// stays empty). Returns 0 when answered.
int messagePopup(std::string_view title, std::string_view text);

enum FileSelectResult : int {
    NOTHING_SELECTED = 0,
    FILE_SELECTED = 1,      // an existing file
    NEW_FILE_SELECTED = 2,  // a name of a file that does not exist yet
};

struct FileSelectOptions {
    std::string title;
    std::string directory;    // start directory; empty = current directory
    std::string defaultFile;  // default file name or pattern ("*.log")
    std::string filter;       // type list ("*.log;*.txt")
    std::string buttonLabel;  // empty: the standard "Open"/"Save" text
    bool restrictDirectory = false;
    bool restrictExtension = false;
    bool allowCancel = true;
    bool allowMakeDirectory = true;
    // false: a selection. Any name may be chosen, an existing file or a new
    // one, and nothing is asked: right for files that are appended to (a
    // protocol, a result file). true: a save dialog, which asks before it
    // lets an existing file be chosen, since saving replaces it.
    bool save = false;
};

// Returns FILE_SELECTED / NEW_FILE_SELECTED with the absolute path in path,
// NOTHING_SELECTED (path untouched), or a negative status.
int fileSelectPopup(const FileSelectOptions& options, std::string& path);

}  // namespace tk

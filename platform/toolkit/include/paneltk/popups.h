// Standard pop-ups. Both block in a nested event loop (other callbacks,
// deferred calls and script steps keep running) until answered. Their buttons
// show Russian texts.
#pragma once

#include <string>
#include <string_view>

#include "runtime.h"

namespace tk {

// Message box with an OK button. Returns 0 when answered.
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
    bool save = false;  // a save dialog (may name a new file)
};

// Returns FILE_SELECTED / NEW_FILE_SELECTED with the absolute path in path,
// NOTHING_SELECTED (path untouched), or a negative status.
int fileSelectPopup(const FileSelectOptions& options, std::string& path);

}  // namespace tk

// A standard pop-up that is waiting for an answer, as the script runner sees it.
#pragma once

#include <string>

class QDialog;

namespace tk::detail {

struct OpenDialog {
    enum Kind { Message, File } kind = Message;
    std::string title;
    std::string text;
    QDialog* dialog = nullptr;
    bool done = false;
    bool scripted = false;  // answered by a script: result and path below
    int result = 0;
    std::string path;
};

OpenDialog* openDialog();
// Answers the pop-up as the operator would (message: result 0).
void answerDialog(OpenDialog& dialog, int result, const std::string& path);

}  // namespace tk::detail

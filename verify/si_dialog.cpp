// The instrument-selection dialog, built in code on first use and kept: a
// list of the instruments found and the buttons "Выбрать" and "Отмена".
#include <paneltk/paneltk.h>

#include "si.h"

namespace {

constexpr int kDialogHeight = 335;
constexpr int kDialogWidth = 517;
constexpr unsigned kGrey = 0xC0C0C0;

int dialog = 0;
int listControl = 0;
int okControl = 0;
int cancelControl = 0;

void hideDialog() { tk::hidePanel(dialog); }

// "Выбрать", and Enter or a double-click in the list; a single click only
// highlights a carrier (a value-changed event), so a misclick opens nothing.
int onChoose(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT && event != tk::EVENT_LEFT_DOUBLE_CLICK) return 0;
    if (SetCurInstr() == 0) hideDialog();
    return 0;
}

int onCancel(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    hideDialog();
    CurrentInstr = nullptr;
    return 0;
}

bool dialogVisible() {
    int visible = 0;
    return tk::getPanelAttribute(dialog, tk::ATTR_VISIBLE, visible) == tk::OK && visible != 0;
}

}  // namespace

int selectionDialogPanel() { return dialog; }

int BuildSI(const char* title) {
    const int panel = tk::newPanel(0, title ? title : "", tk::AUTO_CENTER, tk::AUTO_CENTER, kDialogHeight, kDialogWidth,
                                   "SI");
    if (panel < 0) return panel;
    tk::setPanelAttribute(panel, tk::ATTR_BACKCOLOR, static_cast<int>(kGrey));
    listControl = tk::newControl(panel, tk::ControlKind::ListBox, "", 6, 6, 323, 385, "LIST");
    okControl = tk::newControl(panel, tk::ControlKind::CommandButton, "Выбрать", 20, 405, 25, 103, "OK");
    cancelControl = tk::newControl(panel, tk::ControlKind::CommandButton, "Отмена", 60, 405, 25, 103, "CANCEL");
    if (listControl < 0 || okControl < 0 || cancelControl < 0) {
        tk::discardPanel(panel);
        return listControl < 0 ? listControl : okControl < 0 ? okControl : cancelControl;
    }
    tk::setAttribute(panel, listControl, tk::ATTR_TEXT_BGCOLOR, static_cast<int>(0xFFFFFF));
    tk::setControlCallback(panel, listControl, onChoose);
    tk::setControlCallback(panel, okControl, onChoose);
    tk::setControlCallback(panel, cancelControl, onCancel);
    return panel;
}

int SetListInstrs() {
    tk::clearItems(dialog, listControl);
    int entries = 0;
    for (int i = 0; i < kMaxInstruments; ++i) {
        const std::string& label = Instruments[i].label;
        if (label.empty()) continue;
        std::string entry;
        for (char c : label) {
            if (c == '\n') entry += "  ";
            else entry += c;
        }
        if (tk::insertItem(dialog, listControl, -1, entry, i) == tk::OK) ++entries;
    }
    return entries;
}

int SetCurInstr() {
    int count = 0;
    if (tk::itemCount(dialog, listControl, count) != tk::OK || count == 0) return -1;
    int index = -1;
    if (tk::getValue(dialog, listControl, index) != tk::OK) return -1;
    if (index < 0 || index >= kMaxInstruments) return -1;
    CurrentInstr = &Instruments[index];
    return 0;
}

int prepareSelectionDialog(const char* title) {
    if (dialog == 0) {
        const int panel = BuildSI(title);
        if (panel < 0) return panel;
        dialog = panel;
    }
    tk::setPanelAttribute(dialog, tk::ATTR_TITLE, title ? title : "");
    return SetListInstrs();
}

InstrInfo* SelectInstrument(const char* title) {
    if (prepareSelectionDialog(title) <= 0) return nullptr;
    tk::displayPanel(dialog);
    while (dialogVisible()) {
        tk::processEvents();
        if (dialogVisible()) tk::waitEvents(0.05);
    }
    return CurrentInstr;
}

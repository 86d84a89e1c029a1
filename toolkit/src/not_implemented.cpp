// Placeholders for the parts of the toolkit not written yet: every call
// answers ERR_NOT_IMPLEMENTED so that programs link and fail clearly.
#include <paneltk/paneltk.h>

namespace tk {
#define NI return ERR_NOT_IMPLEMENTED
const char* statusText(int) { return "not implemented"; }
int initRuntime(int&, char**) { NI; }
bool runtimeInitialised() { return false; }
int registerResource(const ResourceDef&) { NI; }
int bindCallbacks(std::string_view, const Bindings&) { NI; }
std::vector<std::string> unboundCallbacks() { return {}; }
int processEvents() { NI; }
int waitEvents(double) { NI; }
int runUserInterface() { NI; }
void quitUserInterface(int) {}
int postDeferredCall(DeferredCallback, void*) { NI; }
double timer() { return 0; }
void delay(double) {}
void useVirtualClock(bool) {}
bool virtualClockOn() { return false; }
void advanceClock(double) {}
int loadPanel(int, std::string_view, int, const Bindings*) { NI; }
int displayPanel(int) { NI; }
int hidePanel(int) { NI; }
int discardPanel(int) { NI; }
bool panelExists(int) { return false; }
int installPopup(int) { NI; }
int removePopup(int) { NI; }
int removeAllPopups() { NI; }
int activePanel() { return 0; }
int setActivePanel(int) { NI; }
int setPanelCallbackData(int, void*) { NI; }
int getPanelCallbackData(int, void*&) { NI; }
int setPanelAttribute(int, int, int) { NI; }
int setPanelAttribute(int, int, std::string_view) { NI; }
int getPanelAttribute(int, int, int&) { NI; }
int getPanelAttribute(int, int, std::string&) { NI; }
int resetPanel(int) { NI; }
int newPanel(int, std::string_view, int, int, int, int, std::string_view) { NI; }
int setPanelCallback(int, PanelCallback) { NI; }
int makeTabPage(int, int, std::string_view, int, std::string_view, const Bindings*) { NI; }
int saveScreenshot(int, const std::string&) { NI; }
std::string screenshotDirectory() { return {}; }
void setScreenshotDirectory(const std::string&) {}
int setValue(int, int, int) { NI; }
int setValue(int, int, unsigned) { NI; }
int setValue(int, int, long) { NI; }
int setValue(int, int, unsigned long) { NI; }
int setValue(int, int, long long) { NI; }
int setValue(int, int, unsigned long long) { NI; }
int setValue(int, int, double) { NI; }
int setValue(int, int, std::string_view) { NI; }
int setValue(int, int, const char*) { NI; }
int getValue(int, int, int&) { NI; }
int getValue(int, int, unsigned&) { NI; }
int getValue(int, int, short&) { NI; }
int getValue(int, int, unsigned short&) { NI; }
int getValue(int, int, long&) { NI; }
int getValue(int, int, unsigned long&) { NI; }
int getValue(int, int, long long&) { NI; }
int getValue(int, int, unsigned long long&) { NI; }
int getValue(int, int, double&) { NI; }
int getValue(int, int, std::string&) { NI; }
int getDisplayText(int, int, std::string&) { NI; }
std::string formatNumber(double, ValueType, Format) { return {}; }
int setAttribute(int, int, int, int) { NI; }
int setAttribute(int, int, int, double) { NI; }
int setAttribute(int, int, int, std::string_view) { NI; }
int getAttribute(int, int, int, int&) { NI; }
int getAttribute(int, int, int, double&) { NI; }
int getAttribute(int, int, int, std::string&) { NI; }
int resetControl(int, int) { NI; }
int callCallback(int, int, int, int, int) { NI; }
int setControlCallback(int, int, ControlCallback) { NI; }
int activeControl(int, int&) { NI; }
int setActiveControl(int, int) { NI; }
int insertItem(int, int, int, std::string_view, double) { NI; }
int deleteItems(int, int, int, int) { NI; }
int clearItems(int, int) { NI; }
int itemCount(int, int, int&) { NI; }
int getIndex(int, int, int&) { NI; }
int setIndex(int, int, int) { NI; }
int itemLabel(int, int, int, std::string&) { NI; }
int itemValue(int, int, int, double&) { NI; }
int appendLine(int, int, std::string_view) { NI; }
int insertLine(int, int, int, std::string_view) { NI; }
int replaceLine(int, int, int, std::string_view) { NI; }
int deleteLines(int, int, int, int) { NI; }
int lineCount(int, int, int&) { NI; }
int lineText(int, int, int, std::string&) { NI; }
int clearTextBox(int, int) { NI; }
int selectText(int, int, int, int, int) { NI; }
int selectedText(int, int, std::string&) { NI; }
int setCell(int, int, int, int, std::string_view) { NI; }
int getCell(int, int, int, int, std::string&) { NI; }
int plotStripChart(int, int, const std::uint32_t*, int) { NI; }
int plotStripChart(int, int, const double*, int) { NI; }
int clearStripChart(int, int) { NI; }
int setTraceAttribute(int, int, int, int, int) { NI; }
int getTraceAttribute(int, int, int, int, int&) { NI; }
int tracePoints(int, int, int, std::vector<double>&) { NI; }
int newControl(int, ControlKind, std::string_view, int, int, int, int, std::string_view) { NI; }
int newScrollBar(int, int, int, int, int, int, int, int, ControlCallback, std::string_view) { NI; }
int discardControl(int, int) { NI; }
int loadMenuBar(int, std::string_view, int, const Bindings*) { NI; }
int getPanelMenuBar(int, int&) { NI; }
int discardMenuBar(int) { NI; }
int newMenuBar(int) { NI; }
int newMenu(int, std::string_view, std::string_view) { NI; }
int newMenuItem(int, int, std::string_view, MenuCallback, std::string_view) { NI; }
int newMenuSeparator(int, int) { NI; }
int setMenuItemAttribute(int, int, int, int) { NI; }
int getMenuItemAttribute(int, int, int, int&) { NI; }
int chooseMenuItem(int, int) { NI; }
int messagePopup(std::string_view, std::string_view) { NI; }
int fileSelectPopup(const FileSelectOptions&, std::string&) { NI; }
int startScript(std::string_view, std::string_view) { NI; }
int startScriptFile(const std::string&) { NI; }
int runScript(std::string_view, double, std::string_view) { NI; }
ScriptResult scriptResult() { return {}; }
void resetScript() {}
int executeScriptLine(std::string_view, std::string&) { NI; }
int registerScriptCommand(std::string_view, ScriptCommand, void*) { NI; }
std::vector<PopupRecord> messagePopupsSeen() { return {}; }
std::string fromCp1251(std::string_view s) { return std::string(s); }
std::string toCp1251(std::string_view s) { return std::string(s); }
}  // namespace tk

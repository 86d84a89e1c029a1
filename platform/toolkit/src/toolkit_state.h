// Internal state of the toolkit: the records behind panel, control and menu
// bar handles, and the process-wide tables. Only the toolkit's sources see
// this header (it holds Qt types).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <paneltk/paneltk.h>

#include "panel_window.h"

class QLabel;
class QMenuBar;
class QAction;
class QTabWidget;
class QMenu;

namespace tk::detail {

struct ControlRec {
    int id = 0;
    ControlDef def;  // the definition (defaults, items, format...)
    ControlCallback callback = nullptr;
    QPointer<QWidget> widget;    // the value widget (or the whole control)
    QPointer<QLabel> label;      // label above the value widget, if any
    double number = 0;           // value of numerics, switches, LEDs
    std::vector<ItemDef> items;  // rings and list boxes
    bool dimmed = false;
    bool visible = true;
    int mode = MODE_INPUT;
    int textColor = 0x000000;
    int textBgColor = 0xFFFFFF;
    int emphasis = 0;
    int pageHandle = 0;                            // tab control: its page panel
    std::map<int, int> platformAttrs;              // stored platform attribute codes
    std::map<int, std::map<int, int>> traceAttrs;  // trace -> platform attribute -> value
};

struct MenuItemRec {
    int id = 0;
    int menu = 0;
    std::string constant;
    std::string label;
    bool separator = false;
    MenuCallback callback = nullptr;
    bool dimmed = false;
    QPointer<QAction> action;
    std::map<int, int> platformAttrs;
};

struct MenuBarRec {
    int handle = 0;
    int panel = 0;
    std::string constant;
    QPointer<QMenuBar> bar;
    std::map<int, QMenu*> menus;  // menu id -> menu
    std::map<int, std::string> menuConstants;
    std::map<int, MenuItemRec> items;  // item id -> item
    int nextId = 2;
};

struct PanelRec {
    int handle = 0;
    int parent = 0;
    int panelId = 0;  // id in the resource (0: built in code)
    std::string resource;
    std::string constant;
    QPointer<PanelWindow> window;
    bool isPage = false;  // a tab page inside another panel
    int closeControl = 0;
    PanelCallback callback = nullptr;
    void* callbackData = nullptr;
    std::map<int, ControlRec> controls;
    std::vector<int> order;     // control ids in panel order
    std::vector<int> children;  // owned panels (pages, child windows)
    int menuBar = 0;
    bool visible = false;
    bool popup = false;
    int backColor = 0xE0E0E0;
    int activeControl = 0;      // the control given the focus last
    bool awaitingDraw = false;  // shown, and not yet drawn by the window system
    bool centreTop = false;     // built to be centred on its screen when first shown
    bool centreLeft = false;
    long long loadSerial = 0;
    long long displaySerial = 0;  // when it was last displayed (0: never)
    int screenshotCount = 0;
    std::map<int, int> platformAttrs;
};

struct State {
    std::map<std::string, ResourceDef> resources;
    std::map<std::string, std::map<std::string, Callback>> bindings;
    std::vector<std::string> unbound;
    std::map<int, std::unique_ptr<PanelRec>> panels;
    std::map<int, std::unique_ptr<MenuBarRec>> menuBars;
    std::vector<int> popups;  // installed pop-ups, oldest first
    int nextPanel = 1;
    int nextMenuBar = 1;
    long long serial = 0;
    std::string screenshotDir;
    std::map<std::string, int> screenshotCounts;
    std::vector<QPointer<QWidget>> graveyard;
};

State& state();
bool onUiThread();
bool initialised();

PanelRec* findPanel(int handle);
ControlRec* findControl(int panel, int control);
// Looks up panel and control; returns 0 or ERR_PANEL / ERR_CONTROL.
int lookup(int panel, int control, PanelRec*& p, ControlRec*& c);

// Text helpers.
inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }
inline std::string us(const QString& s) { return s.toStdString(); }
QString mnemonicText(std::string_view label);    // "__Закрыть" -> "&Закрыть"
std::string plainLabel(std::string_view label);  // "__Закрыть" -> "Закрыть"
QString colorName(int rgb);

// A control record from its definition (type, mode, flags, items).
ControlRec makeControlRec(const ControlDef& def);
// Builds the widgets of a control inside a panel's content area.
void createControlWidget(PanelRec& panel, ControlRec& control, QWidget* content);
// Places a control (its position hint, or the next free place of the flow).
void placeControl(PanelRec& panel, ControlRec& control, QPoint& cursor, int& rowHeight, QSize size);
// Fills a ring's or list box's widget from the control's items.
void fillItemWidget(ControlRec& control);
// Callbacks currently running (windows are deleted only when none runs).
int& callbackDepth();
void buryWindow(QWidget* window);
void deleteBuried();
// Attributes that belong to one kind (text box lines, table rows, strip chart,
// scroll bar range). Returns ERR_ATTRIBUTE when the attribute is not one of them.
int kindAttribute(PanelRec& panel, ControlRec& control, int attribute, bool set, int& value);
// Moves a control's label with it.
void placeLabel(ControlRec& control);
// The operator's way to a control (operator_gate.cpp): the gate set on its
// widgets once they exist, the control's mode applied to them, and whether
// what the operator did may change it and raise its callback.
void guardOperatorInput(int panel, ControlRec& control);
void applyOperatorMode(ControlRec& control);
bool operatorMayChange(int panel, int control);
// Shows the control's state (value, colours, dimmed, visible) in its widgets.
void refreshControl(PanelRec& panel, ControlRec& control);
void resetControlState(PanelRec& panel, ControlRec& control);
// Runs a control's callback with the panel's callback data (0 if none).
int fireControl(int panel, int control, int event, int data1 = 0, int data2 = 0);
int firePanel(int panel, int event, int data1 = 0, int data2 = 0);
// Close box pressed (from the window or a script).
void closeBoxPressed(int panel);

// While pending changes are drawn (tk::drawPendingChanges) no callback runs:
// what would raise one is kept and delivered, in order, at the next event
// processing.
bool callbacksHeld();
void holdCallback(std::function<void()> call);
void deliverHeldCallbacks();

// Binding lookup: explicit table first, then the resource's registered ones.
const Callback* findBinding(const std::string& resource, const Bindings* bindings, const std::string& name);
void noteUnbound(const std::string& resource, const std::string& name);

// Reachability for scripts: the operator could use this control / panel now.
bool panelShown(const PanelRec& panel);
int topPopup();

// Shows a window's empty title as empty where the window system would put
// the program's name there instead (window_title.cpp). Called once the
// window is shown, and again whenever its title is set.
void showExactTitle(QWidget* window);

// Screenshots.
void scheduleScreenshot(int panel);
int grabPanel(PanelRec& panel, const QString& path);
// Puts the lines that wait in the panel's text boxes into their documents,
// so that what is drawn next shows them.
void takePendingLines(PanelRec& panel);

// Number parsing for typed input (hex/binary formats accepted).
bool parseNumber(std::string_view text, Format format, double& value);
double clampToType(double value, ValueType type, const ControlDef& def);

// Script hooks called from event processing and from the standard pop-ups.
void scriptStep();

}  // namespace tk::detail

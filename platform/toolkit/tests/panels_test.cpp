// Panels: loading, independence, callback data, close box, resizing, tab
// pages, menu bars, panels built in code, deferred calls and the timer.
#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <thread>

#include "toolkit_fixture.h"

using namespace tk;

namespace {
// The top-level window of a displayed panel, found by its (unique) title.
QWidget* windowTitled(const char* title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QString::fromUtf8(title)) return w;
    return nullptr;
}
}  // namespace

using PanelsTest = ToolkitTest;

TEST_F(PanelsTest, TwoLoadsOfOnePanelAreIndependent) {
    int a = load(SAMPLE), b = load(SAMPLE);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(setValue(a, SAMPLE_CHAN, 7), OK);
    EXPECT_EQ(setAttribute(a, SAMPLE_START, ATTR_DIMMED, 1), OK);
    int v = 0;
    EXPECT_EQ(getValue(b, SAMPLE_CHAN, v), OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(getAttribute(b, SAMPLE_START, ATTR_DIMMED, v), OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(discardPanel(a), OK);
    EXPECT_FALSE(panelExists(a));
    EXPECT_EQ(setValue(a, SAMPLE_CHAN, 1), ERR_PANEL);
    EXPECT_EQ(getValue(b, SAMPLE_CHAN, v), OK);
    loaded.erase(loaded.begin());
}

TEST_F(PanelsTest, CallbacksReceiveThePanelsCallbackData) {
    int a = load(SAMPLE), b = load(SAMPLE);
    int dataA = 1, dataB = 2;
    setPanelCallbackData(a, &dataA);
    setPanelCallbackData(b, &dataB);
    EXPECT_EQ(callCallback(b, SAMPLE_START), 0);
    EXPECT_EQ(callCallback(a, SAMPLE_START), 0);
    auto c = callsOf(SAMPLE_START);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].panel, b);
    EXPECT_EQ(c[0].data, &dataB);
    EXPECT_EQ(c[1].data, &dataA);
    // A control without a callback does nothing.
    EXPECT_EQ(callCallback(a, SAMPLE_CHAN), 0);
    EXPECT_EQ(callCallback(a, 999), ERR_CONTROL);
}

namespace {
int discardOwnPanel(int panel, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) discardPanel(panel);
    return 0;
}
}  // namespace

TEST_F(PanelsTest, ACallbackMayDiscardItsOwnPanel) {
    Bindings b{{"yes", discardOwnPanel}};
    int p = loadPanel(0, "sample.uir", ASK, &b);
    ASSERT_GT(p, 0);
    displayPanel(p);
    processEvents();
    QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == "ASK" && t->isVisible()) w = t;
    ASSERT_NE(w, nullptr);
    QPointer<QWidget> alive(w);
    // Pressed by the operator: the button's own signal is still running.
    QMetaObject::invokeMethod(w->findChild<QWidget*>("ASK_YES"), "click");
    EXPECT_FALSE(panelExists(p));
    processEvents();
    EXPECT_TRUE(alive.isNull());  // deleted once the callback has returned
}

TEST_F(PanelsTest, CallbacksMissingFromTheBindingsAreListed) {
    Bindings partial{{"startP", record}};
    int p = loadPanel(0, "sample.uir", ASK, &partial);
    ASSERT_GT(p, 0);
    loaded.push_back(p);
    auto unbound = unboundCallbacks();
    EXPECT_NE(std::find(unbound.begin(), unbound.end(), "sample.uir:yes"), unbound.end());
    // Bindings registered for the resource fill the gaps.
    EXPECT_EQ(bindCallbacks("sample.uir", {{"yes", record}}), OK);
    int q = loadPanel(0, "sample.uir", ASK, &partial);
    loaded.push_back(q);
    callCallback(q, ASK_YES);
    EXPECT_EQ(callsOf(ASK_YES).size(), 1u);
}

TEST_F(PanelsTest, CloseBoxRunsTheCloseControlsCallback) {
    int p = load(SAMPLE);
    setPanelAttribute(p, ATTR_TITLE, "закрытие окна");
    displayPanel(p);
    processEvents();
    QWidget* w = windowTitled("закрытие окна");
    ASSERT_NE(w, nullptr);
    w->close();
    ASSERT_EQ(callsOf(SAMPLE_EXIT).size(), 1u);
    EXPECT_EQ(callsOf(SAMPLE_EXIT)[0].panel, p);
    ASSERT_EQ(panelCalls.size(), 1u);
    EXPECT_EQ(panelCalls[0].event, EVENT_CLOSE);
    EXPECT_TRUE(w->isVisible());  // the callback decides what happens
}

TEST_F(PanelsTest, CloseBoxWithoutCloseControlDoesNothing) {
    int p = load(PAGE);
    setPanelAttribute(p, ATTR_TITLE, "без закрытия");
    displayPanel(p);
    QWidget* w = windowTitled("без закрытия");
    ASSERT_NE(w, nullptr);
    w->close();
    processEvents();
    EXPECT_TRUE(w->isVisible());
    for (const auto& c : calls) EXPECT_NE(c.event, EVENT_COMMIT);
}

TEST_F(PanelsTest, ResizingTheWindowSendsPanelSize) {
    int p = load(SAMPLE);
    setPanelAttribute(p, ATTR_TITLE, "размер");
    displayPanel(p);
    processEvents();
    panelCalls.clear();
    QWidget* w = windowTitled("размер");
    ASSERT_NE(w, nullptr);
    w->resize(w->width() + 40, w->height() + 30);
    processEvents();
    ASSERT_FALSE(panelCalls.empty());
    EXPECT_EQ(panelCalls.back().event, EVENT_PANEL_SIZE);
    int width = 0;
    EXPECT_EQ(getPanelAttribute(p, ATTR_WIDTH, width), OK);
    EXPECT_EQ(width, w->width());
    // The program's own size changes send nothing.
    panelCalls.clear();
    EXPECT_EQ(setPanelAttribute(p, ATTR_HEIGHT, 300), OK);
    EXPECT_TRUE(panelCalls.empty());
}

TEST_F(PanelsTest, TabPageReplacesTheCanvas) {
    int p = load(SAMPLE);
    int page = makeTabPage(p, SAMPLE_CANVAS, "sample.uir", PAGE, {}, &bindings);
    ASSERT_GT(page, 0);
    int kind = 0;
    EXPECT_EQ(getAttribute(p, SAMPLE_CANVAS, ATTR_CONTROL_KIND, kind), OK);
    EXPECT_EQ(kind, int(ControlKind::TabControl));
    EXPECT_EQ(callCallback(page, PAGE_GO), 0);
    EXPECT_EQ(callsOf(PAGE_GO).size(), 1u);
    EXPECT_EQ(makeTabPage(p, SAMPLE_CANVAS, "sample.uir", PAGE), ERR_KIND);  // no canvas any more
    EXPECT_EQ(makeTabPage(p, SAMPLE_START, "sample.uir", PAGE), ERR_KIND);
    EXPECT_EQ(discardPanel(p), OK);
    loaded.clear();
    EXPECT_FALSE(panelExists(page));
}

TEST_F(PanelsTest, MenuBarComesWithItsPanel) {
    int p = load(SAMPLE);
    int data = 5;
    setPanelCallbackData(p, &data);
    int bar = 0;
    ASSERT_EQ(getPanelMenuBar(p, bar), OK);
    ASSERT_GT(bar, 0);
    EXPECT_EQ(chooseMenuItem(bar, MENU_FILE_EXIT), OK);
    ASSERT_EQ(menuCalls.size(), 1u);
    EXPECT_EQ(menuCalls[0].control, MENU_FILE_EXIT);
    EXPECT_EQ(menuCalls[0].panel, p);
    EXPECT_EQ(menuCalls[0].data, &data);
    EXPECT_EQ(setMenuItemAttribute(bar, MENU_FILE_EXIT, ATTR_DIMMED, 1), OK);
    EXPECT_EQ(chooseMenuItem(bar, MENU_FILE_EXIT), OK);
    EXPECT_EQ(menuCalls.size(), 1u);  // dimmed: nothing happens
    EXPECT_EQ(chooseMenuItem(bar, 99), ERR_MENU);
    EXPECT_EQ(chooseMenuItem(bar + 100, MENU_FILE_EXIT), ERR_MENU);
}

TEST_F(PanelsTest, PanelBuiltInCode) {
    int si = newPanel(0, "Выбор инструмента", 0, 0, 335, 517, "SI");
    ASSERT_GT(si, 0);
    loaded.push_back(si);
    int list = newControl(si, ControlKind::ListBox, "", 5, 5, 323, 385, "LIST");
    int ok = newControl(si, ControlKind::CommandButton, "Выбрать", 20, 400, 25, 103, "OK");
    ASSERT_GT(list, 0);
    ASSERT_GT(ok, list);
    EXPECT_EQ(setControlCallback(si, ok, record), OK);
    EXPECT_EQ(insertItem(si, list, -1, "Kubolt, USB (№:123)", 3), OK);
    EXPECT_EQ(insertItem(si, list, -1, "Н.М.  Л.А.крейта:0x0A, слот:2  (VXI0::2::INSTR)", 7), OK);
    EXPECT_EQ(setIndex(si, list, 1), OK);
    int v = 0;
    EXPECT_EQ(getValue(si, list, v), OK);
    EXPECT_EQ(v, 7);
    int top = 0;
    EXPECT_EQ(getAttribute(si, ok, ATTR_TOP, top), OK);
    EXPECT_EQ(top, 20);
    EXPECT_EQ(callCallback(si, ok), 0);
    EXPECT_EQ(callsOf(ok).size(), 1u);
    int sb = newScrollBar(si, 5, 395, 200, 10, 1, 5000, 1, record, "SCROLL");
    ASSERT_GT(sb, 0);
    EXPECT_EQ(setValue(si, sb, 2500), OK);
    EXPECT_EQ(getValue(si, sb, v), OK);
    EXPECT_EQ(v, 2500);
    EXPECT_TRUE(callsOf(sb).empty());  // the program's own change raises no event
    EXPECT_EQ(setAttribute(si, sb, ATTR_MAX_VALUE, 100), OK);
    EXPECT_EQ(getValue(si, sb, v), OK);
    EXPECT_EQ(v, 100);
    EXPECT_EQ(discardControl(si, sb), OK);
    EXPECT_EQ(getValue(si, sb, v), ERR_CONTROL);
}

TEST_F(PanelsTest, PopupsAndActivePanel) {
    int p = load(SAMPLE), ask = load(ASK);
    displayPanel(p);
    EXPECT_EQ(activePanel(), p);
    EXPECT_EQ(installPopup(ask), OK);
    EXPECT_EQ(activePanel(), ask);
    int v = 0;
    EXPECT_EQ(getPanelAttribute(ask, ATTR_POPUP, v), OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(removePopup(0), OK);
    EXPECT_EQ(getPanelAttribute(ask, ATTR_VISIBLE, v), OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(activePanel(), p);
    EXPECT_EQ(hidePanel(p), OK);
    EXPECT_EQ(activePanel(), 0);
}

TEST_F(PanelsTest, DeferredCallsFromAnotherThreadRunOnTheUiThread) {
    static std::atomic<int> ran{0};
    static std::atomic<bool> offThread{false};
    static std::thread::id ui;
    ran = 0;
    offThread = false;
    ui = std::this_thread::get_id();
    auto fn = [](void* data) {
        if (std::this_thread::get_id() != ui) offThread = true;
        ran += *static_cast<int*>(data);
    };
    static int one = 1;
    std::thread t([&] {
        for (int i = 0; i < 100; ++i) postDeferredCall(fn, &one);
    });
    t.join();
    EXPECT_EQ(ran, 0);  // nothing runs until events are processed
    for (int i = 0; i < 100 && ran < 100; ++i) waitEvents(0.01);
    EXPECT_EQ(ran, 100);
    EXPECT_FALSE(offThread);
    EXPECT_EQ(postDeferredCall(nullptr, nullptr), ERR_ARGUMENT);
}

TEST_F(PanelsTest, WaitReturnsWhenADeferredCallArrives) {
    static std::atomic<bool> done{false};
    done = false;
    std::thread t([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        postDeferredCall([](void*) { done = true; }, nullptr);
    });
    auto start = std::chrono::steady_clock::now();
    while (!done) waitEvents(5.0);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.join();
    EXPECT_LT(waited, 2.5);  // woken by the call, not by the 5 s limit
}

TEST_F(PanelsTest, VirtualClockMovesOnlyWhenTold) {
    useVirtualClock(true);
    double t0 = timer();
    delay(100.0);  // no real sleep
    EXPECT_DOUBLE_EQ(timer() - t0, 100.0);
    advanceClock(0.25);
    EXPECT_DOUBLE_EQ(timer() - t0, 100.25);
    useVirtualClock(false);
    EXPECT_GE(timer(), t0 + 100.25);  // real time goes on from the virtual value
}

TEST(RuntimeThreads, UiCallsFromAnotherThreadAreRefused) {
    int r = 0;
    std::thread t([&] { r = setValue(1, 2, 3); });
    t.join();
    EXPECT_EQ(r, ERR_THREAD);
}

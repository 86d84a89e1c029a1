// The plug-in as a host sees it: loaded by path, two instances open at once
// (one in demo mode, one on a carrier of the default bench), their panels
// independent, one hidden and shown again, both closed, nothing left behind.
//
// sorvi_display runs the instance's loop until the instance ends, so the
// steps inside the loops are deferred calls: the first runs inside the demo
// instance's loop and opens the bench instance, whose display nests a second
// loop; the second runs there, checks both, and closes both.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <paneltk/paneltk.h>

#include "plugin_loader.h"
#include "plugin_skip.h"
#include "tarvo_32.h"

namespace host {
namespace {

// The plug-in's main panel: constant "MP".
struct MainPanel {
    int handle = 0;
    std::string title;
    int left = 0;
    int top = 0;
    int visible = 0;
};

// Handles are positive and never reused; every panel loaded by this test
// process lies below this bound.
constexpr int kHandleSearchLimit = 5000;

std::vector<MainPanel> mainPanels() {
    std::vector<MainPanel> found;
    for (int handle = 1; handle < kHandleSearchLimit; ++handle) {
        if (!tk::panelExists(handle)) continue;
        std::string constant;
        if (tk::getPanelAttribute(handle, tk::ATTR_CONSTANT_NAME, constant) != tk::OK || constant != "MP") continue;
        MainPanel panel;
        panel.handle = handle;
        tk::getPanelAttribute(handle, tk::ATTR_TITLE, panel.title);
        tk::getPanelAttribute(handle, tk::ATTR_LEFT, panel.left);
        tk::getPanelAttribute(handle, tk::ATTR_TOP, panel.top);
        tk::getPanelAttribute(handle, tk::ATTR_VISIBLE, panel.visible);
        found.push_back(panel);
    }
    return found;
}

const MainPanel* withTitle(const std::vector<MainPanel>& panels, const std::string& title) {
    for (const MainPanel& panel : panels)
        if (panel.title == title) return &panel;
    return nullptr;
}

int visible(int panel) {
    int value = 0;
    tk::getPanelAttribute(panel, tk::ATTR_VISIBLE, value);
    return value;
}

struct Scenario {
    SorviPlugin* plugin = nullptr;
    int home = 0;
    ViSession carrier = 0;
    sorvi_handle demo = 0;
    sorvi_handle bench = 0;
    ViInt32 benchInit = -99;
    ViInt32 benchDisplay = -99;
    bool reachedInnerLoop = false;
    std::vector<int> panelsSeen;
};

constexpr const char* kDemoTitle = "СОРВИ крейт 10, слот 11, М-Модуль 2";
constexpr const char* kBenchTitle = "СОРВИ крейт 0, слот 3, М-Модуль 3";

void checkBothInstances(Scenario& s) {
    const std::vector<MainPanel> panels = mainPanels();
    ASSERT_EQ(panels.size(), 2u);
    const MainPanel* demo = withTitle(panels, kDemoTitle);
    const MainPanel* bench = withTitle(panels, kBenchTitle);
    ASSERT_NE(demo, nullptr) << panels[0].title << " / " << panels[1].title;
    ASSERT_NE(bench, nullptr) << panels[0].title << " / " << panels[1].title;
    EXPECT_NE(demo->handle, bench->handle);
    EXPECT_TRUE(demo->visible && bench->visible);
    // Positions 2 and 3: each main panel is moved by (position mod 10) x 20 px.
    EXPECT_EQ(bench->left - demo->left, 20);
    EXPECT_EQ(bench->top - demo->top, 20);
    for (const MainPanel& panel : panels) s.panelsSeen.push_back(panel.handle);

    // Hiding the bench instance leaves the demo instance as it was and
    // brings back the host's panel.
    tk::hidePanel(s.home);
    EXPECT_EQ(s.plugin->hide(s.bench), 0);
    EXPECT_EQ(visible(bench->handle), 0);
    EXPECT_EQ(visible(demo->handle), 1);
    EXPECT_EQ(visible(s.home), 1);
    EXPECT_EQ(tk::panelExists(bench->handle), true);

    // Shown again from inside its loop: the same panels, not reloaded.
    EXPECT_EQ(s.plugin->display(s.bench), 0);
    EXPECT_EQ(visible(bench->handle), 1);
    EXPECT_EQ(mainPanels().size(), 2u);
}

void insideBenchLoop(void* data) {
    auto& s = *static_cast<Scenario*>(data);
    s.reachedInnerLoop = true;
    checkBothInstances(s);
    // Closed whatever the checks found, so that both loops end.
    sorvi_handle bench_copy = s.bench;
    sorvi_handle demo_copy = s.demo;
    EXPECT_EQ(s.plugin->close(&bench_copy), 0);
    EXPECT_EQ(s.plugin->close(&demo_copy), 0);
}

void insideDemoLoop(void* data) {
    auto& s = *static_cast<Scenario*>(data);
    s.bench = s.home;
    s.benchInit = s.plugin->init(s.carrier, 3, VI_TRUE, VI_TRUE, &s.bench);
    if (s.benchInit != 0 || s.bench == 0) {
        sorvi_handle demo = s.demo;
        s.plugin->close(&demo);
        return;
    }
    tk::postDeferredCall(insideBenchLoop, data);
    s.benchDisplay = s.plugin->display(s.bench);
}

class PluginInstances : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PLUGIN();
        ASSERT_TRUE(plugin_.load(HOST_TEST_PLUGIN)) << plugin_.error();
        home_ = tk::newPanel(0, "Хост", 10, 10, 100, 200, "HOSTTEST");
        ASSERT_GT(home_, 0);
        tk::displayPanel(home_);
    }
    void TearDown() override {
        if (home_ > 0) tk::discardPanel(home_);
        plugin_.unload();
    }

    SorviPlugin plugin_;
    int home_ = 0;
};

TEST_F(PluginInstances, DemoAndBenchInstancesAreIndependentAndEndCleanly) {
    char resource[] = "VXI0::24::INSTR";
    Scenario s;
    s.plugin = &plugin_;
    s.home = home_;
    ASSERT_GE(tarvo_init(resource, VI_TRUE, VI_TRUE, &s.carrier), VI_SUCCESS);

    s.demo = home_;
    ASSERT_EQ(plugin_.init(0, 2, VI_TRUE, VI_TRUE, &s.demo), 0);
    ASSERT_NE(s.demo, 0);
    ASSERT_NE(s.demo, home_) << "sorvi_init must hand back the new instance, not the host panel";

    tk::postDeferredCall(insideDemoLoop, &s);
    EXPECT_EQ(plugin_.display(s.demo), 0);

    EXPECT_EQ(s.benchInit, 0);
    EXPECT_EQ(s.benchDisplay, 0);
    EXPECT_TRUE(s.reachedInnerLoop);
    // Both instances are gone with all their panels; the host panel is shown.
    for (int panel : s.panelsSeen) EXPECT_FALSE(tk::panelExists(panel)) << "panel " << panel << " left loaded";
    EXPECT_TRUE(mainPanels().empty());
    EXPECT_EQ(visible(home_), 1);
    EXPECT_EQ(tarvo_close(s.carrier), VI_SUCCESS);
}

TEST_F(PluginInstances, RefusesBadHandlesWithoutCrashing) {
    EXPECT_EQ(plugin_.display(0), -1);
    EXPECT_EQ(plugin_.hide(0), -1);
    sorvi_handle none = 0;
    EXPECT_EQ(plugin_.close(&none), -1);
}

}  // namespace
}  // namespace host

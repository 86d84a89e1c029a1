// The host with the real plug-in: panels opened from inside other panels'
// loops, one panel per position number, and exit with panels still open.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <memory>

#include <paneltk/paneltk.h>

#include "carrier_discovery.h"
#include "host_panel.h"
#include "host_uir.h"
#include "plugin_loader.h"
#include "plugin_skip.h"

namespace host {
namespace {

struct Steps {
    HostPanel* host = nullptr;
    std::vector<std::string> statuses;
    std::size_t openInsideDemo = 0;
    std::size_t openInsideBench = 0;
};

std::string statusOf(const HostPanel& host) {
    std::string text;
    tk::getValue(host.panel(), HOST_STATUS, text);
    return text;
}

// Runs inside the loop of the bench panel at position 3, itself inside the
// demo panel's loop: both are open; exit ends them, innermost first.
void insideBenchPanel(void* data) {
    auto& s = *static_cast<Steps*>(data);
    s.openInsideBench = s.host->openInstances().size();
    s.host->requestExit();
}

// Runs inside the demo panel's loop (position 1).
void insideDemoPanel(void* data) {
    auto& s = *static_cast<Steps*>(data);
    s.openInsideDemo = s.host->openInstances().size();
    // Position 1 again in demo mode: the open panel is shown, no second one.
    s.host->openDemo(1);
    s.statuses.push_back(statusOf(*s.host));
    // Position 1 of a carrier: the plug-in holds one instance per position.
    s.host->chooseCarrier(0);
    s.host->openPosition(1);
    s.statuses.push_back(statusOf(*s.host));
    // Position 3 of that carrier opens beside it; its loop nests here.
    tk::postDeferredCall(insideBenchPanel, data);
    s.host->openPosition(3);
    s.statuses.push_back(statusOf(*s.host));
}

TEST(HostWithPlugin, NestedPanelsOnePerPositionAndExitEndsThemAll) {
    SKIP_WITHOUT_PLUGIN();
    SorviPlugin plugin;
    ASSERT_TRUE(plugin.load(HOST_TEST_PLUGIN)) << plugin.error();
    {
        HostPanel host(plugin);
        ASSERT_GT(host.create(), 0);
        discovery::DiscoveryResult found = discovery::discoverCarriers();
        host.setCarriers(found.carriers, found.status);

        Steps s;
        s.host = &host;
        tk::postDeferredCall(insideDemoPanel, &s);
        host.openDemo(1);

        EXPECT_EQ(s.openInsideDemo, 1u);
        ASSERT_EQ(s.statuses.size(), 3u);
        EXPECT_EQ(s.statuses[0], "Панель мезонина 1 уже открыта");
        EXPECT_EQ(s.statuses[1], "Позиция 1 уже открыта в демо-режиме");
        EXPECT_EQ(s.statuses[2], "Панель мезонина 3 закрыта");
        EXPECT_EQ(s.openInsideBench, 2u);
        EXPECT_TRUE(host.openInstances().empty());
        EXPECT_TRUE(host.exitRequested());
        // Once exit is asked for, nothing new opens.
        host.openDemo(2);
        EXPECT_TRUE(host.openInstances().empty());
        EXPECT_EQ(host.shutdown(), VI_SUCCESS);
    }
    plugin.unload();
}

// A panel whose first display fails is still the plug-in's open instance
// (its module session, on a carrier): the host closes it, and a second try
// opens afresh.
TEST(HostWithPlugin, AnInstanceWhosePanelsFailIsClosed) {
    SorviPlugin plugin;
    ASSERT_TRUE(plugin.load(HOST_TEST_REFUSING_PLUGIN)) << plugin.error();
    void* library = dlopen(HOST_TEST_REFUSING_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const auto openCount = reinterpret_cast<int (*)()>(dlsym(library, "refusing_plugin_open_count"));
    ASSERT_NE(openCount, nullptr);
    {
        HostPanel host(plugin);
        ASSERT_GT(host.create(), 0);
        host.openDemo(2);
        EXPECT_EQ(statusOf(host), "Панель мезонина 2 не показана: 0xFFFFFFFF");
        EXPECT_EQ(openCount(), 0);
        EXPECT_TRUE(host.openInstances().empty());
        host.openDemo(2);
        EXPECT_EQ(openCount(), 0);
        EXPECT_EQ(host.shutdown(), VI_SUCCESS);
    }
    dlclose(library);
    plugin.unload();
}

}  // namespace
}  // namespace host

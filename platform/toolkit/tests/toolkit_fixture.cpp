#include "toolkit_fixture.h"

std::vector<CallRecord> ToolkitTest::calls;
std::vector<CallRecord> ToolkitTest::panelCalls;
std::vector<CallRecord> ToolkitTest::menuCalls;

void ToolkitTest::SetUp() {
    tk::registerResource(sampleResource());
    calls.clear();
    panelCalls.clear();
    menuCalls.clear();
    tk::resetScript();
    bindings = {{"startP", record},       {"stopP", record},        {"exitP", record},     {"changeMode", record},
                {"changePeriod", record}, {"relay", record},        {"setName", record},   {"findAnother", record},
                {"chTest", record},       {"cellEdited", record},   {"go", record},        {"yes", record},
                {"no", record},           {"panelCB", recordPanel}, {"about", recordMenu}, {"pexit", recordMenu}};
}

void ToolkitTest::TearDown() {
    tk::removeAllPopups();
    for (int p : loaded) tk::discardPanel(p);
    tk::processEvents();
    tk::useVirtualClock(false);
    tk::resetScript();
}

int ToolkitTest::load(int panelId) {
    int h = tk::loadPanel(0, "sample.uir", panelId, &bindings);
    if (h > 0) loaded.push_back(h);
    return h;
}

int ToolkitTest::record(int panel, int control, int event, void* data, int d1, int d2) {
    calls.push_back({panel, control, event, data, d1, d2});
    return 0;
}

int ToolkitTest::recordPanel(int panel, int event, void* data, int d1, int d2) {
    panelCalls.push_back({panel, 0, event, data, d1, d2});
    return 0;
}

void ToolkitTest::recordMenu(int bar, int item, void* data, int panel) {
    menuCalls.push_back({panel, item, bar, data, 0, 0});
}

std::vector<CallRecord> ToolkitTest::callsOf(int control, int event) const {
    std::vector<CallRecord> out;
    for (const auto& c : calls)
        if (c.control == control && c.event == event) out.push_back(c);
    return out;
}

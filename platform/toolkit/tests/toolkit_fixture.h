// Common set-up of the toolkit tests: the sample resource, callbacks that
// record what they were called with, and clean-up of panels and scripts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <paneltk/paneltk.h>

#include "sample_resource.h"

struct CallRecord {
    int panel, control, event;
    void* data;
    int data1, data2;
};

class ToolkitTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a panel of the sample resource with the recording bindings; the
    // panel is discarded after the test.
    int load(int panelId);
    // Records calls; returns 0.
    static int record(int panel, int control, int event, void* data, int d1, int d2);
    static int recordPanel(int panel, int event, void* data, int d1, int d2);
    static void recordMenu(int bar, int item, void* data, int panel);
    // Events of one control (commit only by default).
    std::vector<CallRecord> callsOf(int control, int event = tk::EVENT_COMMIT) const;

    static std::vector<CallRecord> calls;
    static std::vector<CallRecord> panelCalls;
    static std::vector<CallRecord> menuCalls;
    std::vector<int> loaded;
    tk::Bindings bindings;
};

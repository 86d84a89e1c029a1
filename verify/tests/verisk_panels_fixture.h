// Tests that call into the program's panels in this process: the run-time
// and the panels are loaded once for every such test of the process.
#pragma once

#include <gtest/gtest.h>

#include <paneltk/paneltk.h>

#include <string>

#include "chklog.h"
#include "t_sorvi.h"
#include "verisk_uir.h"

// What protocol window `window` shows: its number of lines, and one line.
inline int windowLineCount(int window) {
    int lines = 0;
    tk::lineCount(protocolPanel(window), CHLP_LOG, lines);
    return lines;
}

inline std::string windowLine(int window, int line) {
    std::string text;
    tk::lineText(protocolPanel(window), CHLP_LOG, line, text);
    return text;
}

class VeriskPanels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool loaded = false;
        if (loaded) return;
        static int argc = 1;
        static char name[] = "verisk_tests";
        static char* argv[] = {name, nullptr};
        ASSERT_GE(tk::initRuntime(argc, argv), 0);
        ASSERT_EQ(loadVeriskPanels(), 0);
        tk::displayPanel(hMP);
        tk::useVirtualClock(true);
        loaded = true;
    }
    void SetUp() override {
        if (hMP <= 0) GTEST_SKIP() << "panels did not load";
    }
};

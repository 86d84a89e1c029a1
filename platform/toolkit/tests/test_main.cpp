// Test main: runs every toolkit test off screen, with one application for the
// whole run, as a program would have.
#include <gtest/gtest.h>

#include <cstdlib>

#include <paneltk/paneltk.h>

int main(int argc, char** argv) {
    // gtest_discover_tests runs this binary without the test environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("SORVI_SCRIPT");
    unsetenv("SORVI_SCREENSHOTS");
    testing::InitGoogleTest(&argc, argv);
    if (tk::initRuntime(argc, argv) != tk::OK) return 2;
    return RUN_ALL_TESTS();
}

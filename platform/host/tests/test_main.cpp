// Host tests run headless: the toolkit is started once, off screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include <paneltk/paneltk.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The tests use the built-in default bench and find the plug-in by the
    // path they are given, whatever the calling shell has set.
    unsetenv("SORVI_BENCH");
    unsetenv("SORVI_PLUGIN");
    unsetenv("SORVI_SCRIPT");
    unsetenv("SORVI_SCREENSHOTS");
    ::testing::InitGoogleTest(&argc, argv);
    if (tk::initRuntime(argc, argv) < 0) {
        std::fprintf(stderr, "host_tests: the panel toolkit could not be started\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}

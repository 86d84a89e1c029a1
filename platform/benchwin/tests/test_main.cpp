// Test entry: the window runs off screen unless a platform was chosen.
#include <gtest/gtest.h>
#include <paneltk/paneltk.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    char name[] = "benchwin_tests";
    char* args[] = {name, nullptr};
    int count = 1;
    if (tk::initRuntime(count, args) < 0) return 1;
    return RUN_ALL_TESTS();
}

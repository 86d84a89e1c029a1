// Test entry: headless Qt unless a platform was chosen, one panel toolkit
// run-time for every test.
#include <gtest/gtest.h>
#include <paneltk/paneltk.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    if (tk::initRuntime(argc, argv) != tk::OK) return 1;
    return RUN_ALL_TESTS();
}

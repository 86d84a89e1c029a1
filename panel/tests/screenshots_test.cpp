// The nine panels can be pictured headless (the documentation's pictures
// are made the same way by sorvi_screenshots).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "panel_screenshots.h"

TEST(PanelScreenshots, AllNinePanelsArePictured) {
    const auto dir = std::filesystem::temp_directory_path() / "sorvi_panel_shots";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto files = savePanelScreenshots(dir.string());
    ASSERT_EQ(files.size(), 9u);
    for (const char* panel : {"ABOUT", "EP", "EXIT_POPUP", "MP", "PP", "RP", "SP", "ST", "TP"}) {
        std::ifstream in(dir / (std::string("sorvi_") + panel + ".png"), std::ios::binary);
        char signature[8] = {};
        in.read(signature, 8);
        EXPECT_TRUE(in && std::string(signature + 1, 3) == "PNG") << panel;
    }
    std::filesystem::remove_all(dir);
}

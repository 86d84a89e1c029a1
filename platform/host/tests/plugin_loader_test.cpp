// The loader on its own: by path, the four exports, clear refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "plugin_loader.h"

namespace host {
namespace {

TEST(PluginLoader, RefusesAMissingFileAndNamesIt) {
    SorviPlugin plugin;
    EXPECT_FALSE(plugin.load("/nonexistent/dir/sorvi.so"));
    EXPECT_FALSE(plugin.loaded());
    EXPECT_NE(plugin.error().find("/nonexistent/dir/sorvi.so"), std::string::npos) << plugin.error();
    EXPECT_EQ(plugin.init, nullptr);
    EXPECT_FALSE(plugin.load(""));
    EXPECT_FALSE(plugin.error().empty());
}

TEST(PluginLoader, RefusesAFileThatIsNotALibrary) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "host_test_not_a_library.so";
    std::ofstream(path) << "this is not an ELF file\n";
    SorviPlugin plugin;
    EXPECT_FALSE(plugin.load(path.string()));
    EXPECT_FALSE(plugin.loaded());
    EXPECT_NE(plugin.error().find(path.string()), std::string::npos) << plugin.error();
    std::filesystem::remove(path);
}

TEST(PluginLoader, RefusesALibraryWithoutAllFourExportsAndNamesTheMissingOne) {
    SorviPlugin plugin;
    EXPECT_FALSE(plugin.load(HOST_TEST_PARTIAL_PLUGIN));
    EXPECT_FALSE(plugin.loaded());
    EXPECT_NE(plugin.error().find("sorvi_hide"), std::string::npos) << plugin.error();
    // Nothing half-resolved is left behind.
    EXPECT_EQ(plugin.init, nullptr);
    EXPECT_EQ(plugin.display, nullptr);
}

TEST(PluginLoader, PathComesFromOptionThenEnvironmentThenProgramDirectory) {
    unsetenv(kPluginEnvVar);
    const std::string fallback = pluginPath("");
    EXPECT_TRUE(fallback.ends_with("/lib/sorvi.so")) << fallback;
    EXPECT_EQ(fallback.find(".."), std::string::npos) << "path not normalised: " << fallback;
    EXPECT_EQ(fallback, defaultPluginPath());

    setenv(kPluginEnvVar, "/from/env/sorvi.so", 1);
    EXPECT_EQ(pluginPath(""), "/from/env/sorvi.so");
    EXPECT_EQ(pluginPath("/from/option/sorvi.so"), "/from/option/sorvi.so");
    setenv(kPluginEnvVar, "", 1);
    EXPECT_EQ(pluginPath(""), fallback);
    unsetenv(kPluginEnvVar);
}

}  // namespace
}  // namespace host

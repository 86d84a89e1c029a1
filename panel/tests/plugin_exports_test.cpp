// The built module sorvi.so shows a host its four exports and nothing else
// of its inside: its dynamic symbol table holds no other function.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "sorvi.h"

namespace {

// Functions the module defines and exports, by the dynamic symbol table:
// lines "address type name" of `nm -D --defined-only`, types T, W and i.
std::set<std::string> exportedFunctions(const std::string& path) {
    const std::string command = std::string(SORVI_NM) + " -D --defined-only '" + path + "'";
    std::set<std::string> functions;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return functions;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name && (type == "T" || type == "W" || type == "i"))
            functions.insert(name.substr(0, name.find('@')));
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return functions;
}

}  // namespace

TEST(PluginModule, ExportsTheFourOperationsOnly) {
    EXPECT_EQ(exportedFunctions(SORVI_PLUGIN_PATH),
              (std::set<std::string>{"sorvi_close", "sorvi_display", "sorvi_hide", "sorvi_init"}));

    // And a host finds them by name.
    void* module = dlopen(SORVI_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    for (const char* name : {"sorvi_init", "sorvi_display", "sorvi_hide", "sorvi_close"})
        EXPECT_NE(dlsym(module, name), nullptr) << name;
    dlclose(module);
}

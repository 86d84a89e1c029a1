// The built module sorvi.so shows a host its four exports and nothing else
// of its inside.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "sorvi.h"

TEST(PluginModule, ExportsTheFourOperationsOnly) {
    void* module = dlopen(SORVI_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_NE(dlsym(module, "sorvi_init"), nullptr);
    EXPECT_NE(dlsym(module, "sorvi_display"), nullptr);
    EXPECT_NE(dlsym(module, "sorvi_hide"), nullptr);
    EXPECT_NE(dlsym(module, "sorvi_close"), nullptr);
    // Internal names a host might also use stay inside the plug-in.
    EXPECT_EQ(dlsym(module, "_Z5aboutiiPvi"), nullptr);
    EXPECT_EQ(dlsym(module, "_Z13sorviResourcev"), nullptr);
    dlclose(module);
}

// Tests that load the soft front panel plug-in skip when a build of only
// some folders has not made it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#define SKIP_WITHOUT_PLUGIN()                                                                             \
    do {                                                                                                  \
        if (!std::filesystem::exists(HOST_TEST_PLUGIN))                                                   \
            GTEST_SKIP() << "the soft front panel plug-in is not built yet (" << HOST_TEST_PLUGIN << ")"; \
    } while (false)

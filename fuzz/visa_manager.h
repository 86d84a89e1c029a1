// The one VISA resource manager a fuzz target opens, for the whole run.
#pragma once

#include "visa.h"

inline ViSession fuzzResourceManager() {
    static const ViSession rm = [] {
        ViSession s = VI_NULL;
        viOpenDefaultRM(&s);
        return s;
    }();
    return rm;
}

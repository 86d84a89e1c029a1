// How every control callback of the plug-in finds its instance: through the
// callback data of the panel that raised it, and only for the commit event.
#pragma once

#include <paneltk/runtime.h>

#include "sorvi_instance.h"

// The instance of a committed control, or null: then the callback does
// nothing (another event, or a panel that carries no instance).
inline SorviInstance* committedInstance(int event, void* callbackData) {
    if (event != tk::EVENT_COMMIT) return nullptr;
    return instanceFromCallbackData(callbackData);
}

// The instance behind a panel handle (its callback data), or null.
SorviInstance* instanceOfPanel(int panel);

// sorvi.so: the plug-in module. Its code lives in the sorvi_logic library,
// linked in whole; this file only gives the module a source of its own.
#include "sorvi.h"

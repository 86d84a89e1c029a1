// The resource registration and the table that binds every callback name of
// "sorvi.uir" to this plug-in's function.
#include <paneltk/paneltk.h>

#include "sorvi_plugin.h"
#include "sorvi_uir.h"

const tk::Bindings& pendingBindings();

void registerSorviResource() {
    static bool registered = false;
    if (registered) return;
    if (tk::registerResource(sorviResource()) == tk::OK) registered = true;
}

const tk::Bindings& sorviBindings() {
    static const tk::Bindings bindings = [] {
        tk::Bindings b{
            {"mp_exit", mp_exit},   {"pexit", pexit},       {"exit_yes", exit_yes},
            {"exit_no", exit_no},   {"showBase", showBase}, {"closeSp", closeSp},
            {"about", about},       {"config", config},     {"interrupt", interrupt},
        };
        const tk::Bindings& later = pendingBindings();
        b.insert(b.end(), later.begin(), later.end());
        return b;
    }();
    return bindings;
}

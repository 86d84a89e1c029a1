// The resource registration and the table that binds every callback name of
// "sorvi.uir" to this plug-in's function.
#include <paneltk/paneltk.h>

#include "sorvi_plugin.h"
#include "sorvi_uir.h"

void registerSorviResource() {
    static bool registered = false;
    if (registered) return;
    if (tk::registerResource(sorviResource()) == tk::OK) registered = true;
}

const tk::Bindings& sorviBindings() {
    static const tk::Bindings bindings = [] {
        return tk::Bindings{
            // lifecycle
            {"mp_exit", mp_exit},
            {"pexit", pexit},
            {"exit_yes", exit_yes},
            {"exit_no", exit_no},
            {"showBase", showBase},
            {"closeSp", closeSp},
            {"about", about},
            {"config", config},
            // acquisition and displays
            {"interrupt", interrupt},
            {"startP", startP},
            {"stop", stop},
            {"change_mode", change_mode},
            {"setSize", setSize},
            {"enableInterrupt", enableInterrupt},
            {"errMessOk", errMessOk},
            {"cbReset", cbReset},
            {"cadr", cadr},
            {"graph", graph},
            {"show_res", show_res},
            // result file and viewer
            {"selFName", selFName},
            {"setFName", setFName},
            {"clearRes", clearRes},
            {"findAnother", findAnother},
            // settings, registers and test panels
            {"change_porogC", change_porogC},
            {"selGroup", selGroup},
            {"change_sampleP", change_sampleP},
            {"change_baseMem", change_baseMem},
            {"releSwitch", releSwitch},
            {"setStartType", setStartType},
            {"inputReg", inputReg},
            {"outReg", outReg},
            {"Selftest", Selftest},
            {"CloseSelftestCallback", CloseSelftestCallback},
            {"testCAP", testCAP},
            {"displayParams", displayParams},
            {"setParams", setParams},
        };
    }();
    return bindings;
}

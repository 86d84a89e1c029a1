// Callbacks named in "sorvi.uir" whose work (acquisition, displays, result
// files, configuration and test panels) is not written yet. They are bound
// so that every control has its function; each does nothing for now.
#include <paneltk/paneltk.h>

#include "sorvi_plugin.h"

namespace {

int notYet(int, int, int, void*, int, int) { return 0; }
void notYetMenu(int, int, void*, int) {}

}  // namespace

const tk::Bindings& pendingBindings() {
    static const tk::Bindings bindings{
        {"startP", notYet},          {"stop", notYet},
        {"cadr", notYet},            {"cbReset", notYet},
        {"change_mode", notYet},     {"setSize", notYet},
        {"enableInterrupt", notYet}, {"errMessOk", notYet},
        {"graph", notYet},           {"show_res", notYet},
        {"selFName", notYet},        {"setFName", notYet},
        {"clearRes", notYet},        {"findAnother", notYet},
        {"change_porogC", notYet},   {"selGroup", notYet},
        {"change_sampleP", notYet},  {"change_baseMem", notYet},
        {"releSwitch", notYet},      {"setStartType", notYet},
        {"Selftest", notYet},        {"CloseSelftestCallback", notYet},
        {"setParams", notYet},       {"outReg", notYet},
        {"inputReg", notYet},        {"testCAP", notYet},
        {"displayParams", notYetMenu},
    };
    return bindings;
}

#include "host_options.h"

#include <string_view>

namespace host {

bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        auto value = [&](std::string& into) {
            if (k + 1 >= argc) {
                error = "option " + std::string(arg) + " needs a value";
                return false;
            }
            into = argv[++k];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--plugin") {
            if (!value(options.pluginPath)) return false;
        } else if (arg == "--bench") {
            if (!value(options.benchFile)) return false;
        } else if (arg == "--script" || arg == "--screenshots") {
            std::string toolkitOption;  // read by the toolkit itself
            if (!value(toolkitOption)) return false;
        } else {
            error = "unknown option " + std::string(arg);
            return false;
        }
    }
    return true;
}

const char* usageText() {
    return "usage: panelhost [--plugin PATH] [--bench FILE] [--script FILE] [--screenshots DIR]\n"
           "  --plugin PATH      soft front panel plug-in to load (default: SORVI_PLUGIN,\n"
           "                     else lib/sorvi/sorvi.so of the installed tree,\n"
           "                     else <program dir>/../lib/sorvi.so)\n"
           "  --bench FILE       simulated bench description (sets SORVI_BENCH)\n"
           "  --script FILE      run a panel script (see docs/scripting.md)\n"
           "  --screenshots DIR  save every displayed panel as a PNG file in DIR\n";
}

}  // namespace host

#include "host_options.h"

#include <string_view>

namespace host {

bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        auto value = [&](std::string& into) {
            if (k + 1 >= argc || argv[k + 1][0] == '\0') {
                error = "option " + std::string(arg) + " needs a value";
                return false;
            }
            into = argv[++k];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--plugin") {
            if (!value(options.pluginPath)) return false;
        } else if (arg == "--bench") {
            if (!value(options.benchFile)) return false;
        } else if (arg == "--bench-window") {
            options.benchWindow = true;
        } else if (arg == "--script") {
            if (!value(options.scriptFile)) return false;  // run by the toolkit itself
        } else if (arg == "--screenshots") {
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
    return "usage: panelhost [--plugin PATH] [--bench FILE] [--bench-window] [--script FILE] [--screenshots DIR]\n"
           "  --plugin PATH      soft front panel plug-in to load (default: SORVI_PLUGIN,\n"
           "                     else lib/sorvi/sorvi.so of the installed tree,\n"
           "                     else <program dir>/../lib/sorvi.so)\n"
           "  --bench FILE       simulated bench description (sets SORVI_BENCH)\n"
           "  --bench-window     show the bench window \"Стенд\" at start\n"
           "  --script FILE      run a panel script (see docs/scripting.md)\n"
           "  --screenshots DIR  save every displayed panel as a PNG file in DIR\n"
           "  --help, -h         print this text and exit\n"
           "  --version          print the version and exit\n";
}

}  // namespace host

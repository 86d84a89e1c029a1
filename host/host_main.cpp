// panelhost: the instrument-panel host. Finds the mezzanine carriers on the
// bus, lets the operator open one and shows its four positions; for a SORVI
// position it loads the soft front panel plug-in and opens a panel for it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <paneltk/paneltk.h>

#include "carrier_discovery.h"
#include "host_options.h"
#include "host_panel.h"
#include "plugin_loader.h"

namespace {
host::HostPanel* runningPanel = nullptr;
}  // namespace

int main(int argc, char** argv) {
    host::HostOptions options;
    std::string error;
    if (!host::parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "panelhost: %s\n%s", error.c_str(), host::usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(host::usageText(), stdout);
        return 0;
    }
    if (tk::initRuntime(argc, argv) < 0) {
        std::fprintf(stderr, "panelhost: the user interface could not be started\n");
        return -1;
    }
    // The simulated bench reads its description when VISA is first used.
    if (!options.benchFile.empty()) setenv("SORVI_BENCH", options.benchFile.c_str(), 1);

    host::SorviPlugin plugin;
    const std::string pluginPath = host::pluginPath(options.pluginPath);
    if (!plugin.load(pluginPath)) std::fprintf(stderr, "panelhost: %s\n", plugin.error().c_str());

    int status = 0;
    {
        host::HostPanel panel(plugin);
        if (panel.create() < 0) {
            std::fprintf(stderr, "panelhost: the host panel could not be loaded\n");
            return -1;
        }
        host::DiscoveryResult found = host::discoverCarriers();
        panel.setCarriers(std::move(found.carriers), found.status);
        // A script's exit closes the instances and carriers as the host's own exit does.
        runningPanel = &panel;
        tk::onScriptExit([] { runningPanel->shutdown(); });
        panel.run();
        tk::onScriptExit(nullptr);
        runningPanel = nullptr;
        if (panel.shutdown() < 0) status = 1;
    }
    plugin.unload();
    return status;
}

// panelhost: the instrument-panel host. Finds the mezzanine carriers on the
// bus, lets the operator open one and shows its four positions; for a SORVI
// position it loads the soft front panel plug-in and opens a panel for it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <paneltk/paneltk.h>

#include "bench_loader.h"
#include "benchwin.h"
#include "sorvi_version.h"

#include "carrier_discovery.h"
#include "host_options.h"
#include "host_panel.h"
#include "plugin_loader.h"

namespace {

int refuse(const std::string& reason) {
    std::fprintf(stderr, "panelhost: %s\n", reason.c_str());
    return 2;
}

host::HostPanel* runningPanel = nullptr;
}  // namespace

int main(int argc, char** argv) {
    host::HostOptions options;
    std::string error;
    if (!host::parseOptions(argc, argv, options, error)) return refuse(error + " (panelhost --help lists the options)");
    if (options.help) {
        std::fputs(host::usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("panelhost %s\n", SORVI_VERSION);
        return 0;
    }
    // The simulated bench reads its description when VISA is first used.
    if (!options.benchFile.empty()) setenv("SORVI_BENCH", options.benchFile.c_str(), 1);
    if (!tk::checkScriptFile(options.scriptFile, error) || !bench::benchFileUsable(error)) return refuse(error);

    // A plug-in named by --plugin or SORVI_PLUGIN must load; without the one
    // installed beside the host, the host still lists carriers and says why
    // no soft front panel opens.
    host::SorviPlugin plugin;
    const std::string pluginPath = host::pluginPath(options.pluginPath);
    const char* pluginFromEnv = std::getenv(host::kPluginEnvVar);
    const bool pluginAskedFor = !options.pluginPath.empty() || (pluginFromEnv != nullptr && *pluginFromEnv != '\0');
    if (!plugin.load(pluginPath)) {
        if (pluginAskedFor) return refuse(plugin.error());
        std::fprintf(stderr, "panelhost: %s\n", plugin.error().c_str());
    }
    if (tk::initRuntime(argc, argv) < 0) {
        std::fprintf(stderr, "panelhost: the user interface could not be started\n");
        return -1;
    }

    int status = 0;
    {
        host::HostPanel panel(plugin);
        if (panel.create() < 0) {
            std::fprintf(stderr, "panelhost: the host panel could not be loaded\n");
            return -1;
        }
        discovery::DiscoveryResult found = discovery::discoverCarriers();
        if (options.benchWindow) benchwin::showBenchWindow();
        panel.setCarriers(std::move(found.carriers), found.status);
        // A script's exit closes the instances and carriers as the host's own exit does.
        runningPanel = &panel;
        tk::onScriptExit([] { runningPanel->shutdown(); });
        panel.run();
        benchwin::closeBenchWindow();
        tk::onScriptExit(nullptr);
        runningPanel = nullptr;
        if (panel.shutdown() < 0) status = 1;
    }
    plugin.unload();
    return status;
}

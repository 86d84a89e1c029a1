// Command-line options of panelhost. The toolkit's own options (--script,
// --screenshots) are accepted here and left for the toolkit to act on.
#pragma once

#include <string>

namespace host {

struct HostOptions {
    std::string pluginPath;    // --plugin PATH (empty: SORVI_PLUGIN or the default)
    std::string benchFile;     // --bench FILE (sets SORVI_BENCH)
    std::string scriptFile;    // --script FILE (run by the toolkit; checked before start)
    bool help = false;         // --help
    bool version = false;      // --version
    bool benchWindow = false;  // --bench-window: show the bench window at start
};

// Reads argv[1..argc-1]. Returns false with a message in error for an
// unknown option or an option without its value.
bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error);

const char* usageText();

}  // namespace host

// sorvi_screenshots DIR: saves the nine panels of a demo instance as
// DIR/sorvi_<PANEL>.png (headless when QT_QPA_PLATFORM=offscreen), making DIR
// if it does not exist yet.
#include <paneltk/paneltk.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "panel_screenshots.h"
#include "standard_options.h"

namespace {

const char kUsage[] =
    "usage: sorvi_screenshots DIR\n"
    "  Saves the nine panels of a demo soft front panel as DIR/sorvi_<PANEL>.png\n"
    "  (DIR is made when missing). Headless: QT_QPA_PLATFORM=offscreen.\n"
    "  --help, -h   print this text and exit\n"
    "  --version    print the version and exit\n";

int refuse(const std::string& reason) { return sorvi::refuseArguments("sorvi_screenshots", reason); }

}  // namespace

int main(int argc, char** argv) {
    std::string directory;
    for (int i = 1; i < argc; ++i) {
        if (sorvi::answeredStandardOption("sorvi_screenshots", kUsage, argv[i])) return 0;
        if (argv[i][0] == '-' || !directory.empty())
            return refuse(std::string(argv[i][0] == '-' ? "unknown option " : "unexpected argument ") + argv[i] +
                          " (sorvi_screenshots --help lists the options)");
        directory = argv[i];
    }
    if (directory.empty()) return refuse("the folder to write into is missing (usage: sorvi_screenshots DIR)");
    std::string reason;
    if (!tk::checkScriptFile("", reason)) return refuse(reason);  // SORVI_SCRIPT
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec || !std::filesystem::is_directory(directory))
        return refuse("cannot make the folder " + directory + (ec ? ": " + ec.message() : ""));
    if (tk::initRuntime(argc, argv) != tk::OK) return refuse("the user interface could not be started");
    const auto files = savePanelScreenshots(directory);
    for (const auto& f : files) std::printf("%s\n", f.c_str());
    return files.size() == 9 ? 0 : 1;
}

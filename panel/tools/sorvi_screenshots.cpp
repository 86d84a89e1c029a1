// sorvi_screenshots DIR: saves the nine panels of a demo instance as
// DIR/sorvi_<PANEL>.png (headless when QT_QPA_PLATFORM=offscreen).
#include <paneltk/paneltk.h>

#include <cstdio>

#include "panel_screenshots.h"

int main(int argc, char** argv) {
    if (tk::initRuntime(argc, argv) != tk::OK || argc != 2) {
        std::fprintf(stderr, "usage: sorvi_screenshots DIRECTORY\n");
        return 2;
    }
    const auto files = savePanelScreenshots(argv[1]);
    for (const auto& f : files) std::printf("%s\n", f.c_str());
    return files.size() == 9 ? 0 : 1;
}

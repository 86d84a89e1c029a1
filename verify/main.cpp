// verisk: the operator's verification program for a SORVI module.
//
//   verisk [--bench FILE] [--bench-window] [--script FILE] [--screenshots DIR]
//
// --bench FILE runs on the simulated bench described in FILE (it sets
// SORVI_BENCH before anything talks to VISA); --bench-window shows the bench
// window "Стенд" beside the program; the toolkit takes --script and
// --screenshots.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "benchwin.h"
#include "t_sorvi.h"

namespace {
void showBenchWindow() { benchwin::showBenchWindow(); }
}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--bench") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "verisk: --bench needs the name of a bench file\n");
                return 2;
            }
            ::setenv("SORVI_BENCH", argv[++i], 1);
            continue;
        }
        if (std::strcmp(argv[i], "--bench-window") == 0) {
            benchWindowHook = showBenchWindow;
            stimulusPromptHook = benchwin::stimulusPrompted;
            continue;
        }
        if (std::strncmp(argv[i], "--bench=", 8) == 0) {
            ::setenv("SORVI_BENCH", argv[i] + 8, 1);
            continue;
        }
        args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    const int status = veriskMain(count, args.data());
    benchwin::closeBenchWindow();
    return status;
}

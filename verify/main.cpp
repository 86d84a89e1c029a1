// verisk: the operator's verification program for a SORVI module.
//
//   verisk [--bench FILE] [--bench-window] [--script FILE] [--screenshots DIR]
//
// --bench FILE runs on the simulated bench described in FILE (it sets
// SORVI_BENCH before anything talks to VISA); --bench-window shows the bench
// window "Стенд" beside the program; the toolkit takes --script and
// --screenshots. Every mistake on the command line, a script that cannot be
// read and a bench file with a mistake end the program with status 2 and a
// one-line reason before any window opens.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <paneltk/runtime.h>

#include "bench_loader.h"
#include "benchwin.h"
#include "standard_options.h"
#include "t_sorvi.h"

namespace {

void showBenchWindow() { benchwin::showBenchWindow(); }

const char kUsage[] =
    "usage: verisk [--bench FILE] [--bench-window] [--script FILE] [--screenshots DIR]\n"
    "  --bench FILE       simulated bench description (sets SORVI_BENCH; default:\n"
    "                     SORVI_BENCH, else the built-in bench)\n"
    "  --bench-window     show the bench window \"Стенд\" beside the program\n"
    "  --script FILE      drive the windows from a script (see docs/scripting.md)\n"
    "  --screenshots DIR  save every window shown as a PNG file in DIR\n"
    "  --help, -h         print this text and exit\n"
    "  --version          print the version and exit\n";

int refuse(const std::string& reason) { return sorvi::refuseArguments("verisk", reason); }

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    std::string script;
    for (int i = 0; i < argc; ++i) {
        if (i == 0) {
            args.push_back(argv[i]);
            continue;
        }
        if (sorvi::answeredStandardOption("verisk", kUsage, argv[i])) return 0;
        if (std::strcmp(argv[i], "--bench") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return refuse("--bench needs the name of a bench file");
            ::setenv("SORVI_BENCH", argv[++i], 1);
            continue;
        }
        if (std::strcmp(argv[i], "--bench-window") == 0) {
            benchWindowHook = showBenchWindow;
            stimulusPromptHook = benchwin::stimulusPrompted;
            continue;
        }
        if (std::strncmp(argv[i], "--bench=", 8) == 0) {
            if (argv[i][8] == '\0') return refuse("--bench needs the name of a bench file");
            ::setenv("SORVI_BENCH", argv[i] + 8, 1);
            continue;
        }
        // The toolkit's own options, left in place for it.
        if (std::strcmp(argv[i], "--script") == 0 || std::strcmp(argv[i], "--screenshots") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return refuse(std::string(argv[i]) + " needs a value");
            if (std::strcmp(argv[i], "--script") == 0) script = argv[i + 1];
            args.push_back(argv[i]);
            args.push_back(argv[++i]);
            continue;
        }
        if (std::strncmp(argv[i], "--script=", 9) == 0) script = argv[i] + 9;
        if (std::strncmp(argv[i], "--script=", 9) == 0 || std::strncmp(argv[i], "--screenshots=", 14) == 0) {
            args.push_back(argv[i]);
            continue;
        }
        return refuse((argv[i][0] == '-' ? std::string("unknown option ") : std::string("unexpected argument ")) +
                      argv[i] + " (verisk --help lists the options)");
    }
    std::string reason;
    if (!tk::checkScriptFile(script, reason) || !bench::benchFileUsable(reason)) return refuse(reason);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    const int status = veriskMain(count, args.data());
    benchwin::closeBenchWindow();
    return status;
}

// verisk: the operator's verification program for a SORVI module.
//
//   verisk [--bench FILE] [--script FILE] [--screenshots DIR]
//
// --bench FILE runs on the simulated bench described in FILE (it sets
// SORVI_BENCH before anything talks to VISA); the toolkit takes --script and
// --screenshots.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "t_sorvi.h"

namespace {

const char kUsage[] =
    "usage: verisk [--bench FILE] [--script FILE] [--screenshots DIR]\n"
    "  --bench FILE       simulated bench description (sets SORVI_BENCH)\n"
    "  --script FILE      run a script of user actions and checks (also SORVI_SCRIPT)\n"
    "  --screenshots DIR  save every displayed panel as a PNG file in DIR\n"
    "                     (also SORVI_SCREENSHOTS)\n"
    "The verification protocol is appended to sorvi.log in the working directory.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--bench") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "verisk: --bench needs the name of a bench file\n");
                return 2;
            }
            ::setenv("SORVI_BENCH", argv[++i], 1);
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
    return veriskMain(count, args.data());
}

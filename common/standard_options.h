// What every program of the project answers on its command line, before any
// option of its own: --help (-h) prints its usage and --version its version;
// and how it refuses arguments it cannot take.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "sorvi_version.h"

namespace sorvi {

// True when `arg` asked for the usage or the version, now printed on
// standard output; the program then ends with status 0.
inline bool answeredStandardOption(const char* program, const char* usage, const char* arg) {
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
        std::fputs(usage, stdout);
        return true;
    }
    if (std::strcmp(arg, "--version") == 0) {
        std::printf("%s %s\n", program, SORVI_VERSION);
        return true;
    }
    return false;
}

// Says on standard error why the arguments cannot be taken; the status to
// end with.
inline int refuseArguments(const char* program, const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n", program, reason.c_str());
    return 2;
}

}  // namespace sorvi

// sorvictl export: a result file (.sorvi) into sigrok's formats, streamed
// in portions so that files larger than memory convert.
#pragma once

#include <cstdint>
#include <string>

#include "console.h"

namespace sorvictl {

struct ExportOptions {
    std::string input;
    std::string output;
    std::uint64_t samplerateHz = 0;
    std::string channels;  // empty: all 32
    std::string format;    // empty: by extension
    bool force = false;
};

struct ExportResult {
    std::uint64_t frames = 0;
    std::uint64_t trailingBytes = 0;  // bytes after the last whole frame, left out
};

ExportResult runExport(const ExportOptions& options, Console& console);

}  // namespace sorvictl

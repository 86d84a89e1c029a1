// Where the process's bench comes from: the bench file named by the
// environment variable SORVI_BENCH (the programs' --bench option sets it), or
// the built-in default bench.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bench_description.h"

namespace bench {

inline constexpr const char* kBenchEnvVar = "SORVI_BENCH";

// Larger bench files are refused before parsing.
inline constexpr std::size_t kMaxBenchFileBytes = 256 * 1024;

struct LoadResult {
    std::optional<BenchDescription> bench;  // set on success
    std::string error;                      // on failure: names the file, the line and the field
};

// Reads and checks a bench file.
LoadResult loadBenchFile(const std::string& path);
// Checks bench text; `sourceName` is used in error messages.
LoadResult parseBenchText(std::string_view text, const std::string& sourceName);
// False when a bench file is asked for (SORVI_BENCH set and not empty) and
// cannot be read or is wrong; `reason` then says why. A program checks this
// before it starts: with a bad bench it would find nothing and look like a
// program on an empty bus.
bool benchFileUsable(std::string& reason);
// The built-in default bench.
BenchDescription defaultBench();
// The live pattern the default bench puts on channel 1..32 of its first
// module: square waves, fixed levels and sensor contacts.
ChannelInput defaultLiveInput(int channel);
// The fixed level the default bench puts on channel 1..30 of the module at
// position 3 of its first carrier: -9 V + 0.55 V * channel.
double ladderVolts(int channel);

// The bench of this process, loaded once: from SORVI_BENCH when set, else the
// default. Null when the named file is bad; `error` then says why (and the
// message was written once to standard error).
const BenchDescription* currentDescription(std::string* error = nullptr);

}  // namespace bench

// Placeholder loader: the default bench only. The bench file reader replaces
// the file part.
#include "bench_loader.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace bench {

LoadResult loadBenchFile(const std::string& path) {
    return {std::nullopt, path + ": bench files are not supported yet"};
}

LoadResult parseBenchText(std::string_view, const std::string& sourceName) {
    return {std::nullopt, sourceName + ": bench files are not supported yet"};
}

const BenchDescription* currentDescription(std::string* error) {
    static std::once_flag once;
    static LoadResult result;
    std::call_once(once, [] {
        const char* path = std::getenv(kBenchEnvVar);
        if (path && *path) {
            result = loadBenchFile(path);
            if (!result.bench) std::fprintf(stderr, "bench: %s\n", result.error.c_str());
        } else {
            result.bench = defaultBench();
        }
    });
    if (!result.bench && error) *error = result.error;
    return result.bench ? &*result.bench : nullptr;
}

}  // namespace bench

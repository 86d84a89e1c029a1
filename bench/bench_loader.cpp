// Loading a bench: reading the file, turning YAML mistakes into messages that
// name the file and the line, and choosing between the file and the default.
#include "bench_loader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include <yaml-cpp/yaml.h>

#include "bench_file_reader.h"

namespace bench {

LoadResult loadBenchFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, path + ": cannot open the bench file"};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return {std::nullopt, path + ": cannot read the bench file"};
    return parseBenchText(text.str(), path);
}

LoadResult parseBenchText(std::string_view text, const std::string& sourceName) {
    try {
        const YAML::Node root = YAML::Load(std::string(text));
        return {file::readBench(root, sourceName), {}};
    } catch (const file::Error& e) {
        return {std::nullopt, e.what()};
    } catch (const YAML::Exception& e) {
        std::string message = sourceName;
        if (!e.mark.is_null())
            message += ":" + std::to_string(e.mark.line + 1) + ":" + std::to_string(e.mark.column + 1);
        return {std::nullopt, message + ": not valid YAML: " + e.msg};
    } catch (const std::exception& e) {
        return {std::nullopt, sourceName + ": " + e.what()};
    }
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

// Bench files: the YAML reader and every check of the file, over any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bench_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = bench::parseBenchText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.yaml");
    // Every refusal says why, on one line of sane length.
    if (!result.bench && (result.error.empty() || result.error.size() > 4096)) __builtin_trap();
    return 0;
}

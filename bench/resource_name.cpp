// Placeholder: exact, case-insensitive names only. The VISA stand-in's name
// parser replaces it.
#include "resource_name.h"

#include <algorithm>
#include <cctype>

namespace bench {

std::optional<std::string> canonicalResourceName(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

const ResourceDescription* findResource(const BenchDescription& bench, std::string_view name) {
    auto wanted = canonicalResourceName(name);
    if (!wanted) return nullptr;
    for (const auto& r : bench.resources)
        if (canonicalResourceName(r.name) == wanted) return &r;
    return nullptr;
}

}  // namespace bench

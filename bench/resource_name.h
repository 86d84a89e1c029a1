// VISA resource names as the bench understands them: case-insensitive, with
// optional fields (board number, USB interface number, "::INSTR") that may be
// present or not.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bench_description.h"

namespace bench {

// The canonical form of a resource name, or nothing when it is not a valid
// instrument resource name.
std::optional<std::string> canonicalResourceName(std::string_view name);

// The resource of `bench` that `name` designates, or null.
const ResourceDescription* findResource(const BenchDescription& bench, std::string_view name);

}  // namespace bench

// VISA resource search expressions: a regular expression over resource names
// ("?*INSTR", "VXI?*", "USB[0-9]::?*", "(GPIB|VXI)?*") matched without regard
// to case, optionally followed by an attribute filter in braces
// ("?*INSTR{VI_ATTR_MANF_ID==0xE76}").
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bench_description.h"

namespace visa {

// Longer expressions are refused (VI_ERROR_INV_EXPR): resource names are
// short, and the bound keeps compiling any expression cheap.
inline constexpr std::size_t kMaxSearchExpression = 1024;

class ResourcePattern {
public:
    // Nothing when the expression is malformed.
    static std::optional<ResourcePattern> compile(std::string_view expression);

    bool matches(const bench::ResourceDescription& resource) const;

    ResourcePattern(ResourcePattern&&) noexcept;
    ResourcePattern& operator=(ResourcePattern&&) noexcept;
    ~ResourcePattern();

private:
    ResourcePattern();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace visa

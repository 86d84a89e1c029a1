// The fixed attributes of a bench resource (what the bus and the device
// report, as opposed to a session's own settings), by VISA attribute code.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "bench_description.h"
#include "visa.h"

namespace visa {

using AttributeValue = std::variant<long long, std::string>;

// The value of a fixed attribute of `resource`, or nothing when the attribute
// is not one of them or does not apply to the resource's interface.
std::optional<AttributeValue> resourceAttribute(const bench::ResourceDescription& resource, ViAttr attribute);

// The attribute code of a standard attribute name ("VI_ATTR_MANF_ID"), or 0.
ViAttr attributeByName(const std::string& name);

}  // namespace visa

// A table of status codes and their texts, the shape in which the VISA
// stand-in, the carrier stand-in and the driver each keep their own texts,
// and the lookup in it.
#pragma once

#include <cstddef>

#include "visatype.h"

namespace sorvi {

struct StatusText {
    ViStatus status;
    const char* text;
};

// The text of `status` in `table`, or null when the table has none.
template <std::size_t N>
constexpr const char* findStatusText(const StatusText (&table)[N], ViStatus status) {
    for (const StatusText& entry : table)
        if (entry.status == status) return entry.text;
    return nullptr;
}

}  // namespace sorvi

// VISA's formatted I/O language: printf-like writing and scanf-like reading
// with VISA's additions (%t reads up to the end of the message, "#" takes the
// buffer size from the arguments).
#pragma once

#include <cstdarg>
#include <functional>
#include <string>

#include "visa.h"

namespace visa {

// Appends the formatted text to `out`. VI_ERROR_INV_FMT or VI_ERROR_NSUP_FMT
// for a format it cannot do.
ViStatus formatText(std::string& out, const char* format, va_list& args);

// Reads the values that `format` asks for from `input`, starting at `pos`
// (advanced past what was used). When the input runs out, `more` may append
// the next message and returns its status.
ViStatus scanText(std::string& input, std::size_t& pos, const char* format, va_list& args,
                  const std::function<ViStatus(std::string&)>& more);

}  // namespace visa

// The one way a subcommand reports failure: a single line for the user.
// main() prints it after "sorvictl: " and exits with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace sorvictl {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& line) : std::runtime_error(line) {}
};

}  // namespace sorvictl

// The bench file reader's inner pieces: walking a YAML tree with checks that
// name the file, the line and the field of every mistake.
#pragma once

#include <yaml-cpp/yaml.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench_description.h"

namespace bench::file {

// A mistake in a bench file; what() is the complete message.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where in the file a node is: source name and the field path ("resources[2].slot").
struct Where {
    const std::string& source;
    std::string path;

    Where operator/(std::string_view key) const;  // a map entry: path.key
    Where operator[](std::size_t index) const;    // a list entry: path[index]
};

// A value of the file as it is echoed in a message: in single quotes, cut to
// a few dozen characters, with control characters and bytes that are not
// UTF-8 written as \xNN, so that no message grows with the file and no
// terminal escape sequence gets through.
std::string quoted(std::string_view text);

[[noreturn]] void fail(const Where& where, const YAML::Node& node, const std::string& message);

const YAML::Node& expectMap(const Where& where, const YAML::Node& node);
const YAML::Node& expectList(const Where& where, const YAML::Node& node);
std::string expectText(const Where& where, const YAML::Node& node);

// Checks that every key of `map` is one of `allowed` and appears only once.
void checkKeys(const Where& where, const YAML::Node& map, std::initializer_list<std::string_view> allowed);
// The value of `key` in `map`, or an undefined node when the key is absent.
YAML::Node field(const YAML::Node& map, std::string_view key);

long long readInteger(const Where& where, const YAML::Node& node, long long lo, long long hi);
bool readBool(const Where& where, const YAML::Node& node);

// One SORVI module: inputs and faults of a carrier position.
SorviModuleDescription readSorviModule(const Where& where, const YAML::Node& position);

// A whole bench file.
BenchDescription readBench(const YAML::Node& root, const std::string& source);

}  // namespace bench::file

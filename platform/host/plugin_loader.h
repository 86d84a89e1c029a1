// Loading the soft front panel plug-in by path and finding its four exports.
#pragma once

#include <string>

#include "sorvi.h"

namespace host {

class SorviPlugin {
public:
    SorviPlugin() = default;
    ~SorviPlugin() { unload(); }
    SorviPlugin(const SorviPlugin&) = delete;
    SorviPlugin& operator=(const SorviPlugin&) = delete;

    // Loads the library at path and resolves sorvi_init, sorvi_display,
    // sorvi_hide and sorvi_close. On failure nothing stays loaded and error()
    // says what went wrong (missing file, not a loadable library, which
    // export is missing). A plug-in already loaded is unloaded first.
    bool load(const std::string& path);
    // Unloads the library. Every instance must have ended before.
    void unload();

    bool loaded() const { return library_ != nullptr; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

    sorvi_init_fn init = nullptr;
    sorvi_display_fn display = nullptr;
    sorvi_hide_fn hide = nullptr;
    sorvi_close_fn close = nullptr;

private:
    void* library_ = nullptr;
    std::string path_;
    std::string error_;
};

// Where the plug-in is looked for: the --plugin option if given, else the
// SORVI_PLUGIN environment variable, else <directory of the program>/../lib/sorvi.so.
std::string pluginPath(const std::string& option);
std::string defaultPluginPath();

inline constexpr const char* kPluginEnvVar = "SORVI_PLUGIN";

}  // namespace host

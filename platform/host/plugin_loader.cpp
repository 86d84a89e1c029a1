#include "plugin_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef SORVI_PLUGIN_DIR_FROM_BIN
#define SORVI_PLUGIN_DIR_FROM_BIN "../lib/sorvi"
#endif

namespace host {
namespace {

template <typename Fn>
bool resolve(void* library, const char* name, Fn& function, std::string& error) {
    dlerror();
    void* symbol = dlsym(library, name);
    if (symbol == nullptr) {
        error = std::string("в модуле нет функции ") + name;
        return false;
    }
    function = reinterpret_cast<Fn>(symbol);
    return true;
}

}  // namespace

bool SorviPlugin::load(const std::string& path) {
    unload();
    error_.clear();
    path_ = path;
    std::error_code ec;
    if (path.empty()) {
        error_ = "не задан путь к модулю панели";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, ec)) {
        error_ = "нет файла модуля панели " + path;
        return false;
    }
    // RTLD_NOW: a library with unresolved symbols fails here, not at the
    // first call into it.
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        const char* why = dlerror();
        error_ = "модуль панели " + path + " не загружается: " + (why != nullptr ? why : "?");
        return false;
    }
    std::string missing;
    if (!resolve(library_, "sorvi_init", init, missing) || !resolve(library_, "sorvi_display", display, missing) ||
        !resolve(library_, "sorvi_hide", hide, missing) || !resolve(library_, "sorvi_close", close, missing)) {
        error_ = path + ": " + missing;
        unload();
        return false;
    }
    return true;
}

void SorviPlugin::unload() {
    init = nullptr;
    display = nullptr;
    hide = nullptr;
    close = nullptr;
    if (library_ != nullptr) {
        dlclose(library_);
        library_ = nullptr;
    }
}

std::string defaultPluginPath() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "sorvi.so";
    // Installed, the plug-in lies in the package's private library folder;
    // in the build tree, in lib beside bin.
    const std::filesystem::path installed =
        (program.parent_path() / SORVI_PLUGIN_DIR_FROM_BIN / "sorvi.so").lexically_normal();
    if (std::filesystem::is_regular_file(installed, ec)) return installed.string();
    return (program.parent_path() / ".." / "lib" / "sorvi.so").lexically_normal().string();
}

std::string pluginPath(const std::string& option) {
    if (!option.empty()) return option;
    if (const char* fromEnv = std::getenv(kPluginEnvVar); fromEnv != nullptr && *fromEnv != '\0') return fromEnv;
    return defaultPluginPath();
}

}  // namespace host

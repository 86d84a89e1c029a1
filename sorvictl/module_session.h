// An open SORVI module: the carrier session and the module driver session,
// opened as the other programs do (identification query and reset, a
// quarter of the carrier memory reserved) and closed in reverse order.
#pragma once

#include <string>

#include "tarvo_32.h"
#include "visatype.h"

namespace sorvictl {

inline constexpr int kSorviModuleType = TARVO_MODULE_TYPE_SORVI;

class ModuleSession {
public:
    // Throws CommandError naming the resource or position that failed.
    // With keepInitWarning the session stays open when the module's set-up
    // reported errors (the self-test then tells which step failed);
    // otherwise that warning is a failure too.
    ModuleSession(const std::string& resource, int position, bool keepInitWarning = false);
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    ViSession vi() const { return vi_; }
    ViSession carrier() const { return carrier_; }
    ViStatus initStatus() const { return initStatus_; }
    // Frames of carrier memory reserved for the module.
    long memoryFrames() const { return memoryFrames_; }
    const std::string& where() const { return where_; }

private:
    void close();

    ViSession carrier_ = VI_NULL;
    ViSession vi_ = VI_NULL;
    ViStatus initStatus_ = VI_SUCCESS;
    long memoryFrames_ = 0;
    std::string where_;
};

}  // namespace sorvictl

#include "module_session.h"

#include <vector>

#include "command_error.h"
#include "driver_text.h"
#include "lumex.h"
#include "tarvo_32.h"

namespace sorvictl {

ModuleSession::ModuleSession(const std::string& resource, int position, bool keepInitWarning)
    : where_(resource + " position " + std::to_string(position)) {
    if (position < 1 || position > 4) throw CommandError("position must be 1 to 4, not " + std::to_string(position));
    std::vector<char> name(resource.begin(), resource.end());
    name.push_back('\0');
    const ViStatus opened = tarvo_init(name.data(), VI_TRUE, VI_TRUE, &carrier_);
    if (opened < VI_SUCCESS) {
        carrier_ = VI_NULL;
        throw CommandError("cannot open the carrier " + resource + ": " + statusText(VI_NULL, opened));
    }
    try {
        ViInt16 present = 0;
        ViInt16 type = 0;
        check(VI_NULL, tarvo_m_type_q(carrier_, static_cast<ViInt16>(position), &present, &type),
              "cannot ask " + where_ + " for its module");
        if (!present) throw CommandError("no module at " + where_);
        if (type != kSorviModuleType)
            throw CommandError("no SORVI at " + where_ + " (a module of type " + std::to_string(type) + ")");
        initStatus_ = lumex_init(carrier_, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &vi_);
        if (initStatus_ < VI_SUCCESS) {
            vi_ = VI_NULL;
            throw CommandError("cannot open the module at " + where_ + ": " + statusText(VI_NULL, initStatus_));
        }
        if (initStatus_ != VI_SUCCESS && !keepInitWarning)
            throw CommandError("the module at " + where_ + " did not set up: " + statusText(vi_, initStatus_));
        ViUInt32 bytes = 0;
        check(VI_NULL, tarvo_mem_q(carrier_, &bytes), "cannot ask " + resource + " for its memory size");
        memoryFrames_ = static_cast<long>(bytes / 16);
        check(vi_, lumex_alloc(vi_, static_cast<ViInt32>(memoryFrames_)),
              "cannot reserve carrier memory for " + where_);
    } catch (...) {
        close();
        throw;
    }
}

ModuleSession::~ModuleSession() { close(); }

void ModuleSession::close() {
    if (vi_ != VI_NULL) lumex_close(vi_);
    if (carrier_ != VI_NULL) tarvo_close(carrier_);
    vi_ = VI_NULL;
    carrier_ = VI_NULL;
}

}  // namespace sorvictl

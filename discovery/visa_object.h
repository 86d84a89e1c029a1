// Ownership of a VISA object (resource manager, resource session or find
// list): closed when the owner goes out of scope, on every path.
#pragma once

#include "visa.h"

namespace discovery {

class VisaObject {
public:
    VisaObject() = default;
    ~VisaObject() {
        if (handle_ != VI_NULL) viClose(handle_);
    }
    VisaObject(const VisaObject&) = delete;
    VisaObject& operator=(const VisaObject&) = delete;

    // Where an opening call writes the new handle.
    ViObject* out() { return &handle_; }
    ViObject get() const { return handle_; }

private:
    ViObject handle_ = VI_NULL;
};

}  // namespace discovery

#include "sample_resource.h"

const tk::ResourceDef& sampleResource() {
    static const tk::ResourceDef def{.name = "sample.uir"};
    return def;
}

// A sample resource with Russian labels, used by the toolkit's tests and demo.
#pragma once

#include <paneltk/panel_resource.h>

enum { SAMPLE = 1, PAGE = 2 };
const tk::ResourceDef& sampleResource();

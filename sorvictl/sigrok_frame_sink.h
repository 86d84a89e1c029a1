// Frames into sigrok's file formats through libsigrok's output modules:
// srzip (.sr, PulseView's session file), vcd and csv. The frames come from
// a user device of 32 logic channels named "1" to "32" (or the chosen
// subset), and the sample rate is sent as metadata.
#pragma once

#include <memory>

#include "frame_sink.h"

namespace sorvictl {

std::unique_ptr<FrameSink> openSigrokFrameSink(const SinkOptions& options);

}  // namespace sorvictl

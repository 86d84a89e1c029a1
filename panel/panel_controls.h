// Small things every part of the plug-in says about its controls: dimming
// and showing them, the decoration attribute that marks a display as live,
// and the acquisition modes of the "Режим" ring.
#pragma once

#include <paneltk/paneltk.h>

#include <cstdint>

// Platform attribute of a decoration: 100 emphasised, 0 plain.
inline constexpr int kDecorationAttribute = 610;
inline constexpr int kEmphasised = 100;

// Acquisition modes, as the ring MP_MODE and the driver number them.
inline constexpr std::int16_t kSingle = 0;
inline constexpr std::int16_t kBlock = 1;
inline constexpr std::int16_t kCycle = 2;

inline void dim(int panel, int control, bool dimmed) {
    tk::setAttribute(panel, control, tk::ATTR_DIMMED, dimmed ? 1 : 0);
}

inline void setVisible(int panel, int control, bool visible) {
    tk::setAttribute(panel, control, tk::ATTR_VISIBLE, visible ? 1 : 0);
}

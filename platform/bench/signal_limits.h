// The limits every description of a module input and every raised event must
// keep, whether it comes from a bench file, a text command or the bench
// window: one check, so that nothing one way accepts is refused another way.
#pragma once

#include <cstddef>
#include <string>

#include "bench_description.h"

namespace bench {

inline constexpr double kMaxInputVolts = 100.0;    // |volts| of any level
inline constexpr double kMaxSensorOhms = 1e9;      // sensor resistance, 0 up to this (or open)
inline constexpr double kMinSignalTimeS = 1e-6;    // shortest period / step
inline constexpr double kMaxSignalTimeS = 3600.0;  // longest period / step / phase
inline constexpr std::size_t kMaxSequenceLevels = 100000;

// Why `input` cannot be put on a module input; empty when it can.
std::string signalError(const ChannelInput& input);

// Carrier event numbers the bench can raise: those of a 16-bit signed event
// register (the carrier's own events, the input errors and anything a test
// wants the driver to treat as an undefined instrument error).
inline constexpr int kMinEventCode = -32768;
inline constexpr int kMaxEventCode = 32767;
bool isEventCode(long long code);

}  // namespace bench

// Status codes the simulated carrier returns (standard VISA values).
#pragma once

#include "visatype.h"

namespace bench::status {
inline constexpr ViStatus Success = 0;
inline constexpr ViStatus ErrorInvObject = static_cast<ViStatus>(0xBFFF000EUL);
inline constexpr ViStatus ErrorRsrcNotFound = static_cast<ViStatus>(0xBFFF0011UL);
inline constexpr ViStatus ErrorNotSupportedAttr = static_cast<ViStatus>(0xBFFF001DUL);
inline constexpr ViStatus ErrorAlloc = static_cast<ViStatus>(0xBFFF003CUL);
inline constexpr ViStatus ErrorInvSetup = static_cast<ViStatus>(0xBFFF003AUL);
inline constexpr ViStatus ErrorInvOffset = static_cast<ViStatus>(0xBFFF0051UL);
inline constexpr ViStatus ErrorUserBuf = static_cast<ViStatus>(0xBFFF0071UL);
inline constexpr ViStatus ErrorRsrcBusy = static_cast<ViStatus>(0xBFFF0072UL);
inline constexpr ViStatus ErrorInvSize = static_cast<ViStatus>(0xBFFF0080UL);
inline constexpr ViStatus ErrorSystemError = static_cast<ViStatus>(0xBFFF0000UL);
inline constexpr ViStatus ErrorTimeout = static_cast<ViStatus>(0xBFFF0015UL);
inline constexpr ViStatus ErrorIo = static_cast<ViStatus>(0xBFFF003EUL);
inline constexpr ViStatus ErrorParameter2 = static_cast<ViStatus>(0xBFFC0002UL);
inline constexpr ViStatus ErrorParameter3 = static_cast<ViStatus>(0xBFFC0003UL);
inline constexpr ViStatus ErrorParameter4 = static_cast<ViStatus>(0xBFFC0004UL);
inline constexpr ViStatus WarnUnknownStatus = static_cast<ViStatus>(0x3FFF0085UL);
}  // namespace bench::status

// The SORVI module at position 1 of the first VXI carrier, opened through
// tarvo_32.h alone as an integrator would: the start of every carrier test,
// whichever clock the bench runs on.
#pragma once

#include <gtest/gtest.h>

#include "tarvo_32.h"

namespace carrier_test {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";
inline constexpr ViUInt32 RG_ID = 0x02, RG_COM1 = 0x04, RG_PERIOD = 0x06, RG_STATE = 0x0A, RG_COM3 = 0x0C,
                          RG_STATE2 = 0x10, RG_LOAD1 = 0x12, RG_LOAD3 = 0x14;

inline ViUInt16 thresholdCode(double volts) {
    return static_cast<ViUInt16>(static_cast<int>(volts * 0.5 / 10 * 4096) & 0x0FFF);
}

// Carrier and module sessions, a quarter of the carrier memory reserved, a
// 0.1 ms sample clock and the 90 us first delay.
inline void openFirstModule(ViSession& carrier, ViSession& mvi) {
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 1, &carrier), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_init(carrier, 1, &mvi), VI_SUCCESS);
    ViUInt32 bytes = 0;
    ASSERT_EQ(tarvo_mem_q(carrier, &bytes), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_alloc(mvi, 0, bytes / 4, nullptr), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_clock(mvi, 0, 1600), VI_SUCCESS);  // 0.1 ms
    ASSERT_EQ(tarvo_m_first_delay(mvi, 0, 1440), VI_SUCCESS);
}

// Relays on, normal measurement, both thresholds loaded.
inline void loadThresholds(ViSession mvi, double group1, double group2) {
    ASSERT_EQ(tarvo_m_out16(mvi, RG_COM1, 0x5000 | thresholdCode(group1)), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_out16(mvi, RG_LOAD1, 0), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_out16(mvi, RG_COM3, 0x5000 | thresholdCode(group2)), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_out16(mvi, RG_LOAD3, 0), VI_SUCCESS);
}

}  // namespace carrier_test

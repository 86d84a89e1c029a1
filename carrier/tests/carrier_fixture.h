// A carrier session and the SORVI module at position 1 of the default bench's
// first carrier, on virtual time, with a quarter of the memory reserved.
#pragma once

#include <gtest/gtest.h>

#include "bench_test_interface.h"
#include "tarvo_32.h"
#include "visa.h"

namespace carrier_test {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";
inline constexpr ViUInt32 RG_ID = 0x02, RG_COM1 = 0x04, RG_PERIOD = 0x06, RG_STATE = 0x0A, RG_COM3 = 0x0C,
                          RG_STATE2 = 0x10, RG_LOAD1 = 0x12, RG_LOAD3 = 0x14;

inline constexpr ViStatus kInvObject = VI_ERROR_INV_OBJECT;
inline constexpr ViStatus kRsrcNotFound = VI_ERROR_RSRC_NFOUND;
inline constexpr ViStatus kAlloc = VI_ERROR_ALLOC;
inline constexpr ViStatus kIo = VI_ERROR_IO;
inline constexpr ViStatus kInvOffset = VI_ERROR_INV_OFFSET;
inline constexpr ViStatus kUserBuf = VI_ERROR_USER_BUF;
inline constexpr ViStatus kRsrcBusy = VI_ERROR_RSRC_BUSY;
inline constexpr ViStatus kInvSize = VI_ERROR_INV_SIZE;
inline constexpr ViStatus kParameter2 = VI_ERROR_PARAMETER2;
inline constexpr ViStatus kParameter3 = VI_ERROR_PARAMETER3;
inline constexpr ViStatus kNotSupportedAttr = VI_ERROR_NSUP_ATTR;

inline ViUInt16 thresholdCode(double volts) {
    return static_cast<ViUInt16>(static_cast<int>(volts * 0.5 / 10 * 4096) & 0x0FFF);
}

inline bench::ChannelInput volts(double v) {
    bench::ChannelInput in;
    in.volts = v;
    return in;
}

class CarrierTest : public ::testing::Test {
protected:
    void SetUp() override {
        bench::testing::resetBench();
        bench::testing::useVirtualClock();
        ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 1, &carrier), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_init(carrier, 1, &mvi), VI_SUCCESS);
        ViUInt32 bytes = 0;
        ASSERT_EQ(tarvo_mem_q(carrier, &bytes), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_alloc(mvi, 0, bytes / 4, nullptr), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_clock(mvi, 0, 1600), VI_SUCCESS);  // 0.1 ms
        ASSERT_EQ(tarvo_m_first_delay(mvi, 0, 1440), VI_SUCCESS);
    }
    void TearDown() override {
        if (carrier) {
            EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
        }
        bench::testing::resetBench();
    }

    // Relays on, normal measurement, both thresholds loaded.
    void measureAt(double group1, double group2) {
        ASSERT_EQ(tarvo_m_out16(mvi, RG_COM1, 0x5000 | thresholdCode(group1)), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_out16(mvi, RG_LOAD1, 0), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_out16(mvi, RG_COM3, 0x5000 | thresholdCode(group2)), VI_SUCCESS);
        ASSERT_EQ(tarvo_m_out16(mvi, RG_LOAD3, 0), VI_SUCCESS);
    }

    void allInputs(const bench::ChannelInput& in) {
        for (int k = 1; k <= 32; ++k) ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, k, in));
    }

    ViInt16 state() {
        ViInt16 s = -1;
        EXPECT_EQ(tarvo_m_state(mvi, 0, &s), VI_SUCCESS);
        return s;
    }

    ViInt32 ready() {
        ViInt32 n = -1;
        EXPECT_EQ(tarvo_m_howmuch_data_q(mvi, 0, &n), VI_SUCCESS);
        return n;
    }

    ViSession carrier = 0;
    ViSession mvi = 0;
};

}  // namespace carrier_test

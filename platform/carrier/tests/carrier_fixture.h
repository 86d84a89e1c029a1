// A carrier session and the SORVI module at position 1 of the default bench's
// first carrier, on virtual time, with a quarter of the memory reserved.
#pragma once

#include <gtest/gtest.h>

#include "bench_test_interface.h"
#include "carrier_session.h"
#include "tarvo_32.h"
#include "visa.h"

namespace carrier_test {

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
        ASSERT_NO_FATAL_FAILURE(openFirstModule(carrier, mvi));
    }
    void TearDown() override {
        if (carrier) {
            EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
        }
        bench::testing::resetBench();
    }

    void measureAt(double group1, double group2) { loadThresholds(mvi, group1, group2); }

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

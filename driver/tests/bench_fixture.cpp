#include "bench_fixture.h"

namespace on_bench {

void BenchTest::open(bool virtualClock)
{
    bench::testing::resetBench();
    if (virtualClock)
        bench::testing::useVirtualClock();
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_TRUE, &carrier), VI_SUCCESS);
    ASSERT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    ViUInt32 bytes = 0;
    ASSERT_EQ(tarvo_mem_q(carrier, &bytes), VI_SUCCESS);
    ASSERT_EQ(lumex_alloc(vi, static_cast<ViInt32>(bytes / 16)), VI_SUCCESS);
}

void BenchTest::TearDown()
{
    if (vi != VI_NULL) {
        EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    }
    if (carrier != VI_NULL) {
        EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
    }
    bench::testing::resetBench();
}

ViUInt16 BenchTest::reg(ViUInt32 offset)
{
    ViUInt16 value = 0;
    EXPECT_EQ(tarvo_m_in16(vi, offset, &value), VI_SUCCESS);
    return value;
}

void BenchTest::allInputs(const bench::ChannelInput& in)
{
    for (int channel = 1; channel <= 32; ++channel)
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, channel, in));
}

void BenchTest::counterInputs(double period)
{
    ASSERT_TRUE(bench::testing::setCounterInputs(kCarrier, 1, period));
}

}  // namespace on_bench

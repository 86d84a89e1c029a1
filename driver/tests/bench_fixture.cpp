#include "bench_fixture.h"

#include <vector>

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

void BenchTest::openCounting(double period)
{
    open(true);
    counterInputs(period);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_sample_period(vi, period), VI_SUCCESS);
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

::testing::AssertionResult BenchTest::cycleDeliversCounterFrames(ViInt32 packetFrames, int steps, double seconds,
                                                                 ViInt32 ask, ViInt32 expected)
{
    ViStatus status = lumex_mode_cycle(vi, packetFrames);
    if (status == VI_SUCCESS)
        status = lumex_start(vi);
    if (status != VI_SUCCESS)
        return ::testing::AssertionFailure() << "the cycle did not start: status " << status;
    std::vector<ViUInt32> buffer(static_cast<std::size_t>(ask));
    std::int64_t k = 0;
    for (int step = 0; step < steps; ++step) {
        bench::testing::advanceSeconds(seconds);
        ViInt32 got = 0;
        status = lumex_read_packet(vi, ask, buffer.data(), &got);
        if (status != VI_SUCCESS)
            return ::testing::AssertionFailure() << "packet " << step << " read with status " << status;
        if (got != expected)
            return ::testing::AssertionFailure()
                   << "packet " << step << " brought " << got << " frames, not " << expected;
        for (ViInt32 i = 0; i < got; ++i, ++k) {
            if (buffer[i] != counterSample(k))
                return ::testing::AssertionFailure()
                       << "frame " << k << " reads 0x" << std::hex << buffer[i] << ", not 0x" << counterSample(k);
        }
    }
    if ((status = lumex_stop(vi)) != VI_SUCCESS)
        return ::testing::AssertionFailure() << "the cycle did not stop: status " << status;
    return ::testing::AssertionSuccess();
}

}  // namespace on_bench

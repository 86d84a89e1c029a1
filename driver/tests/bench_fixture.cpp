#include "bench_fixture.h"

#include <iconv.h>
#include <vector>

namespace on_bench {

std::string cp1251(const std::string& utf8)
{
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    std::string input = utf8;
    std::vector<char> output(input.size() + 1);
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return std::string(output.data(), out);
}

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
    const double t0 = bench::testing::nowSeconds() + 90e-6;
    for (int j = 0; j < 16; ++j) {
        bench::ChannelInput in;
        in.kind = bench::ChannelInput::Kind::Square;
        in.low = 0.0;
        in.high = 5.0;
        in.periodS = std::ldexp(period, j + 1);
        in.duty = 0.5;
        in.phaseS = -t0 + std::ldexp(period, j) + period / 2;
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, j + 1, in));
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, j + 17, in));
    }
}

} // namespace on_bench

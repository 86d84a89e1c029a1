// A healthy simulated module: opening, self-test, and the frames each
// acquisition mode returns at the thresholds set.
#include <vector>

#include "bench_fixture.h"

using namespace on_bench;

TEST_F(BenchTest, HealthyModuleOpensAndPassesTheSelfTest)
{
    open(false);
    EXPECT_EQ(reg(RG_ID) & 0xFF, 9);
    EXPECT_EQ(reg(RG_COM1), 0x7199);
    EXPECT_EQ(reg(RG_COM3), 0x7199);
    ViInt32 samples = 0;
    ASSERT_EQ(lumex_alloc_q(vi, &samples), VI_SUCCESS);
    EXPECT_EQ(samples, static_cast<ViInt32>((16u << 20) / 16));

    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_config_trigger(vi, 1), VI_SUCCESS);
    ViInt16 result = -1;
    ViChar message[LUMEX_TEXT_SIZE] = {};
    EXPECT_EQ(lumex_self_test(vi, &result, message), VI_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(message), cp1251("Самоконтроль завершен успешно"));

    // Left reset: relays off, 2.0 V codes, the start trigger given back.
    EXPECT_EQ(reg(RG_COM1) & 0x2FFF, 0x2199);
    EXPECT_EQ(reg(RG_COM3) & 0x2FFF, 0x2199);
    ViBoolean on = 9;
    EXPECT_EQ(lumex_input_trigger_q(vi, &on), VI_SUCCESS);
    EXPECT_EQ(on, 0);
    ViInt16 trigger = -1;
    EXPECT_EQ(tarvo_m_config_trigger_q(vi, 0, &trigger), VI_SUCCESS);
    EXPECT_EQ(trigger, 1);
}

TEST_F(BenchTest, SingleSampleFollowsInputsAndThresholds)
{
    open(true);
    for (int channel = 1; channel <= 32; ++channel)
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, channel, volts(channel <= 16 ? 3.0 : channel * 0.25)));
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    const struct {
        double group1;
        double group2;
        ViUInt32 expected;
    } cases[] = {
        {2.0, 2.0, 0xFFFFFFFF},  // group 2 inputs are 4.25 V .. 8.0 V
        {3.5, 6.0, 0xFF800000},  // channels 24..32 (6.0 V up) above the 5.996 V code
        {-1.0, 10.0, 0x0000FFFF},
        {10.0, 7.9, 0x80000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group1);
        ASSERT_EQ(lumex_set_porog_group(vi, c.group1, 1), VI_SUCCESS);
        ASSERT_EQ(lumex_set_porog_group(vi, c.group2, 2), VI_SUCCESS);
        ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
        ViUInt32 sample = 0;
        EXPECT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), LUMEX_ERROR_NO_POLL_ACK) << "frozen time";
        bench::testing::advanceSeconds(0.001);
        ASSERT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
        EXPECT_EQ(sample, c.expected);
    }
}

TEST_F(BenchTest, StartWarnsAboutGroupTwoRelaysButRuns)
{
    open(true);
    allInputs(volts(5.0));
    ASSERT_EQ(lumex_input_trigger_group(vi, VI_TRUE, 1), VI_SUCCESS);
    EXPECT_EQ(lumex_start(vi), LUMEX_WARN_RELAYS_OFF);
    bench::testing::advanceSeconds(0.001);
    ViUInt32 sample = 0;
    ASSERT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(sample & 0xFFFF, 0xFFFFu) << "group 1 measures its inputs";
    EXPECT_EQ(reg(RG_COM3) & 0x2000, 0x2000);
}

TEST_F(BenchTest, BlockReturnsTheFramesOfItsPeriod)
{
    openCounting(0.001);
    ASSERT_EQ(lumex_mode_block(vi, 2000), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(reg(RG_PERIOD) & 0xA7FF, 199);
    bench::testing::advanceSeconds(1.0);
    ViInt32 ready = 0;
    ASSERT_EQ(lumex_numReadyData(vi, &ready), VI_SUCCESS);
    EXPECT_EQ(ready, 1000);
    bench::testing::advanceSeconds(1.5);
    ViInt16 state = -1;
    ASSERT_EQ(lumex_state(vi, &state), VI_SUCCESS);
    EXPECT_EQ(state, 0);
    std::vector<ViUInt32> block(2000);
    ASSERT_EQ(lumex_read_block(vi, 0, 2000, block.data()), VI_SUCCESS);
    for (int k = 0; k < 2000; ++k)
        ASSERT_EQ(block[k], counterSample(k)) << "frame " << k;
}

TEST_F(BenchTest, CycleDeliversEveryFrameInOrder)
{
    openCounting(0.0001);
    EXPECT_TRUE(cycleDeliversCounterFrames(1000, 20, 0.05, 8000, 500));
}

TEST_F(BenchTest, ThresholdAtPlusTenVoltsReadsAsTheHighestThreshold)
{
    open(true);
    allInputs(volts(9.999));
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_set_porog(vi, 10.0), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    bench::testing::advanceSeconds(0.001);
    ViUInt32 sample = 0;
    ASSERT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(reg(RG_COM1) & 0x0FFF, 0x7FF);
    EXPECT_EQ(sample, 0xFFFFFFFFu) << "9.999 V lies above +9.995 V";
    ASSERT_EQ(lumex_set_porog(vi, -10.0), VI_SUCCESS);
    allInputs(volts(-9.99));
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    bench::testing::advanceSeconds(0.001);
    ASSERT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(reg(RG_COM3) & 0x0FFF, 0x800);
    EXPECT_EQ(sample, 0xFFFFFFFFu);
}

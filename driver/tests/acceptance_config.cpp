// Thresholds, period, modes, relays, trigger and interrupt enable: what is
// stored, what reaches the registers, and the order of the checks.
#include <chrono>
#include <cmath>
#include <limits>

#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

class ConfigTest : public OpenSessionTest {
protected:
    // Starts a block acquisition so that the stored settings reach the module.
    void applyByStart()
    {
        ASSERT_EQ(lumex_mode_block(vi, 10), VI_SUCCESS);
        ASSERT_GE(lumex_start(vi), VI_SUCCESS);
        ASSERT_EQ(lumex_stop(vi), VI_SUCCESS);
    }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST_F(ConfigTest, ThresholdCodesReachBothControlRegisters)
{
    const struct {
        double volts;
        ViUInt16 field;
    } cases[] = {
        {2.0, 0x199},
        {9.5, 0x799},
        {-2.0, 0xE67},
        {-10.0, 0x800},
        {0.0, 0x000},
        {0.11, 0x01E},
        // +10 V saturates: 0x800 would be read as -10 V by the module.
        {10.0, 0x7FF},
        {9.99, 0x7FF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volts);
        ASSERT_EQ(lumex_set_porog_group(vi, c.volts, 1), VI_SUCCESS);
        ASSERT_EQ(lumex_set_porog_group(vi, -c.volts, 2), VI_SUCCESS);
        fake().clearLog();
        applyByStart();
        EXPECT_EQ(reg(RG_COM1) & 0x0FFF, c.field);
        EXPECT_EQ(reg(RG_COM1) & 0xF000, 0x7000) << "upper bits kept";
        EXPECT_EQ(fake().writes(RG_LOAD1), std::vector<ViUInt16>{0});
        EXPECT_EQ(fake().writes(RG_LOAD3), std::vector<ViUInt16>{0});
    }
    // Negative side: -10 keeps 0x800, the others are the formula's.
    ASSERT_EQ(lumex_set_porog_group(vi, 10.0, 2), VI_SUCCESS);
    ASSERT_EQ(lumex_set_porog_group(vi, -10.0, 1), VI_SUCCESS);
    applyByStart();
    EXPECT_EQ(reg(RG_COM1) & 0x0FFF, 0x800);
    EXPECT_EQ(reg(RG_COM3) & 0x0FFF, 0x7FF);
}

TEST_F(ConfigTest, ThresholdsAreRaisedToTheNext50Millivolts)
{
    const std::pair<double, double> cases[] = {{0.1, 0.1}, {0.11, 0.15}, {-0.11, -0.1}, {9.99, 10.0}, {-10.0, -10.0}};
    for (const auto& [asked, stored] : cases) {
        ViReal64 volts = 0;
        ASSERT_EQ(lumex_set_porog(vi, asked), VI_SUCCESS);
        EXPECT_EQ(lumex_set_porog_group_q(vi, 2, &volts), VI_SUCCESS);
        EXPECT_DOUBLE_EQ(volts, stored);
        EXPECT_EQ(lumex_set_porog_q(vi, &volts), VI_SUCCESS);
        EXPECT_DOUBLE_EQ(volts, stored);
    }
    EXPECT_TRUE(fake().writes(RG_COM1).empty()) << "setting a threshold does not touch the module";
}

TEST_F(ConfigTest, ThresholdArgumentsAreCheckedInOrder)
{
    ASSERT_EQ(lumex_set_porog(vi, 1.0), VI_SUCCESS);
    for (double bad : {-10.000001, 10.000001, kNaN, kInf, -kInf})
        EXPECT_EQ(lumex_set_porog(vi, bad), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_set_porog_group(vi, 50.0, 3), VI_ERROR_PARAMETER3) << "group before range";
    EXPECT_EQ(lumex_set_porog_group(vi, 50.0, 0), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_set_porog_group(vi, kNaN, 1), VI_ERROR_PARAMETER2);
    ViReal64 volts = 0;
    EXPECT_EQ(lumex_set_porog_group_q(vi, 3, &volts), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_set_porog_group_q(vi, 1, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_set_porog_q(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_set_porog_group_q(vi, 1, &volts), VI_SUCCESS);
    EXPECT_EQ(volts, 1.0) << "refused values change nothing";
}

TEST_F(ConfigTest, PeriodEncodingInRegisterAndCarrierClock)
{
    const struct {
        double seconds;
        ViUInt16 field;
        bool coarse;
        ViInt32 clock;
    } cases[] = {
        {0.0001, 19, false, 1600},
        {0.001, 199, false, 16000},
        {0.011, 21, true, 176000},
        {1.0, 1999, true, 16000000},
        {0.00015, 39, false, 3200},
        {0.0102, 2039, false, 163200},
        // 2041..2046 ticks would need 2060 fine ticks; they go coarse.
        {0.010205, 20, true, 168000},
        {0.01023, 20, true, 168000},
        {0.0103, 20, true, 168000},
    };
    fake().setReg(vi, RG_PERIOD, 0xD800);  // bits 15, 14, 12, 11 set beforehand
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        ASSERT_EQ(lumex_sample_period(vi, c.seconds), VI_SUCCESS);
        applyByStart();
        const ViUInt16 period = reg(RG_PERIOD);
        EXPECT_EQ(period & 0x07FF, c.field);
        EXPECT_EQ((period & 0x2000) != 0, c.coarse);
        EXPECT_EQ(period & 0x5800, 0x5800) << "bits 14, 12, 11 kept";
        EXPECT_EQ(period & 0x8000, 0) << "block mode";
        EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.clock; }), c.clock);
    }
}

TEST_F(ConfigTest, PeriodIsStoredUnroundedAndCheckedForRange)
{
    ASSERT_EQ(lumex_sample_period(vi, 0.00123), VI_SUCCESS);
    for (double bad : {0.00005, 1.5, kNaN, -kInf, 0.0})
        EXPECT_EQ(lumex_sample_period(vi, bad), VI_ERROR_PARAMETER2);
    ViReal64 seconds = 0;
    EXPECT_EQ(lumex_sample_period_q(vi, &seconds), VI_SUCCESS);
    EXPECT_EQ(seconds, 0.00123);
    EXPECT_EQ(lumex_sample_period_q(vi, nullptr), VI_ERROR_PARAMETER2);

    ViInt16 width = 0;
    ViInt16 bytes = 0;
    EXPECT_EQ(lumex_sample_width_q(vi, &width, &bytes), VI_SUCCESS);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(bytes, 4);
    EXPECT_EQ(lumex_sample_width_q(vi, nullptr, nullptr), VI_SUCCESS);
}

TEST_F(ConfigTest, ModesKeepTheirSizes)
{
    ViInt16 mode = -1;
    ViInt32 samples = -1;
    ASSERT_EQ(lumex_mode_block(vi, 500), VI_SUCCESS);
    ASSERT_EQ(lumex_mode_cycle(vi, 700), VI_SUCCESS);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(samples, 700);
    ASSERT_EQ(lumex_mode_block(vi, 0), VI_SUCCESS);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(samples, 500) << "0 keeps the previous block size";
    ASSERT_EQ(lumex_mode_1(vi), VI_SUCCESS);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(samples, 500) << "single-sample mode reports the block size";
    ASSERT_EQ(lumex_mode_cycle(vi, 0), VI_SUCCESS);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(samples, 700);

    EXPECT_EQ(lumex_mode_block(vi, -5), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_mode_cycle(vi, -1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_mode_q(vi, nullptr, &samples), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_mode_q(vi, &mode, nullptr), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(samples, 700);
}

TEST_F(ConfigTest, RelaysSwitchBit13OfBothGroupsWithReadBack)
{
    const auto started = simulatedNow();
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    EXPECT_GE(simulatedNow() - started, std::chrono::milliseconds(10)) << "relay settling";
    EXPECT_EQ(reg(RG_COM1), 0x5199);
    EXPECT_EQ(reg(RG_COM3), 0x5199);
    EXPECT_EQ(fake().callNames(), joinCalls({{"tarvo_m_get_attribute"}, kUpdateBothControls}));

    ASSERT_EQ(lumex_input_trigger_group(vi, VI_FALSE, 2), VI_SUCCESS);
    EXPECT_EQ(reg(RG_COM1), 0x5199);
    EXPECT_EQ(reg(RG_COM3), 0x7199);
    ViBoolean on = 9;
    EXPECT_EQ(lumex_input_trigger_q(vi, &on), VI_SUCCESS);
    EXPECT_EQ(on, 1) << "reports group 1 only";
    EXPECT_EQ(lumex_input_trigger_group_q(vi, 2, &on), VI_SUCCESS);
    EXPECT_EQ(on, 0);

    fake().clearLog();
    EXPECT_EQ(lumex_input_trigger(vi, 2), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_input_trigger_group(vi, 2, 3), VI_ERROR_PARAMETER2) << "on before group";
    EXPECT_EQ(lumex_input_trigger_group(vi, 1, 3), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_input_trigger_q(vi, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_input_trigger_group_q(vi, 3, nullptr), VI_ERROR_PARAMETER3) << "output before group";
    EXPECT_EQ(lumex_input_trigger_group_q(vi, 3, &on), VI_ERROR_PARAMETER2);
    EXPECT_TRUE(fake().writes(RG_COM1).empty());
    EXPECT_TRUE(fake().writes(RG_COM3).empty());
}

TEST_F(ConfigTest, RelayFailuresStopAtTheFirstRegister)
{
    fake().with(vi, [](fake::Mezzanine& m) { m.stuckSet[RG_COM1 / 2] = 0x2000; });
    EXPECT_EQ(lumex_input_trigger(vi, VI_TRUE), LUMEX_ERROR_RG_COM1);
    EXPECT_TRUE(fake().writes(RG_COM3).empty()) << "group 2 untouched";
    EXPECT_EQ(lumex_input_trigger_group(vi, VI_TRUE, 2), VI_SUCCESS);
    fake().failCall("tarvo_m_in16", fake::kIoError, 0, 1, RG_COM3);
    EXPECT_EQ(lumex_input_trigger_group(vi, VI_FALSE, 2), fake::kIoError);
    fake().failCall("tarvo_m_in16", fake::kIoError, 0, 1, RG_COM1);
    ViBoolean on = 7;
    EXPECT_EQ(lumex_input_trigger_q(vi, &on), fake::kIoError);
    EXPECT_EQ(on, 7);
}

TEST_F(ConfigTest, RelayQueriesNeedNoRecord)
{
    ViSession plain = VI_NULL;
    ASSERT_EQ(tarvo_m_init(fake::kCarrier, 2, &plain), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_out16(plain, RG_COM1, 0x0000), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_out16(plain, RG_COM3, 0x2000), VI_SUCCESS);
    ViBoolean on = 9;
    EXPECT_EQ(lumex_input_trigger_q(plain, &on), VI_SUCCESS);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(lumex_input_trigger_group_q(plain, 2, &on), VI_SUCCESS);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(tarvo_m_close(plain), VI_SUCCESS);
}

TEST_F(ConfigTest, StartTriggerWaitsForAStoppedModule)
{
    EXPECT_EQ(lumex_config_trigger(vi, 3), VI_SUCCESS);
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.triggerConfig; }), 3);

    ASSERT_EQ(lumex_mode_cycle(vi, 100), VI_SUCCESS);
    ASSERT_GE(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(lumex_config_trigger(vi, 5), LUMEX_ERROR_RUNNING);
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.triggerConfig; }), 3);

    // The carrier stopped on its own: the flag clears and the call goes on.
    fake().with(vi, [](fake::Mezzanine& m) { m.running = false; });
    EXPECT_EQ(lumex_config_trigger(vi, 0), VI_SUCCESS);
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.triggerConfig; }), 0);
    fake().clearLog();
    EXPECT_EQ(lumex_config_trigger(vi, 1), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), (std::vector<std::string>{"tarvo_m_get_attribute", "tarvo_m_config_trigger"}));
    fake().failCall("tarvo_m_config_trigger", fake::kIoError);
    EXPECT_EQ(lumex_config_trigger(vi, 1), fake::kIoError);
}

TEST_F(ConfigTest, InterruptEnableReachesRegisterAndCarrier)
{
    ViBoolean mask = 9;
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    EXPECT_EQ(reg(RG_IMASK), 1);
    EXPECT_TRUE(fake().with(vi, [](fake::Mezzanine& m) { return m.eventsOn; }));
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &mask), VI_SUCCESS);
    EXPECT_EQ(mask, 1);

    // Delivery switched off behind the driver's back reads as disabled.
    ASSERT_EQ(tarvo_m_config_event(vi, 0), VI_SUCCESS);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &mask), VI_SUCCESS);
    EXPECT_EQ(mask, 0);
    fake().failCall("tarvo_m_config_event_q", fake::kIoError);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &mask), fake::kIoError);
    EXPECT_EQ(mask, 1) << "a failed query leaves the stored mask in the output";

    fake().failCall("tarvo_m_config_event", fake::kIoError);
    EXPECT_EQ(lumex_mask_interrupt(vi, VI_FALSE), fake::kIoError);
    EXPECT_EQ(reg(RG_IMASK), 0);
    ASSERT_EQ(tarvo_m_config_event(vi, 1), VI_SUCCESS);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &mask), VI_SUCCESS);
    EXPECT_EQ(mask, 1) << "record unchanged after the failure";

    EXPECT_EQ(lumex_mask_interrupt(vi, 2), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, nullptr), VI_ERROR_PARAMETER2);
}

// Memory, start in each mode, stop, state and the three reads.
#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

CallNames startCalls(const CallNames& modeCalls, bool events = false)
{
    return joinCalls({{"tarvo_m_get_attribute", "in16 0x06", "out16 0x06"},
                      modeCalls,
                      kWriteBothThresholds,
                      {"in16 0x06", "out16 0x06", "tarvo_m_clock"},
                      events ? CallNames{"tarvo_m_config_event"} : CallNames{},
                      {"tarvo_m_get_attribute", "in16 0x0A", "in16 0x10"},
                      kUpdateBothControls,
                      {"tarvo_m_start"}});
}

class AcquisitionTest : public OpenSessionTest {
protected:
    template <typename T>
    T carrierValue(T fake::Mezzanine::*field)
    {
        return fake().with(vi, [field](fake::Mezzanine& m) { return m.*field; });
    }
    void setInputs(double group1, double group2)
    {
        fake().with(vi, [&](fake::Mezzanine& m) {
            for (int channel = 0; channel < 32; ++channel)
                m.inputs[channel] = channel < 16 ? group1 : group2;
        });
    }
};

}  // namespace

TEST_F(AcquisitionTest, AllocationIsInBytesOfFourPerSample)
{
    ASSERT_EQ(lumex_alloc(vi, 1000), VI_SUCCESS);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::allocatedBytes), 4000u);
    ViInt32 samples = 0;
    EXPECT_EQ(lumex_alloc_q(vi, &samples), VI_SUCCESS);
    EXPECT_EQ(samples, 1000);

    fake().clearLog();
    EXPECT_EQ(lumex_alloc(vi, -1), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_alloc(vi, 0x40000000), VI_ERROR_PARAMETER2) << "bytes would not fit 32 bits";
    EXPECT_EQ(lumex_alloc_q(vi, nullptr), VI_ERROR_PARAMETER2);
    for (const auto& call : fake().log())
        EXPECT_NE(call.name, "tarvo_m_alloc");
    EXPECT_EQ(lumex_alloc(vi, 5000000), fake::kInvSize) << "carrier refuses more than it has";
    EXPECT_EQ(carrierValue(&fake::Mezzanine::allocatedBytes), 4000u);
}

TEST_F(FakeCarrierTest, StartWithoutCarrierMemoryTouchesNoRegister)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(lumex_init(fake::kCarrier, 1, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    fake().clearLog();
    EXPECT_EQ(lumex_start(vi), LUMEX_ERROR_NO_CARRIER_MEMORY);
    EXPECT_EQ(fake().callNames(), (CallNames{"tarvo_m_get_attribute"}));
    // Memory the carrier already had reserved is found by a reset.
    ASSERT_EQ(tarvo_m_alloc(vi, 0, 400, nullptr), VI_SUCCESS);
    ASSERT_EQ(lumex_reset(vi), VI_SUCCESS);
    EXPECT_EQ(lumex_start(vi), LUMEX_WARN_RELAYS_OFF);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(AcquisitionTest, StartInEachModeProgramsModuleAndCarrier)
{
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    fake().clearLog();
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), startCalls({"tarvo_m_mode", "tarvo_m_trig_length"}));
    EXPECT_EQ(reg(RG_PERIOD), 0x8000 | 19);
    EXPECT_EQ(reg(RG_COM1), 0x5199) << "normal measurement, relays on";
    EXPECT_EQ(carrierValue(&fake::Mezzanine::mode), 0);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::trigLength), 0);

    ASSERT_EQ(lumex_mode_block(vi, 321), VI_SUCCESS);
    ASSERT_EQ(lumex_stop(vi), VI_SUCCESS);
    fake().clearLog();
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), startCalls({"tarvo_m_mode", "tarvo_m_trig_length", "tarvo_m_block_size"}));
    EXPECT_EQ(reg(RG_PERIOD), 19);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::mode), 1);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::trigLength), 1);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::blockSize), 321);
    ASSERT_EQ(lumex_stop(vi), VI_SUCCESS);

    ASSERT_EQ(lumex_mode_cycle(vi, 654), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(vi, 0), VI_SUCCESS);
    fake().clearLog();
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), startCalls({"tarvo_m_mode", "tarvo_m_trig_length", "tarvo_m_packet_size"}, true));
    EXPECT_EQ(carrierValue(&fake::Mezzanine::mode), 2);
    EXPECT_EQ(carrierValue(&fake::Mezzanine::packetSize), 654);
    EXPECT_TRUE(carrierValue(&fake::Mezzanine::eventsOn)) << "delivery re-enabled at start";
}

TEST_F(AcquisitionTest, StartWarnsWhileGroupTwoRelaysAreOff)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 10), VI_SUCCESS);
    EXPECT_EQ(lumex_start(vi), LUMEX_WARN_RELAYS_OFF);
    EXPECT_TRUE(carrierValue(&fake::Mezzanine::running));
    ASSERT_EQ(lumex_stop(vi), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger_group(vi, VI_TRUE, 2), VI_SUCCESS);
    EXPECT_EQ(lumex_start(vi), VI_SUCCESS) << "group 1 off does not warn";
}

TEST_F(AcquisitionTest, StartRefusesWhileTheModuleStillRuns)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 10), VI_SUCCESS);
    ASSERT_GE(lumex_start(vi), VI_SUCCESS);
    fake().clearLog();
    EXPECT_EQ(lumex_start(vi), LUMEX_ERROR_RUNNING);
    EXPECT_EQ(fake().callNames(), (CallNames{"tarvo_m_get_attribute", "tarvo_m_get_attribute", "tarvo_m_state"}));
    fake().with(vi, [](fake::Mezzanine& m) { m.running = false; });
    EXPECT_GE(lumex_start(vi), VI_SUCCESS);

    ViInt16 state = -1;
    EXPECT_EQ(lumex_state(vi, &state), VI_SUCCESS);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(lumex_state(vi, nullptr), VI_ERROR_PARAMETER2);
    fake().failCall("tarvo_m_stop", fake::kIoError);
    EXPECT_EQ(lumex_stop(vi), fake::kIoError);
    EXPECT_EQ(lumex_start(vi), LUMEX_ERROR_RUNNING) << "a failed stop leaves the run flag";
    EXPECT_EQ(lumex_stop(vi), VI_SUCCESS);
    fake().clearLog();
    EXPECT_GE(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(fake().callNames()[1], "in16 0x06") << "no state query after a stop";
}

TEST_F(AcquisitionTest, ReadBackMismatchDuringStartLeavesTheModuleStopped)
{
    fake().with(vi, [](fake::Mezzanine& m) { m.stuckSet[RG_COM3 / 2] = 0x8000; });
    EXPECT_EQ(lumex_start(vi), LUMEX_ERROR_RG_COM3);
    for (const auto& call : fake().log())
        EXPECT_NE(call.name, "tarvo_m_start");
    fake().with(vi, [](fake::Mezzanine& m) {
        m.stuckSet[RG_COM3 / 2] = 0;
        m.stuckClear[RG_COM1 / 2] = 0x4000;
    });
    EXPECT_EQ(lumex_start(vi), LUMEX_ERROR_RG_COM1);
    fake().with(vi, [](fake::Mezzanine& m) { m.stuckClear[RG_COM1 / 2] = 0; });
    fake().failCall("tarvo_m_clock", fake::kIoError);
    EXPECT_EQ(lumex_start(vi), fake::kIoError);
    EXPECT_FALSE(carrierValue(&fake::Mezzanine::running));
}

TEST_F(AcquisitionTest, SingleSampleReadWaitsForThePoll)
{
    setInputs(3.0, 1.0);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    fake().with(vi, [](fake::Mezzanine& m) { m.pollAcknowledges = false; });
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    ViUInt32 sample = 0xABCD;
    EXPECT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), LUMEX_ERROR_NO_POLL_ACK);
    EXPECT_EQ(sample, 0xABCDu);

    fake().with(vi, [](fake::Mezzanine& m) { m.pollAcknowledges = true; });
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    ViUInt32 time1 = 0;
    ViUInt32 time2 = 0;
    EXPECT_EQ(lumex_read_sample(vi, &sample, &time1, &time2), VI_SUCCESS);
    EXPECT_EQ(sample, 0x0000FFFFu);
    EXPECT_EQ(time1, 111u);
    EXPECT_EQ(time2, 222u);
    EXPECT_EQ(lumex_read_sample(vi, nullptr, nullptr, nullptr), VI_SUCCESS);

    fake().failCall("tarvo_m_read_last", fake::kIoError);
    sample = 7;
    EXPECT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), fake::kIoError);
    EXPECT_EQ(sample, 7u);
}

TEST_F(AcquisitionTest, BlockModeReadSkipsThePollCheck)
{
    setInputs(3.0, 1.0);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_set_porog_group(vi, 0.5, 2), VI_SUCCESS);
    ASSERT_EQ(lumex_mode_block(vi, 5), VI_SUCCESS);
    ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
    fake().clearLog();
    ViUInt32 sample = 0;
    EXPECT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(sample, 0xFFFFFFFFu);
    EXPECT_EQ(fake().callNames(), (CallNames{"tarvo_m_get_attribute", "tarvo_m_read_last"}));

    ViInt32 ready = 0;
    EXPECT_EQ(lumex_numReadyData(vi, &ready), VI_SUCCESS);
    EXPECT_EQ(ready, 5);
    EXPECT_EQ(lumex_numReadyData(vi, nullptr), VI_ERROR_PARAMETER2);
    std::vector<ViUInt32> block(5, 0);
    EXPECT_EQ(lumex_read_block(vi, 1, 4, block.data()), VI_SUCCESS);
    EXPECT_EQ(block, (std::vector<ViUInt32>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0}));
    EXPECT_EQ(lumex_read_block(vi, 3, 4, block.data()), fake::kInvSize) << "carrier bounds pass through";
    EXPECT_EQ(lumex_read_block(vi, -1, 1, block.data()), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_read_block(vi, 0, -1, block.data()), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_read_block(vi, 0, 1, nullptr), VI_ERROR_PARAMETER4);
}

TEST_F(AcquisitionTest, ThresholdsDecideTheChannelBits)
{
    setInputs(3.0, 1.0);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    const struct {
        double group1;
        double group2;
        ViUInt32 expected;
    } cases[] = {{2.0, 2.0, 0x0000FFFF}, {3.5, 0.5, 0xFFFF0000}, {-10.0, 10.0, 0x0000FFFF}, {10.0, -1.0, 0xFFFF0000}};
    for (const auto& c : cases) {
        ASSERT_EQ(lumex_set_porog_group(vi, c.group1, 1), VI_SUCCESS);
        ASSERT_EQ(lumex_set_porog_group(vi, c.group2, 2), VI_SUCCESS);
        ASSERT_EQ(lumex_start(vi), VI_SUCCESS);
        ViUInt32 sample = 0;
        ASSERT_EQ(lumex_read_sample(vi, &sample, nullptr, nullptr), VI_SUCCESS);
        EXPECT_EQ(sample, c.expected) << c.group1 << " / " << c.group2;
    }
}

TEST_F(AcquisitionTest, CyclePacketsComeInOrder)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 4), VI_SUCCESS);
    ASSERT_GE(lumex_start(vi), VI_SUCCESS);
    fake().with(vi, [](fake::Mezzanine& m) { m.fifo = {1, 2, 3, 4, 5, 6}; });
    std::vector<ViUInt32> packet(4, 0);
    ViInt32 got = -1;
    EXPECT_EQ(lumex_read_packet(vi, 4, packet.data(), &got), VI_SUCCESS);
    EXPECT_EQ(got, 4);
    EXPECT_EQ(packet, (std::vector<ViUInt32>{1, 2, 3, 4}));
    EXPECT_EQ(lumex_read_packet(vi, 4, packet.data(), &got), VI_SUCCESS);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(lumex_read_packet(vi, -1, packet.data(), &got), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_read_packet(vi, 1, nullptr, &got), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_read_packet(vi, 1, packet.data(), nullptr), VI_ERROR_PARAMETER4);
    fake().failCall("tarvo_m_read_packet", fake::kIoError);
    EXPECT_EQ(lumex_read_packet(vi, 1, packet.data(), &got), fake::kIoError);
}

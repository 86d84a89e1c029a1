// The stand-in seen only through tarvo_32.h, on the default bench and real
// time: the first VXI carrier, its SORVI modules, and acquisitions whose bits
// follow the bench inputs and the thresholds written into the module.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "carrier_session.h"
#include "tarvo_32.h"

namespace {

using carrier_test::RG_ID;

// Waits (real time) until the condition holds, at most a few seconds.
template <class Condition>
bool waitFor(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class CarrierAcceptance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(carrier_test::openFirstModule(carrier, mvi)); }
    void TearDown() override { EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS); }

    void thresholds(double group1, double group2) { carrier_test::loadThresholds(mvi, group1, group2); }

    std::vector<ViUInt32> block(int samples) {
        EXPECT_EQ(tarvo_m_mode(mvi, 0, 1), VI_SUCCESS);
        EXPECT_EQ(tarvo_m_block_size(mvi, 0, samples), VI_SUCCESS);
        EXPECT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
        EXPECT_TRUE(waitFor([&] {
            ViInt16 state = 1;
            return tarvo_m_state(mvi, 0, &state) == VI_SUCCESS && state == 0;
        }));
        ViInt32 ready = 0;
        EXPECT_EQ(tarvo_m_howmuch_data_q(mvi, 0, &ready), VI_SUCCESS);
        EXPECT_EQ(ready, samples);
        std::vector<ViUInt32> data(samples);
        EXPECT_EQ(tarvo_m_read_block(mvi, 0, samples, data.data()), VI_SUCCESS);
        return data;
    }

    ViSession carrier = 0;
    ViSession mvi = 0;
};

// Channels 25..32 of the first module have fixed inputs: 3 V, 1 V, 3 V, 1 V,
// 100 kOhm, 5 Ohm, 100 kOhm, 5 Ohm.
constexpr ViUInt32 kFixedChannels = 0xFF000000u;

TEST_F(CarrierAcceptance, SeesTheCarrierAndItsModules) {
    const ViInt16 expected[4] = {9, 5, 9, 0};
    for (ViInt16 p = 1; p <= 4; ++p) {
        ViInt16 present = -1, type = -1;
        ASSERT_EQ(tarvo_m_type_q(carrier, p, &present, &type), VI_SUCCESS);
        EXPECT_EQ(type, expected[p - 1]) << "position " << p;
        EXPECT_EQ(present != 0, expected[p - 1] != 0) << "position " << p;
    }
    ViUInt32 bytes = 0;
    ASSERT_EQ(tarvo_mem_q(carrier, &bytes), VI_SUCCESS);
    EXPECT_GT(bytes, 0u);
    ViUInt16 id = 0;
    ASSERT_EQ(tarvo_m_in16(mvi, RG_ID, &id), VI_SUCCESS);
    EXPECT_EQ(id & 0xFF, 9);
}

TEST_F(CarrierAcceptance, BlockBitsFollowInputsAndThresholds) {
    thresholds(2.0, 2.0);
    for (ViUInt32 s : block(50)) ASSERT_EQ(s & kFixedChannels, 0x55000000u);
    thresholds(-2.0, 5.0);
    for (ViUInt32 s : block(50)) {
        ASSERT_EQ(s & 0xFFFF, 0xFFFFu) << "squares of 0..5 V all above -2 V";
        ASSERT_EQ(s & kFixedChannels, 0x50000000u) << "only 100 kOhm above 5 V";
    }
    thresholds(9.5, 9.5);
    for (ViUInt32 s : block(50)) ASSERT_EQ(s, 0x50000000u) << "only 100 kOhm (11.9 V) above 9.5 V";
}

TEST_F(CarrierAcceptance, CycleDeliversPacketsFollowingThresholds) {
    thresholds(2.0, 2.0);
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_packet_size(mvi, 0, 100), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    std::vector<ViUInt32> got;
    ASSERT_TRUE(waitFor([&] {
        ViUInt32 buffer[256];
        ViInt32 n = 0;
        EXPECT_EQ(tarvo_m_read_packet(mvi, 256, buffer, &n), VI_SUCCESS);
        got.insert(got.end(), buffer, buffer + n);
        return got.size() >= 300;
    }));
    ASSERT_EQ(tarvo_m_stop(mvi, 0), VI_SUCCESS);
    ViInt16 state = 1;
    ASSERT_EQ(tarvo_m_state(mvi, 0, &state), VI_SUCCESS);
    EXPECT_EQ(state, 0);
    for (ViUInt32 s : got) ASSERT_EQ(s & kFixedChannels, 0x55000000u);
}

std::atomic<int> packetEvents{0};

ViInt16 _VI_FUNCH countPackets(ViSession, ViInt32 event) {
    if (event == 4) ++packetEvents;
    return 1;
}

TEST_F(CarrierAcceptance, PacketEventsArriveOnRealTime) {
    packetEvents = 0;
    ASSERT_EQ(tarvo_m_handler(mvi, countPackets), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_packet_size(mvi, 0, 20), VI_SUCCESS);  // every 2 ms
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    EXPECT_TRUE(waitFor([] { return packetEvents >= 3; }));
    ASSERT_EQ(tarvo_m_stop(mvi, 0), VI_SUCCESS);
    ViInt32 ready = 0;
    ASSERT_EQ(tarvo_m_howmuch_data_q(mvi, 0, &ready), VI_SUCCESS);
    EXPECT_GE(ready, 60);
}

}  // namespace

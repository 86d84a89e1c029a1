// Every kind of fault the bench can inject, seen through tarvo_.
#include <vector>

#include "carrier_fixture.h"

namespace carrier_test {
namespace {

using CarrierFaults = CarrierTest;

TEST_F(CarrierFaults, NamedOperationFailsTheGivenNumberOfTimes) {
    bench::testing::failNext("tarvo_m_in16", kIo, 2);
    ViUInt16 v = 0;
    EXPECT_EQ(tarvo_m_in16(mvi, RG_ID, &v), kIo);
    EXPECT_EQ(tarvo_m_in16(mvi, RG_ID, &v), kIo);
    EXPECT_EQ(tarvo_m_out16(mvi, RG_COM1, 0), VI_SUCCESS) << "other operations unaffected";
    EXPECT_EQ(tarvo_m_in16(mvi, RG_ID, &v), VI_SUCCESS);
    EXPECT_EQ(v, 9);
}

TEST_F(CarrierFaults, PersistentFailureLastsUntilCleared) {
    bench::testing::failAlways("tarvo_m_start", kIo);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(tarvo_m_start(mvi, 0), kIo);
    bench::testing::clearFailures();
    EXPECT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
}

TEST_F(CarrierFaults, StuckRegisterBitsShowInReadBack) {
    ASSERT_TRUE(bench::testing::setStuckRegisterBits(kCarrier, 1, RG_PERIOD, 0x0000, 0x0004));
    ViUInt16 v = 0;
    ASSERT_EQ(tarvo_m_out16(mvi, RG_PERIOD, 0x0007), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_PERIOD, &v), VI_SUCCESS);
    EXPECT_EQ(v, 0x0003);
    ASSERT_TRUE(bench::testing::setStuckRegisterBits(kCarrier, 1, RG_PERIOD, 0, 0));
    ASSERT_EQ(tarvo_m_in16(mvi, RG_PERIOD, &v), VI_SUCCESS);
    EXPECT_EQ(v, 0x0007);
}

TEST_F(CarrierFaults, StuckChannelsShowInSamples) {
    allInputs(volts(3.0));
    measureAt(2.0, 2.0);
    ASSERT_TRUE(bench::testing::setStuckChannels(kCarrier, 1, 0, 0x00000001));
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.001);
    ViUInt32 sample = 0;
    ASSERT_EQ(tarvo_m_read_last(mvi, &sample, nullptr, nullptr), VI_SUCCESS);
    EXPECT_EQ(sample, 0xFFFFFFFEu);
}

TEST_F(CarrierFaults, MissingPollAcknowledge) {
    ASSERT_TRUE(bench::testing::setNoPollAck(kCarrier, 1, true));
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(1.5);
    ViUInt16 reg = 0xFFFF;
    ASSERT_EQ(tarvo_m_in16(mvi, RG_STATE, &reg), VI_SUCCESS);
    EXPECT_EQ(reg & 0x0002, 0);
    EXPECT_EQ(state(), 0) << "the poll itself was made";
}

TEST_F(CarrierFaults, ForeignModuleId) {
    ASSERT_TRUE(bench::testing::setModuleId(kCarrier, 1, 7));
    ViUInt16 v = 0;
    ASSERT_EQ(tarvo_m_in16(mvi, RG_ID, &v), VI_SUCCESS);
    EXPECT_EQ(v & 0xFF, 7);
    EXPECT_FALSE(bench::testing::setModuleId(kCarrier, 2, 7)) << "position 2 holds no SORVI module";
}

TEST_F(CarrierFaults, ShortPacketReads) {
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_packet_size(mvi, 0, 100), VI_SUCCESS);
    ASSERT_TRUE(bench::testing::setShortPacketReads(kCarrier, 1, 30));
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.01);
    std::vector<ViUInt32> data(100);
    ViInt32 got = 0;
    ASSERT_EQ(tarvo_m_read_packet(mvi, 100, data.data(), &got), VI_SUCCESS);
    EXPECT_EQ(got, 30);
    EXPECT_EQ(ready(), 70);
}

TEST_F(CarrierFaults, FaultsDeclaredInTheBenchDescription) {
    ASSERT_EQ(tarvo_close(carrier), VI_SUCCESS);
    carrier = 0;
    bench::BenchDescription b;
    bench::ResourceDescription r;
    r.name = "VXI0::3::INSTR";
    bench::CarrierDescription c;
    c.memoryBytes = 4096;
    c.positions[1].moduleType = 9;
    bench::SorviModuleDescription m;
    m.faults.idValue = 3;
    m.faults.stuckRegisterBits[RG_COM1] = {0x0001, 0};
    c.positions[1].sorvi = m;
    r.carrier = c;
    b.resources.push_back(r);
    bench::testing::useBench(b);

    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>("vxi0::3::instr"), 1, 0, &carrier), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_init(carrier, 2, &mvi), VI_SUCCESS);
    ViUInt16 v = 0;
    ASSERT_EQ(tarvo_m_in16(mvi, RG_ID, &v), VI_SUCCESS);
    EXPECT_EQ(v & 0xFF, 3);
    ASSERT_EQ(tarvo_m_out16(mvi, RG_COM1, 0), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_in16(mvi, RG_COM1, &v), VI_SUCCESS);
    EXPECT_EQ(v, 1);
    ASSERT_EQ(tarvo_close(carrier), VI_SUCCESS);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 0, &carrier), kRsrcNotFound) << "not on this bench";
    carrier = 0;
}

}  // namespace
}  // namespace carrier_test

// Bad arguments to every tarvo_ function give a clear status and no harm.
#include <functional>
#include <string>
#include <vector>

#include "carrier_fixture.h"

namespace carrier_test {
namespace {

using CarrierBadInput = CarrierTest;

// Every mezzanine-level function, called with `vi` and valid other arguments.
std::vector<std::pair<std::string, std::function<ViStatus(ViSession)>>> everyMezzanineCall() {
    static ViUInt32 u32;
    static ViUInt16 u16;
    static ViInt16 i16a, i16b;
    static ViInt32 i32;
    static ViAttrState attr;
    static ViUInt32 buffer[4];
    return {
        {"set_attribute", [](ViSession vi) { return tarvo_m_set_attribute(vi, TARVO_ATTR_USER_DATA, 1); }},
        {"get_attribute", [](ViSession vi) { return tarvo_m_get_attribute(vi, TARVO_ATTR_USER_DATA, &attr); }},
        {"in16", [](ViSession vi) { return tarvo_m_in16(vi, RG_ID, &u16); }},
        {"out16", [](ViSession vi) { return tarvo_m_out16(vi, RG_COM1, 0); }},
        {"reset", [](ViSession vi) { return tarvo_m_reset(vi, 0); }},
        {"start", [](ViSession vi) { return tarvo_m_start(vi, 0); }},
        {"stop", [](ViSession vi) { return tarvo_m_stop(vi, 0); }},
        {"state", [](ViSession vi) { return tarvo_m_state(vi, 0, &i16a); }},
        {"mode", [](ViSession vi) { return tarvo_m_mode(vi, 0, 1); }},
        {"trig_length", [](ViSession vi) { return tarvo_m_trig_length(vi, 1); }},
        {"block_size", [](ViSession vi) { return tarvo_m_block_size(vi, 0, 10); }},
        {"packet_size", [](ViSession vi) { return tarvo_m_packet_size(vi, 0, 10); }},
        {"clock", [](ViSession vi) { return tarvo_m_clock(vi, 0, 1600); }},
        {"sample_width", [](ViSession vi) { return tarvo_m_sample_width(vi, 0, 1); }},
        {"first_delay", [](ViSession vi) { return tarvo_m_first_delay(vi, 0, 1440); }},
        {"alloc", [](ViSession vi) { return tarvo_m_alloc(vi, 0, 16, &u32); }},
        {"alloc_q", [](ViSession vi) { return tarvo_m_alloc_q(vi, 0, &u32, &u32); }},
        {"handler", [](ViSession vi) { return tarvo_m_handler(vi, nullptr); }},
        {"config_event", [](ViSession vi) { return tarvo_m_config_event(vi, 0); }},
        {"config_event_q", [](ViSession vi) { return tarvo_m_config_event_q(vi, &i16a, &i16b); }},
        {"config_trigger", [](ViSession vi) { return tarvo_m_config_trigger(vi, 0, 0); }},
        {"config_trigger_q", [](ViSession vi) { return tarvo_m_config_trigger_q(vi, 0, &i16a); }},
        {"howmuch_data_q", [](ViSession vi) { return tarvo_m_howmuch_data_q(vi, 0, &i32); }},
        {"read_last", [](ViSession vi) { return tarvo_m_read_last(vi, &u32, nullptr, nullptr); }},
        {"read_block", [](ViSession vi) { return tarvo_m_read_block(vi, 0, 4, buffer); }},
        {"read_packet", [](ViSession vi) { return tarvo_m_read_packet(vi, 4, buffer, &i32); }},
        {"close", [](ViSession vi) { return tarvo_m_close(vi); }},
    };
}

TEST_F(CarrierBadInput, UnknownClosedOrWrongKindSessions) {
    ViSession closed = 0;
    ASSERT_EQ(tarvo_m_init(carrier, 3, &closed), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_close(closed), VI_SUCCESS);
    for (auto& [name, call] : everyMezzanineCall()) {
        EXPECT_EQ(call(0), kInvObject) << name;
        EXPECT_EQ(call(0xDEADBEEF), kInvObject) << name;
        EXPECT_EQ(call(closed), kInvObject) << name;
        EXPECT_EQ(call(carrier), kInvObject) << name << " on a carrier session";
    }
    ViUInt32 bytes;
    EXPECT_EQ(tarvo_mem_q(mvi, &bytes), kInvObject);
    EXPECT_EQ(tarvo_close(mvi), kInvObject);
    EXPECT_EQ(tarvo_close(0), kInvObject);
    // The valid session still works after all that.
    for (auto& [name, call] : everyMezzanineCall()) EXPECT_GE(call(mvi), VI_SUCCESS) << name;
}

TEST_F(CarrierBadInput, NullOutputs) {
    EXPECT_EQ(tarvo_m_in16(mvi, RG_ID, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_state(mvi, 0, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_alloc_q(mvi, 0, nullptr, nullptr), kUserBuf);
    ViInt16 flag;
    EXPECT_EQ(tarvo_m_config_event_q(mvi, nullptr, &flag), kUserBuf);
    EXPECT_EQ(tarvo_m_config_event_q(mvi, &flag, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_config_trigger_q(mvi, 0, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_howmuch_data_q(mvi, 0, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_read_last(mvi, nullptr, nullptr, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_read_block(mvi, 0, 4, nullptr), kUserBuf);
    ViInt32 got;
    EXPECT_EQ(tarvo_m_read_packet(mvi, 4, nullptr, &got), kUserBuf);
    ViUInt32 buffer[4];
    EXPECT_EQ(tarvo_m_read_packet(mvi, 4, buffer, nullptr), kUserBuf);
    // Nothing asked, nothing needed.
    EXPECT_EQ(tarvo_m_read_block(mvi, 0, 0, nullptr), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_read_packet(mvi, 0, nullptr, &got), VI_SUCCESS);
    EXPECT_EQ(got, 0);
}

TEST_F(CarrierBadInput, RegisterOffsets) {
    ViUInt16 v;
    for (ViUInt32 offset : {0x01u, 0x05u, 0x13u, 0x20u, 0x22u, 0x1000u, 0xFFFFFFFFu, 0xFFFFFFFEu}) {
        EXPECT_EQ(tarvo_m_in16(mvi, offset, &v), kInvOffset) << std::hex << offset;
        EXPECT_EQ(tarvo_m_out16(mvi, offset, 0), kInvOffset) << std::hex << offset;
    }
}

TEST_F(CarrierBadInput, OutOfRangeValues) {
    EXPECT_EQ(tarvo_m_reset(mvi, 1), kParameter2);
    EXPECT_EQ(tarvo_m_start(mvi, -1), kParameter2);
    EXPECT_EQ(tarvo_m_mode(mvi, 0, 3), kParameter3);
    EXPECT_EQ(tarvo_m_mode(mvi, 0, -1), kParameter3);
    EXPECT_EQ(tarvo_m_trig_length(mvi, -1), kParameter2);
    EXPECT_EQ(tarvo_m_block_size(mvi, 0, 0), kParameter3);
    EXPECT_EQ(tarvo_m_block_size(mvi, 0, -5), kParameter3);
    EXPECT_EQ(tarvo_m_packet_size(mvi, 0, 0), kParameter3);
    EXPECT_EQ(tarvo_m_clock(mvi, 0, 0), kParameter3);
    EXPECT_EQ(tarvo_m_clock(mvi, 0, 15), kParameter3) << "shorter than 1 us";
    EXPECT_EQ(tarvo_m_clock(mvi, 0, 16), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_clock(mvi, 0, -1600), kParameter3);
    EXPECT_EQ(tarvo_m_sample_width(mvi, 0, 0), kParameter3);
    EXPECT_EQ(tarvo_m_first_delay(mvi, 0, -1), kParameter3);
    EXPECT_EQ(tarvo_m_config_event(mvi, 2), kParameter2);
    EXPECT_EQ(tarvo_m_config_trigger(mvi, 0, 0x10000), kParameter3);
    ViUInt32 buffer[4];
    EXPECT_EQ(tarvo_m_read_block(mvi, -1, 4, buffer), kParameter2);
    EXPECT_EQ(tarvo_m_read_block(mvi, 0, -4, buffer), kParameter3);
    ViInt32 got = 7;
    EXPECT_EQ(tarvo_m_read_packet(mvi, -4, buffer, &got), kParameter2);
}

TEST_F(CarrierBadInput, ReadsBeyondTheReservation) {
    ASSERT_EQ(tarvo_m_alloc(mvi, 0, 400, nullptr), VI_SUCCESS);  // 100 samples
    std::vector<ViUInt32> buffer(200);
    EXPECT_EQ(tarvo_m_read_block(mvi, 0, 100, buffer.data()), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_read_block(mvi, 0, 101, buffer.data()), kInvSize);
    EXPECT_EQ(tarvo_m_read_block(mvi, 99, 2, buffer.data()), kInvSize);
    EXPECT_EQ(tarvo_m_read_block(mvi, 0x7FFFFFFF, 0x7FFFFFFF, buffer.data()), kInvSize);
    ViUInt32 memory = 0;
    ASSERT_EQ(tarvo_mem_q(carrier, &memory), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_alloc(mvi, 0, memory + 1, nullptr), kAlloc);
    EXPECT_EQ(tarvo_m_alloc(mvi, 0, 0xFFFFFFFF, nullptr), kAlloc);
    ViUInt32 bytes = 0;
    ASSERT_EQ(tarvo_m_alloc_q(mvi, 0, &bytes, nullptr), VI_SUCCESS);
    EXPECT_EQ(bytes, 400u) << "a refused reservation keeps the old one";
}

}  // namespace
}  // namespace carrier_test

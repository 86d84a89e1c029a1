// Opening and closing carriers and mezzanines, attributes, status texts and
// the guarantees around closing a session whose routine may be running.
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "carrier_fixture.h"

namespace carrier_test {
namespace {

using CarrierSessions = CarrierTest;

TEST_F(CarrierSessions, OpeningNeedsABenchCarrier) {
    ViSession vi = 123;
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>("VXI0::8::INSTR"), 1, 1, &vi), kRsrcNotFound) << "no carrier behind it";
    EXPECT_EQ(vi, 0u);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>("VXI0::99::INSTR"), 1, 1, &vi), kRsrcNotFound);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>("nonsense"), 1, 1, &vi), kRsrcNotFound);
    EXPECT_EQ(tarvo_init(nullptr, 1, 1, &vi), kRsrcNotFound);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 1, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 2, 1, &vi), kParameter2);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 2, &vi), kParameter3);
    // Any accepted spelling of the name, and a second session beside ours.
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>("vxi0::24"), 0, 1, &vi), VI_SUCCESS);
    EXPECT_NE(vi, carrier);
    ViUInt32 reserved = 0;
    ASSERT_EQ(tarvo_m_alloc_q(mvi, 0, &reserved, nullptr), VI_SUCCESS);
    EXPECT_GT(reserved, 0u) << "reset 1 leaves a carrier that others use alone";
    EXPECT_EQ(tarvo_close(vi), VI_SUCCESS);
    EXPECT_EQ(tarvo_close(vi), kInvObject);
}

TEST_F(CarrierSessions, MezzaninePositions) {
    ViSession other = 0;
    EXPECT_EQ(tarvo_m_init(carrier, 1, &other), kRsrcBusy);
    EXPECT_EQ(tarvo_m_init(carrier, 4, &other), kRsrcNotFound) << "empty position";
    EXPECT_EQ(tarvo_m_init(carrier, 0, &other), kParameter2);
    EXPECT_EQ(tarvo_m_init(carrier, 5, &other), kParameter2);
    EXPECT_EQ(tarvo_m_init(carrier, 2, nullptr), kUserBuf);
    EXPECT_EQ(tarvo_m_init(mvi, 2, &other), kInvObject) << "a mezzanine is no carrier";
    // An inert module: registers read 0, acquisitions give zeros.
    ASSERT_EQ(tarvo_m_init(carrier, 2, &other), VI_SUCCESS);
    ViUInt16 v = 0xFFFF;
    ASSERT_EQ(tarvo_m_in16(other, RG_ID, &v), VI_SUCCESS);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(tarvo_m_close(other), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_close(other), kInvObject);
    ViInt16 present = -1, type = -1;
    EXPECT_EQ(tarvo_m_type_q(carrier, 0, &present, &type), kParameter2);
    EXPECT_EQ(tarvo_m_type_q(carrier, 1, nullptr, &type), kUserBuf);
    EXPECT_EQ(tarvo_m_type_q(mvi, 1, &present, &type), kInvObject);
}

TEST_F(CarrierSessions, MemoryReservationsShareTheCarrier) {
    ViUInt32 memory = 0;
    ASSERT_EQ(tarvo_mem_q(carrier, &memory), VI_SUCCESS);
    ViSession third = 0;
    ASSERT_EQ(tarvo_m_init(carrier, 3, &third), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_alloc(third, 0, memory - memory / 4 + 1, nullptr), kAlloc);
    EXPECT_EQ(tarvo_m_alloc(third, 0, memory - memory / 4, nullptr), VI_SUCCESS);
    ViUInt32 bytes = 0, out = 99;
    ASSERT_EQ(tarvo_m_alloc_q(third, 0, &bytes, &out), VI_SUCCESS);
    EXPECT_EQ(bytes, memory - memory / 4);
    // Closing releases the reservation.
    ASSERT_EQ(tarvo_m_close(third), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_init(carrier, 3, &third), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_alloc(third, 0, memory / 2, nullptr), VI_SUCCESS);
    EXPECT_EQ(tarvo_mem_q(carrier, nullptr), kUserBuf);
}

TEST_F(CarrierSessions, AttributesKeepPointerSizedValues) {
    int record = 0;
    const auto pointer = static_cast<ViAttrState>(reinterpret_cast<std::uintptr_t>(&record));
    ASSERT_EQ(tarvo_m_set_attribute(mvi, TARVO_ATTR_USER_DATA, pointer), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_set_attribute(mvi, TARVO_ATTR_MODULE_TYPE, 9), VI_SUCCESS);
    ViAttrState back = 0;
    ASSERT_EQ(tarvo_m_get_attribute(mvi, TARVO_ATTR_USER_DATA, &back), VI_SUCCESS);
    EXPECT_EQ(back, pointer);
    ViUInt16 type = 0;
    ASSERT_EQ(tarvo_m_get_attribute(mvi, TARVO_ATTR_MODULE_TYPE, &type), VI_SUCCESS);
    EXPECT_EQ(type, 9);
    EXPECT_EQ(tarvo_m_get_attribute(mvi, 0x3FFF0001, &back), kNotSupportedAttr);
    EXPECT_EQ(tarvo_m_set_attribute(mvi, 0x3FFF0001, 1), kNotSupportedAttr);
    EXPECT_EQ(tarvo_m_get_attribute(mvi, TARVO_ATTR_USER_DATA, nullptr), kUserBuf);
    // A new session of the position starts without the old value.
    ASSERT_EQ(tarvo_m_close(mvi), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_init(carrier, 1, &mvi), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_get_attribute(mvi, TARVO_ATTR_USER_DATA, &back), VI_SUCCESS);
    EXPECT_EQ(back, 0u);
}

TEST_F(CarrierSessions, StatusTexts) {
    char text[256];
    for (ViStatus s : {kInvObject, kRsrcNotFound, kAlloc, kInvOffset, kUserBuf, kRsrcBusy, kInvSize, kParameter2,
                       kParameter3, kNotSupportedAttr, static_cast<ViStatus>(VI_SUCCESS)}) {
        std::memset(text, 'x', sizeof text);
        ASSERT_EQ(tarvo_error_message(VI_NULL, s, text), VI_SUCCESS) << std::hex << s;
        const std::size_t length = strnlen(text, sizeof text);
        EXPECT_GT(length, 0u);
        EXPECT_LT(length, sizeof text);
    }
    // No text of its own for the module driver's codes.
    for (ViUInt32 s : {0xBFFC0028u, 0xBFFC002Au, 0x12345678u})
        EXPECT_LT(tarvo_error_message(VI_NULL, static_cast<ViStatus>(s), text), 0) << std::hex << s;
    EXPECT_EQ(tarvo_error_message(VI_NULL, kIo, nullptr), kUserBuf);
}

TEST_F(CarrierSessions, ClosingTheCarrierClosesItsMezzanines) {
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    ASSERT_EQ(tarvo_close(carrier), VI_SUCCESS);
    carrier = 0;
    ViInt16 s = 0;
    EXPECT_EQ(tarvo_m_state(mvi, 0, &s), kInvObject);
    // The position is free again.
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 0, &carrier), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_init(carrier, 1, &mvi), VI_SUCCESS);
    EXPECT_EQ(state(), 0);
}

// Routine for the close tests: marks its start, lingers, marks its end, and
// may close its own session.
std::atomic<bool> routineStarted{false};
std::atomic<bool> routineFinished{false};
std::atomic<bool> closeFromRoutine{false};
std::atomic<ViStatus> closeFromRoutineStatus{1};

ViInt16 _VI_FUNCH lingeringRoutine(ViSession session, ViInt32) {
    routineStarted = true;
    ViAttrState record = 0;
    (void)tarvo_m_get_attribute(session, TARVO_ATTR_USER_DATA, &record);
    if (closeFromRoutine) closeFromRoutineStatus = tarvo_m_close(session);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    routineFinished = true;
    return 1;
}

TEST_F(CarrierSessions, CloseWaitsForARunningRoutine) {
    routineStarted = routineFinished = closeFromRoutine = false;
    ASSERT_EQ(tarvo_m_handler(mvi, lingeringRoutine), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, 4));
    while (!routineStarted) std::this_thread::yield();
    ASSERT_EQ(tarvo_m_close(mvi), VI_SUCCESS);
    EXPECT_TRUE(routineFinished);
}

TEST_F(CarrierSessions, ARoutineMayCloseItsOwnSession) {
    routineStarted = routineFinished = false;
    closeFromRoutine = true;
    ASSERT_EQ(tarvo_m_handler(mvi, lingeringRoutine), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
    ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, 4));
    bench::testing::waitForEvents();
    EXPECT_TRUE(routineFinished);
    EXPECT_EQ(closeFromRoutineStatus.load(), VI_SUCCESS);
    EXPECT_FALSE(bench::testing::raiseEvent(kCarrier, 1, 4)) << "no session holds the position any more";
    ViInt16 s = 0;
    EXPECT_EQ(tarvo_m_state(mvi, 0, &s), kInvObject);
    closeFromRoutine = false;
}

TEST_F(CarrierSessions, NoEventAfterCloseReturns) {
    routineStarted = routineFinished = closeFromRoutine = false;
    ASSERT_EQ(tarvo_m_handler(mvi, lingeringRoutine), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_packet_size(mvi, 0, 1), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.0001);
    ASSERT_EQ(tarvo_m_close(mvi), VI_SUCCESS);
    routineStarted = false;
    bench::testing::advanceSeconds(0.01);
    EXPECT_FALSE(routineStarted);
}

}  // namespace
}  // namespace carrier_test

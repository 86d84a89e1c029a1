// Shared set-up of the acceptance tests: a fresh fake carrier and, for most
// tests, a module session opened on it.
#ifndef LUMEX_ACCEPTANCE_FIXTURE_H
#define LUMEX_ACCEPTANCE_FIXTURE_H

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fake_carrier.h"
#include "lumex.h"

namespace acceptance {

inline constexpr ViUInt32 RG_ID = 0x02;
inline constexpr ViUInt32 RG_COM1 = 0x04;
inline constexpr ViUInt32 RG_PERIOD = 0x06;
inline constexpr ViUInt32 RG_IMASK = 0x08;
inline constexpr ViUInt32 RG_STATE = 0x0A;
inline constexpr ViUInt32 RG_COM3 = 0x0C;
inline constexpr ViUInt32 RG_STATE2 = 0x10;
inline constexpr ViUInt32 RG_LOAD1 = 0x12;
inline constexpr ViUInt32 RG_LOAD3 = 0x14;

// The acceptance tests run the driver's waits on simulated time: a sleep
// moves this clock on at once, and every polling round by a millisecond.
std::chrono::nanoseconds simulatedNow();

// Windows-1251 bytes of a UTF-8 text, as the driver hands them out.
std::string cp1251(const std::string& utf8);

class FakeCarrierTest : public ::testing::Test {
protected:
    void SetUp() override { fake().clear(); }
    static fake::FakeCarrier& fake() { return fake::FakeCarrier::instance(); }
};

// A session opened with identification and reset, carrier memory reserved.
class OpenSessionTest : public FakeCarrierTest {
protected:
    void SetUp() override;
    void TearDown() override;
    ViStatus reopen(ViBoolean idQuery, ViBoolean reset);
    ViUInt16 reg(ViUInt32 offset) { return fake().reg(vi, offset); }
    std::string message(ViStatus status);

    ViSession vi = VI_NULL;
};

} // namespace acceptance

#endif

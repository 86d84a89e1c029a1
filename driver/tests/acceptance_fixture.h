// Shared set-up of the acceptance tests: a fresh fake carrier and, for most
// tests, a module session opened on it.
#ifndef LUMEX_ACCEPTANCE_FIXTURE_H
#define LUMEX_ACCEPTANCE_FIXTURE_H

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "cp1251_text.h"
#include "fake_carrier.h"
#include "lumex.h"
#include "lumex_registers.h"

namespace acceptance {

// The module's registers, by the driver's names.
using lumex::RG_COM1;
using lumex::RG_COM3;
using lumex::RG_ID;
using lumex::RG_IMASK;
using lumex::RG_LOAD1;
using lumex::RG_LOAD3;
using lumex::RG_PERIOD;
using lumex::RG_STATE;
using lumex::RG_STATE2;

// The acceptance tests run the driver's waits on simulated time: a sleep
// moves this clock on at once, and every polling round by a millisecond.
std::chrono::nanoseconds simulatedNow();

using driver_test::cp1251;

// Carrier calls the tests expect, named by what the driver does with them.
using CallNames = std::vector<std::string>;
// Each group's control register read, changed and read back (relays, reset bits).
extern const CallNames kUpdateBothControls;
// Each group's threshold written into its control register, read back, then loaded.
extern const CallNames kWriteBothThresholds;
// The sequences one after the other.
CallNames joinCalls(std::initializer_list<CallNames> parts);

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

// An open session whose carrier events reach the driver's interrupt routine.
// The tests' user handlers keep what they see in globals, which
// clearHandlerState() clears first so that no earlier test's events count.
class EventSessionTest : public OpenSessionTest {
protected:
    void SetUp() override;
    virtual void clearHandlerState() = 0;
};

}  // namespace acceptance

#endif

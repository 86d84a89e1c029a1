// Exclusive and shared locks between sessions, with short time-outs.
#include <chrono>
#include <thread>

#include "visa_fixture.h"

namespace {

using Locks = VisaTest;

TEST_F(Locks, SecondSessionWaitsItsTimeOutThenFails) {
    const ViSession a = open(kUsbBox);
    const ViSession b = open(kUsbBox);
    ASSERT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 30, VI_NULL, VI_NULL), VI_ERROR_TMO);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    // The locked-out session may read attributes but not talk to the device.
    ViUInt16 type = 0;
    EXPECT_EQ(viGetAttribute(b, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
    ViChar reply[256];
    EXPECT_EQ(viQueryf(b, "*IDN?\n", "%t", reply), VI_ERROR_RSRC_LOCKED);
    ViAccessMode state = 0;
    ASSERT_EQ(viGetAttribute(b, VI_ATTR_RSRC_LOCK_STATE, &state), VI_SUCCESS);
    EXPECT_EQ(state, static_cast<ViAccessMode>(VI_EXCLUSIVE_LOCK));
    EXPECT_EQ(viQueryf(a, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_EQ(viUnlock(a), VI_SUCCESS);
    EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
    EXPECT_EQ(viUnlock(b), VI_SUCCESS);
}

TEST_F(Locks, NestedLocksOfOneSessionCount) {
    const ViSession a = open(kVxiCarrier);
    const ViSession b = open(kVxiCarrier);
    ASSERT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
    ASSERT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS_NESTED_EXCLUSIVE);
    EXPECT_EQ(viUnlock(a), VI_SUCCESS_NESTED_EXCLUSIVE);
    EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_ERROR_TMO);
    EXPECT_EQ(viUnlock(a), VI_SUCCESS);
    EXPECT_EQ(viUnlock(a), VI_ERROR_SESN_NLOCKED);
    EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
}

TEST_F(Locks, WaiterGetsTheLockWhenItIsReleased) {
    const ViSession a = open(kUsbBox);
    const ViSession b = open(kUsbBox);
    ASSERT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS);
    ViStatus waited = VI_ERROR_SYSTEM_ERROR;
    std::thread waiter([&] { waited = viLock(b, VI_EXCLUSIVE_LOCK, 5000, VI_NULL, VI_NULL); });
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(viClose(a), VI_SUCCESS);  // closing drops the lock
    waiter.join();
    EXPECT_EQ(waited, VI_SUCCESS);
}

TEST_F(Locks, SharedLocksByKey) {
    const ViSession a = open(kUsbBox);
    const ViSession b = open(kUsbBox);
    const ViSession c = open(kUsbBox);
    ViChar key[256];
    ASSERT_EQ(viLock(a, VI_SHARED_LOCK, 0, "bench", key), VI_SUCCESS);
    EXPECT_STREQ(key, "bench");
    EXPECT_EQ(viLock(b, VI_SHARED_LOCK, 0, "bench", key), VI_SUCCESS);
    EXPECT_EQ(viLock(c, VI_SHARED_LOCK, 0, "other", key), VI_ERROR_INV_ACCESS_KEY);
    EXPECT_EQ(viLock(c, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_ERROR_TMO);
    ViChar reply[256];
    EXPECT_EQ(viQueryf(c, "*IDN?\n", "%t", reply), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(viQueryf(b, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_EQ(viLock(a, 7, 0, VI_NULL, key), VI_ERROR_INV_LOCK_TYPE);
}

TEST_F(Locks, OpenWithExclusiveAccess) {
    ViSession a = VI_NULL, b = VI_NULL;
    ASSERT_EQ(viOpen(rm, kVxiCarrier, VI_EXCLUSIVE_LOCK, 0, &a), VI_SUCCESS);
    EXPECT_EQ(viOpen(rm, kVxiCarrier, VI_EXCLUSIVE_LOCK, 10, &b), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(b, static_cast<ViSession>(VI_NULL));
}

}  // namespace

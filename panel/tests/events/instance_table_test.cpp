// The instance table: lookups by session skip empty entries and never take
// session 0, removal touches only the instance's own entry, the open set
// tells a live instance from a stale handle, and the interrupt handler can
// look instances up while the UI thread opens and closes them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "instance_table.h"
#include "pending_events.h"

namespace {

class InstanceTable : public ::testing::Test {
protected:
    void SetUp() override { instances::resetForTests(); }
    void TearDown() override { instances::resetForTests(); }
};

}  // namespace

TEST_F(InstanceTable, PositionsOutsideOneToFourAreRefused) {
    SorviInstance a;
    EXPECT_FALSE(instances::put(0, 5, &a));
    EXPECT_FALSE(instances::put(5, 5, &a));
    EXPECT_FALSE(instances::put(-1, 5, &a));
    for (int i = 0; i < instances::kTableEntries; ++i) EXPECT_EQ(instances::entry(i).instance, nullptr);
    EXPECT_EQ(instances::entry(99).instance, nullptr);
}

TEST_F(InstanceTable, DemoInstancesAndEmptyEntriesNeverMatchALookup) {
    SorviInstance a;
    SorviInstance b;
    instances::put(1, 0, &a);
    instances::put(3, 0, &b);
    int calls = 0;
    EXPECT_FALSE(instances::withInstanceOfSession(0, [&](SorviInstance&, std::uint64_t) { ++calls; }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(interrupt_handle(0, 1), -1);
    EXPECT_EQ(a.dataPending.load(), 0);
}

TEST_F(InstanceTable, LookupFindsTheInstanceOfTheSession) {
    SorviInstance a;
    SorviInstance b;
    const auto serialB = instances::open(&b);
    instances::put(2, 0x111, &a);
    instances::put(4, 0x222, &b);
    SorviInstance* found = nullptr;
    std::uint64_t serial = 0;
    EXPECT_TRUE(instances::withInstanceOfSession(0x222, [&](SorviInstance& i, std::uint64_t s) {
        found = &i;
        serial = s;
    }));
    EXPECT_EQ(found, &b);
    EXPECT_EQ(serial, serialB);
    EXPECT_FALSE(instances::withInstanceOfSession(0x333, [](SorviInstance&, std::uint64_t) {}));
}

TEST_F(InstanceTable, ClosingClearsOnlyTheInstancesOwnEntry) {
    SorviInstance a;
    SorviInstance b;
    instances::open(&a);
    instances::open(&b);
    instances::put(1, 0, &a);
    instances::put(2, 0, &b);
    instances::close(&b);
    EXPECT_EQ(instances::entry(1).instance, &a);
    EXPECT_EQ(instances::entry(2).instance, nullptr);
    EXPECT_TRUE(instances::isOpen(&a));
    EXPECT_FALSE(instances::isOpen(&b));
    // An instance whose entry was taken over by another one leaves that one alone.
    SorviInstance c;
    instances::open(&c);
    instances::put(1, 0, &c);
    instances::close(&a);
    EXPECT_EQ(instances::entry(1).instance, &c);
}

TEST_F(InstanceTable, SerialTellsAReopenedAddressFromTheOldInstance) {
    SorviInstance a;
    const auto first = instances::open(&a);
    instances::close(&a);
    const auto second = instances::open(&a);
    EXPECT_NE(first, second);
    EXPECT_FALSE(instances::isOpen(&a, first));
    EXPECT_TRUE(instances::isOpen(&a, second));
    EXPECT_FALSE(instances::isOpen(nullptr));
}

TEST_F(InstanceTable, HandlerMarksEventsByKind) {
    SorviInstance a;
    instances::open(&a);
    instances::put(2, 0x42, &a);
    EXPECT_EQ(interrupt_handle(0x42, 2), 1);
    EXPECT_EQ(a.dataPending.load(), 2);
    EXPECT_EQ(interrupt_handle(0x42, 1), 1);
    EXPECT_EQ(a.dataPending.load(), 1);  // a second data event overwrites the first
    EXPECT_EQ(interrupt_handle(0x42, -4), 1);
    EXPECT_EQ(a.errorPending.load(), -4);
    EXPECT_EQ(interrupt_handle(0x43, -1), -1);
    EXPECT_EQ(a.errorPending.load(), -4);
}

// The handler runs on the carrier's thread while the UI thread opens and
// frees instances; under ASan a lookup that reached a freed instance fails.
TEST_F(InstanceTable, HandlerOnAnotherThreadNeverSeesAFreedInstance) {
    std::atomic<bool> stop{false};
    std::atomic<long> delivered{0};
    std::thread carrier([&] {
        while (!stop.load()) {
            for (ViSession s = 1; s <= 4; ++s)
                if (interrupt_handle(s, 2) == 1) ++delivered;
        }
    });
    for (int round = 0; round < 300; ++round) {
        const int position = 1 + round % 4;
        auto* inst = new SorviInstance{};
        instances::open(inst);
        instances::put(position, position, inst);
        std::this_thread::yield();
        instances::close(inst);
        delete inst;
    }
    // One instance stays until the carrier's thread has surely met it, so
    // the test never passes without an event crossing the threads.
    auto* last = new SorviInstance{};
    instances::open(last);
    instances::put(2, 2, last);
    // The wait is on the last instance's own mark: the count of deliveries
    // may still grow by one that reached an earlier instance just before it
    // left the table.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (last->dataPending.load() != 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    instances::close(last);
    stop = true;
    carrier.join();
    EXPECT_GT(delivered.load(), 0);
    EXPECT_EQ(last->dataPending.load(), 2);
    delete last;
    for (int i = 1; i < instances::kTableEntries; ++i) EXPECT_EQ(instances::entry(i).instance, nullptr);
}

// Instances on the simulated bench: the driver opening, identification on
// VXI, USB and TCP/IP carriers, memory, failures shown in the init pop-up,
// and carrier events reaching the right instance until its teardown.
#include <gtest/gtest.h>

#include "bench_test_interface.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;

namespace {

constexpr const char* kVxi = "VXI0::24::INSTR";
constexpr const char* kUsb = "USB0::0x0E76::0x1004::0457::0::INSTR";

class BenchInstance : public ::testing::Test {
protected:
    void SetUp() override {
        tk::resetScript();
        bench::testing::resetBench();
    }
    void TearDown() override {
        for (ViSession c : carriers_) tarvo_close(c);
        bench::testing::resetBench();
        tk::resetScript();
    }

    ViSession openCarrier(const char* name) {
        ViSession carrier = 0;
        const ViStatus status = tarvo_init(const_cast<ViRsrc>(name), VI_TRUE, VI_FALSE, &carrier);
        EXPECT_GE(status, 0) << name;
        if (status >= 0) carriers_.push_back(carrier);
        return carrier;
    }

    // sorvi_init expected to fail: answers the pop-up and checks it.
    ViStatus initFailing(ViSession carrier, int position) {
        const auto before = tk::messagePopupsSeen().size();
        tk::startScript("answer");
        sorvi_handle handle = 77;
        const ViStatus status = sorvi_init(carrier, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &handle);
        EXPECT_EQ(handle, 0);
        const auto seen = tk::messagePopupsSeen();
        EXPECT_EQ(seen.size(), before + 1);
        if (!seen.empty()) {
            EXPECT_EQ(seen.back().title, "Ошибка инициализации");
        }
        return status;
    }

    std::vector<ViSession> carriers_;
};

}  // namespace

TEST_F(BenchInstance, VxiPositionOpensWithThresholdMemoryAndTitle) {
    const ViSession carrier = openCarrier(kVxi);
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier, 1, handle), 0);
    SorviInstance* inst = instanceOf(handle);
    EXPECT_NE(inst->session, 0);
    EXPECT_EQ(inst->crate, 0);
    EXPECT_EQ(inst->slot, 3);
    EXPECT_STREQ(inst->title, "кр.0, сл.3, мез.№ 1");
    EXPECT_EQ(inst->memorySize, 16 * 1024 * 1024 / 16);
    ViInt32 allocated = 0;
    EXPECT_GE(lumex_alloc_q(inst->session, &allocated), 0);
    EXPECT_EQ(allocated, inst->memorySize);
    ViReal64 volts = 0;
    EXPECT_GE(lumex_set_porog_q(inst->session, &volts), 0);
    EXPECT_DOUBLE_EQ(volts, 2.0);
    EXPECT_EQ(instances::entry(1).instance, inst);
    EXPECT_EQ(instances::entry(1).session, inst->session);

    const ViSession session = inst->session;
    EXPECT_EQ(displayAndRun(handle,
                            [](SorviInstance& i) {
                                EXPECT_EQ(title(i.mainPanel), "СОРВИ крейт 0, слот 3, М-Модуль 1");
                                EXPECT_EQ(shown(i.mainPanel, MP_BASE_MEM), "1048576");
                            }),
              0);
    ViInt16 state = 0;
    EXPECT_LT(lumex_state(session, &state), 0) << "teardown closed the driver session";
    EXPECT_EQ(instances::entry(1).instance, nullptr);
}

TEST_F(BenchInstance, UsbCarrierIsNamedByResource) {
    const ViSession usb = openCarrier(kUsb);
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(usb, 1, handle), 0);
    EXPECT_EQ(instanceOf(handle)->crate, 0);
    EXPECT_EQ(instanceOf(handle)->slot, 0);
    EXPECT_EQ(std::string(instanceOf(handle)->title), std::string(kUsb) + ", мез.№ 1");
    EXPECT_EQ(displayAndRun(
                  handle, [](SorviInstance& i) { EXPECT_EQ(title(i.mainPanel), "СОРВИ крейт 0, слот 0, М-Модуль 1"); }),
              0);
}

TEST_F(BenchInstance, WrongModuleOrEmptyPositionFailsInThePopup) {
    const ViSession carrier = openCarrier(kVxi);
    ASSERT_TRUE(bench::testing::setModuleId(kVxi, 1, 5));
    EXPECT_LT(initFailing(carrier, 1), 0);
    EXPECT_LT(initFailing(carrier, 2), 0) << "position 2 holds another module type";
    EXPECT_LT(initFailing(carrier, 4), 0) << "position 4 is empty";
    for (int i = 0; i < instances::kTableEntries; ++i) EXPECT_EQ(instances::entry(i).instance, nullptr);

    // The failed openings left no session behind: the position opens now.
    ASSERT_TRUE(bench::testing::setModuleId(kVxi, 1, 9));
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier, 1, handle), 0);
    EXPECT_EQ(displayAndRun(handle), 0);
}

TEST_F(BenchInstance, LateFailureClosesTheSessionAndSparesOtherEntries) {
    const sorvi_handle demo = openDemo(3);
    ASSERT_NE(demo, 0);
    const ViSession carrier = openCarrier(kVxi);
    bench::testing::failNext("tarvo_mem_q", VI_ERROR_INV_SETUP);
    EXPECT_EQ(initFailing(carrier, 3), VI_ERROR_INV_SETUP);
    EXPECT_EQ(instances::entry(3).instance, instanceOf(demo));
    // The module session was closed: the position opens again.
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier, 3, handle), 0);
    EXPECT_EQ(displayAndRun(handle), 0);
    EXPECT_EQ(displayAndRun(demo), 0);
}

TEST_F(BenchInstance, CarrierEventsReachTheirInstanceUntilTeardown) {
    const ViSession carrier = openCarrier(kVxi);
    sorvi_handle first = 0;
    sorvi_handle third = 0;
    ASSERT_EQ(initAnswered(carrier, 1, first), 0);
    ASSERT_EQ(initAnswered(carrier, 3, third), 0);
    SorviInstance* a = instanceOf(first);
    SorviInstance* b = instanceOf(third);
    ASSERT_GE(lumex_mask_interrupt(a->session, VI_TRUE), 0);  // as "Прерывания: Разрешить" does
    ASSERT_GE(lumex_mask_interrupt(b->session, VI_TRUE), 0);

    ASSERT_TRUE(bench::testing::raiseEvent(kVxi, 3, 4));  // packet ready
    bench::testing::waitForEvents();
    EXPECT_EQ(b->dataPending.load(), 2);
    EXPECT_EQ(a->dataPending.load(), 0);
    ASSERT_TRUE(bench::testing::raiseEvent(kVxi, 1, 0));  // FIFO overflow
    bench::testing::waitForEvents();
    EXPECT_EQ(a->errorPending.load(), -4);
    EXPECT_EQ(b->errorPending.load(), 0);

    // A carrier reset comes as a deferred call; the instance ends before it
    // runs, and the call must then leave it alone.
    ASSERT_TRUE(bench::testing::raiseEvent(kVxi, 1, 10));
    bench::testing::waitForEvents();
    releaseInstance(a);
    tk::processEvents();
    EXPECT_FALSE(bench::testing::raiseEvent(kVxi, 1, 4)) << "no session holds position 1 any more";

    EXPECT_EQ(displayAndRun(third), 0);
}

// A module on a TCP/IP (LXI) carrier: named by the carrier's resource, no
// crate or slot. Runs on a bench file of its own (set in main).
#include <gtest/gtest.h>
#include <paneltk/paneltk.h>

#include <cstdlib>

#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;

namespace {
constexpr const char* kBox = "TCPIP0::192.168.1.20::inst0::INSTR";
}

TEST(LxiCarrier, TitleIsTheResourceNameAndPosition) {
    ViSession carrier = 0;
    ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kBox), VI_TRUE, VI_FALSE, &carrier), 0);
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier, 2, handle), 0);
    SorviInstance* inst = instanceOf(handle);
    EXPECT_EQ(std::string(inst->title), std::string(kBox) + ", мез.№ 2");
    EXPECT_EQ(inst->crate, 0);
    EXPECT_EQ(inst->slot, 0);
    EXPECT_EQ(inst->memorySize, 4 * 1024 * 1024 / 16);
    EXPECT_EQ(displayAndRun(handle,
                            [](SorviInstance& i) {
                                EXPECT_EQ(title(i.mainPanel), "СОРВИ крейт 0, слот 0, М-Модуль 2");
                                EXPECT_EQ(title(i.resultsPanel),
                                          "Просмотр результатов СОРВИ крейт 0, слот 0, М-Модуль 2");
                            }),
              0);
    tarvo_close(carrier);
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SORVI_BENCH", SORVI_LXI_BENCH, 1);
    ::testing::InitGoogleTest(&argc, argv);
    if (tk::initRuntime(argc, argv) != tk::OK) return 1;
    return RUN_ALL_TESTS();
}

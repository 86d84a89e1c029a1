// A carrier with its four modules open at once, each instance's loop nested
// in the one opened before: whichever loop turns fetches for all of them, by
// polling or on the modules' events. Every result file holds exactly its own
// module's frames, one after another, while another module is stopped, has
// its panels closed or overflows its FIFO; and the instances end cleanly,
// the outer one first or the inner one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "full_carrier_fixture.h"
#include "lumex.h"

using namespace sorvi_test;

namespace {

ViInt16 moduleState(const SorviInstance& inst) {
    ViInt16 state = -1;
    lumex_state(inst.session, &state);
    return state;
}

struct Layout {
    std::vector<int> positions;
    bool interrupts;
};

std::string layoutName(const ::testing::TestParamInfo<Layout>& info) {
    return std::to_string(info.param.positions.size()) + "Modules" + (info.param.interrupts ? "OnEvents" : "Polled");
}

class FullCarrierLayouts : public FullCarrier, public ::testing::WithParamInterface<Layout> {};

}  // namespace

// One second at 0.1 ms on every module: each fetched while the run goes on,
// and after the stop each file holds all of its module's 10 000 frames.
TEST_P(FullCarrierLayouts, EveryModuleKeepsEveryFrame) {
    const Layout layout = GetParam();
    std::vector<int> readWhileRunning;
    openNested(layout.positions, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst, layout.interrupts);
        pump_.run(1.0, [&] {
            for (SorviInstance* inst : instances_) {
                readWhileRunning.push_back(inst->totalRead);
                tk::callCallback(inst->mainPanel, MP_STOP);
            }
            pump_.run(0.1, [&] { closeAll(); });
        });
    });
    ASSERT_EQ(readWhileRunning.size(), layout.positions.size());
    for (std::size_t k = 0; k < layout.positions.size(); ++k) {
        const int position = layout.positions[k];
        SCOPED_TRACE("position " + std::to_string(position));
        EXPECT_GE(readWhileRunning[k], 8000);
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_GE(check.frames, 9800u);
        EXPECT_LE(check.frames, 10010u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Carrier, FullCarrierLayouts,
                         ::testing::Values(Layout{{1, 3}, false}, Layout{{1, 3}, true}, Layout{{1, 2, 3, 4}, false},
                                           Layout{{1, 2, 3, 4}, true}),
                         layoutName);

// Module 2 is stopped and module 3 (an outer instance) is left with "ДА":
// module 3 stops and its panels go at once, its record stays until its own
// loop ends; modules 1 and 4 go on acquiring, every frame in their files.
TEST_F(FullCarrier, OneStoppedAndOneClosedWhileTheOthersAcquire) {
    std::vector<std::size_t> framesAtStop(5, 0);
    bool closedKeptItsRecord = false;
    openNested({1, 2, 3, 4}, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst);
        // Lambdas below run after the ones that set them off have returned:
        // they reach the instances through the fixture only.
        pump_.run(0.5, [&] {
            tk::callCallback(instances_[1]->mainPanel, MP_STOP);
            tk::callCallback(instances_[2]->mainPanel, MP_MP_EXIT);
            pump_.run(0.05, [&] {
                // The loop asked for confirmation; "ДА".
                tk::callCallback(instances_[2]->exitPopup, EXIT_POPUP_EXIT_YES);
                pump_.run(0.05, [&] {
                    const SorviInstance& third = *instances_[2];
                    EXPECT_EQ(moduleState(third), 0);
                    EXPECT_FALSE(visible(third.mainPanel));
                    EXPECT_FALSE(visible(third.chartPanel));
                    closedKeptItsRecord = instances::isOpen(&third);
                    framesAtStop[2] = checkCounting(fileOf(2), 2).frames;
                    framesAtStop[3] = checkCounting(fileOf(3), 3).frames;
                    pump_.run(0.5, [&] {
                        for (SorviInstance* inst : {instances_[0], instances_[3]})
                            tk::callCallback(inst->mainPanel, MP_STOP);
                        pump_.run(0.1, [&] { closeAll(); });
                    });
                });
            });
        });
    });
    EXPECT_TRUE(closedKeptItsRecord);
    for (int position : {1, 4}) {
        SCOPED_TRACE("position " + std::to_string(position));
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_GE(check.frames, 10900u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
    // The stopped module has all of its 5000 frames; the closed one those
    // fetched before "ДА" (what its module held then goes with it).
    for (int position : {2, 3}) {
        SCOPED_TRACE("position " + std::to_string(position));
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_GE(check.frames, position == 2 ? 4990u : 3900u);
        EXPECT_EQ(check.frames, framesAtStop[position]) << "frames added after the stop";
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
}

// A FIFO overflow on module 2 stops it and raises its error panel; the
// other three go on, none of their frames lost.
TEST_F(FullCarrier, AFifoOverflowOnOneModuleDisturbsNoOther) {
    std::string label;
    int stopDimmed = -1;
    openNested({1, 2, 3, 4}, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst, true);
        pump_.run(0.3, [&] {
            ASSERT_TRUE(bench::testing::raiseEvent(kFullCarrier, 2, 0));
            pump_.run(0.7, [&] {
                tk::getAttribute(instances_[1]->errorPanel, EP_LED, tk::ATTR_LABEL_TEXT, label);
                stopDimmed = dimmed(instances_[1]->mainPanel, MP_STOP);
                tk::removeAllPopups();
                for (SorviInstance* inst : instances_) tk::callCallback(inst->mainPanel, MP_STOP);
                pump_.run(0.1, [&] { closeAll(); });
            });
        });
    });
    EXPECT_EQ(label, "переполнение FIFO");
    EXPECT_EQ(stopDimmed, 1);
    const CountCheck overflowed = checkCounting(fileOf(2), 2);
    EXPECT_LE(overflowed.frames, 3100u);
    EXPECT_EQ(overflowed.foreign, 0u);
    for (int position : {1, 3, 4}) {
        SCOPED_TRACE("position " + std::to_string(position));
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_GE(check.frames, 9990u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
}

// The host closes the outer instance first: it stops and hides at once, the
// inner one goes on; it is released only when its own loop ends, after the
// inner one's. Then the other way round: the inner instance ends and is
// released at once, and the outer one goes on, served by its own loop.
TEST_F(FullCarrier, OuterOrInnerInstanceClosedFirst) {
    bool outerAliveAfterClose = false;
    int innerReadBefore = 0;
    int innerReadAfter = 0;
    openNested({1, 3}, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst);
        pump_.run(0.2, [&] {
            sorvi_handle handle = handles_[0];
            EXPECT_EQ(sorvi_close(&handle), 0);
            pump_.run(0.05, [&] {
                EXPECT_EQ(moduleState(*instances_[0]), 0);
                EXPECT_FALSE(visible(instances_[0]->mainPanel));
                outerAliveAfterClose = instances::isOpen(instances_[0]);
                innerReadBefore = instances_[1]->totalRead;
                pump_.run(0.2, [&] {
                    innerReadAfter = instances_[1]->totalRead;
                    closeAll();
                });
            });
        });
    });
    EXPECT_TRUE(outerAliveAfterClose);
    EXPECT_GE(innerReadAfter - innerReadBefore, 1500);
    EXPECT_EQ(instances::entry(1).instance, nullptr);
    EXPECT_EQ(instances::entry(3).instance, nullptr);

    int outerReadBefore = 0;
    int outerReadAfter = 0;
    bool innerGone = false;
    openNested({1, 3}, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst);
        pump_.run(0.2, [&] {
            sorvi_handle handle = handles_[1];
            EXPECT_EQ(sorvi_close(&handle), 0);
            pump_.run(0.05, [&] {
                innerGone = instances::entry(3).instance == nullptr;
                outerReadBefore = instances_[0]->totalRead;
                pump_.run(0.2, [&] {
                    outerReadAfter = instances_[0]->totalRead;
                    closeAll();
                });
            });
        });
    });
    EXPECT_TRUE(innerGone);
    EXPECT_GE(outerReadAfter - outerReadBefore, 1500);
    EXPECT_EQ(instances::entry(1).instance, nullptr);
}

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

struct Layout {
    std::vector<int> positions;
    bool interrupts;
};

std::string layoutName(const ::testing::TestParamInfo<Layout>& info) {
    return std::to_string(info.param.positions.size()) + "Modules" + (info.param.interrupts ? "OnEvents" : "Polled");
}

class FullCarrierLayouts : public FullCarrier, public ::testing::WithParamInterface<Layout> {};

}  // namespace

// One second at 0.1 ms on every module: each fetched while the run goes on;
// after the stop the loops fetch what the modules still hold, so each file
// has all of its module's 10 000 frames before the panels close.
TEST_P(FullCarrierLayouts, EveryModuleKeepsEveryFrame) {
    const Layout layout = GetParam();
    std::vector<int> readWhileRunning;
    std::vector<std::size_t> framesBeforeClose;
    openNested(layout.positions, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst, layout.interrupts);
        pump_.run(1.0, [&] {
            for (SorviInstance* inst : instances_) {
                readWhileRunning.push_back(inst->totalRead);
                tk::callCallback(inst->mainPanel, MP_STOP);
            }
            const auto allFetched = [&] {
                for (const SorviInstance* inst : instances_)
                    if (inst->totalRead != 10000 || inst->dataPending.load() != 0) return false;
                return true;
            };
            pump_.waitFor(allFetched, [&] {
                for (const SorviInstance* inst : instances_)
                    framesBeforeClose.push_back(checkCounting(fileOf(inst->mezIndex), inst->mezIndex).frames);
                closeAll();
            });
        });
    });
    ASSERT_EQ(readWhileRunning.size(), layout.positions.size());
    ASSERT_EQ(framesBeforeClose.size(), layout.positions.size());
    for (std::size_t k = 0; k < layout.positions.size(); ++k) {
        const int position = layout.positions[k];
        SCOPED_TRACE("position " + std::to_string(position));
        EXPECT_GE(readWhileRunning[k], 8000);
        EXPECT_EQ(framesBeforeClose[k], 10000u);
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_EQ(check.frames, 10000u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Carrier, FullCarrierLayouts,
                         ::testing::Values(Layout{{1, 3}, false}, Layout{{1, 3}, true}, Layout{{1, 2, 3, 4}, false},
                                           Layout{{1, 2, 3, 4}, true}),
                         layoutName);

// Each instance ends in the very turn its run ends, before any loop could
// fetch what its module still holds: "Останов" then "ДА" on the outermost,
// the host's close on a running one, "ДА" on a running one, "Останов" then
// the host's close on the innermost. Whatever each module acquired up to
// its stop still reaches its file.
TEST_F(FullCarrier, EndingRightAfterTheRunLosesNoFrame) {
    openNested({1, 2, 3, 4}, [&] {
        for (SorviInstance* inst : instances_) startRun(*inst);
        pump_.run(1.0, [&] {
            // No clock step is pending: every module has exactly 10 000
            // frames when its instance ends.
            SorviInstance& first = *instances_[0];
            tk::callCallback(first.mainPanel, MP_STOP);
            tk::callCallback(first.exitPopup, EXIT_POPUP_EXIT_YES);
            sorvi_handle second = handles_[1];
            sorvi_close(&second);
            tk::callCallback(instances_[2]->exitPopup, EXIT_POPUP_EXIT_YES);
            tk::callCallback(instances_[3]->mainPanel, MP_STOP);
            sorvi_handle fourth = handles_[3];
            sorvi_close(&fourth);
        });
    });
    for (int position : {1, 2, 3, 4}) {
        SCOPED_TRACE("position " + std::to_string(position));
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_EQ(check.frames, 10000u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
        EXPECT_EQ(instances::entry(position).instance, nullptr);
    }
}

// Module 2 is stopped and module 3 (an outer instance) is left with "ДА":
// module 3 stops and its panels go at once, with every frame it acquired in
// its file; its record stays until its own loop ends. Modules 1 and 4 go on
// acquiring, every frame in their files.
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
                // The clock stands still until a loop has ended module 3's work.
                const auto thirdStopped = [&] { return moduleState(*instances_[2]) == 0; };
                pump_.waitFor(thirdStopped, [&] {
                    const SorviInstance& third = *instances_[2];
                    EXPECT_EQ(moduleState(third), 0);
                    EXPECT_FALSE(visible(third.mainPanel));
                    EXPECT_FALSE(visible(third.chartPanel));
                    closedKeptItsRecord = instances::isOpen(&third);
                    framesAtStop[2] = checkCounting(fileOf(2), 2).frames;
                    framesAtStop[3] = checkCounting(fileOf(3), 3).frames;
                    pump_.run(0.55, [&] {
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
        EXPECT_EQ(check.frames, 11000u);
        EXPECT_EQ(check.breaks, 0u);
        EXPECT_EQ(check.foreign, 0u);
    }
    // The stopped module has all of its 5000 frames; the closed one all it
    // acquired until "ДА" stopped it, 0.55 s.
    for (int position : {2, 3}) {
        SCOPED_TRACE("position " + std::to_string(position));
        const CountCheck check = checkCounting(fileOf(position), position);
        EXPECT_EQ(check.frames, position == 2 ? 5000u : 5500u);
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
        EXPECT_EQ(check.frames, 10000u);
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

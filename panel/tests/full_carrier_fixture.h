// Tests with several modules of one carrier open at once, each instance
// displayed from inside the loop of the one opened before it, as a host
// opens them one after another. The carrier is the bench file
// four-counters.yaml: four SORVI modules whose frames count up, each with a
// fixed pattern of its own in channels 17-32. Time is the bench's virtual
// clock, moved on by a deferred call between the loops' turns, so whichever
// loop turns does the fetching.
#pragma once

#include <gtest/gtest.h>

#include <paneltk/paneltk.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_loader.h"
#include "bench_test_interface.h"
#include "data_path_fixture.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

namespace sorvi_test {

inline constexpr const char* kFullCarrier = "VXI0::24::INSTR";

// The fixed pattern of channels 17-32 of the module at a position.
inline std::uint32_t signatureOf(int position) {
    return 0x5A00u | (static_cast<std::uint32_t>(position) << 4) | static_cast<std::uint32_t>(position);
}

// What a result file holds, checked frame by frame against its module.
struct CountCheck {
    std::size_t frames = 0;
    std::size_t breaks = 0;   // a frame that is not the one before it plus one
    std::size_t foreign = 0;  // a frame without the module's pattern
};

inline CountCheck checkCounting(const std::filesystem::path& file, int position) {
    CountCheck check;
    const std::vector<std::uint32_t> frames = fileFrames(file);
    check.frames = frames.size();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if ((frames[i] >> 16) != signatureOf(position)) ++check.foreign;
        if (i > 0 && (frames[i] & 0xFFFFu) != ((frames[i - 1] + 1) & 0xFFFFu)) ++check.breaks;
    }
    return check;
}

// Moves the bench's clock on in small steps, one step per deferred call, so
// that the loops turn (and fetch) between the steps; then runs `then`. Every
// event processing runs a step or two, so a step may also come between two
// instances' fetches within one loop turn.
class ClockPump {
public:
    void run(double seconds, std::function<void()> then, double step = 0.01) {
        step_ = step;
        left_ = static_cast<int>(seconds / step + 0.5);
        until_ = nullptr;
        then_ = std::move(then);
        tk::postDeferredCall(turn, this);
    }

    // With the clock still: lets the loops turn until `done` holds (or a few
    // hundred deferred calls have run, so that a fault fails the test rather
    // than hanging it), then runs `then`.
    void waitFor(std::function<bool()> done, std::function<void()> then) {
        step_ = 0;
        left_ = 400;
        until_ = std::move(done);
        then_ = std::move(then);
        tk::postDeferredCall(turn, this);
    }

private:
    static void turn(void* data) {
        auto& pump = *static_cast<ClockPump*>(data);
        const bool done = pump.until_ && pump.until_();
        if (!done && pump.left_-- > 0) {
            if (pump.step_ > 0) bench::testing::advanceSeconds(pump.step_);
            tk::postDeferredCall(turn, data);
            return;
        }
        const std::function<void()> then = std::move(pump.then_);
        if (then) then();
    }

    double step_ = 0.01;
    int left_ = 0;
    std::function<bool()> until_;
    std::function<void()> then_;
};

class FullCarrier : public ::testing::Test {
protected:
    void SetUp() override {
        tk::resetScript();
        bench::testing::resetBench();
        const bench::LoadResult bench = bench::loadBenchFile(SORVI_FOUR_COUNTERS_BENCH);
        ASSERT_TRUE(bench.bench) << bench.error;
        bench::testing::useBench(*bench.bench);
        bench::testing::useVirtualClock();
        ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kFullCarrier), VI_TRUE, VI_FALSE, &carrier_), 0);
        dir_ = std::filesystem::temp_directory_path() /
               ("sorvi_full_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        if (carrier_ != 0) tarvo_close(carrier_);
        bench::testing::resetBench();
        tk::resetScript();
        std::filesystem::remove_all(dir_);
    }

    std::filesystem::path fileOf(int position) const {
        return dir_ / ("module-" + std::to_string(position) + ".sorvi");
    }

    // A cycle run at 0.1 ms into the module's file, with chart and list shown.
    void startRun(SorviInstance& inst, bool interrupts = false) {
        prepareFileRun(inst, fileOf(inst.mezIndex).string());
        if (interrupts) set(inst.mainPanel, MP_ENABLE_INTERRUPT, 1);
        tk::callCallback(inst.mainPanel, MP_GRAPH);
        tk::callCallback(inst.mainPanel, MP_SHOW_RES);
        tk::callCallback(inst.mainPanel, MP_START);
    }

    // Opens the positions one inside the other's loop and, once the
    // innermost loop turns, calls `inside` with the instances in opening
    // order. `inside` must see to it that every instance ends (closeAll).
    // Returns when every loop has ended.
    void openNested(const std::vector<int>& positions, std::function<void()> inside) {
        handles_.clear();
        instances_.clear();
        inside_ = std::move(inside);
        openFrom(positions, 0);
    }

    void closeAll() {
        for (sorvi_handle handle : handles_) {
            sorvi_handle copy = handle;
            if (instances::isOpen(instanceOf(copy))) sorvi_close(&copy);
        }
    }

    ViSession carrier_ = 0;
    std::filesystem::path dir_;
    std::vector<sorvi_handle> handles_;
    std::vector<SorviInstance*> instances_;
    ClockPump pump_;

private:
    struct Opening {
        FullCarrier* self;
        std::vector<int> positions;
        std::size_t next;
    };

    static void openNext(void* data) {
        auto& opening = *static_cast<Opening*>(data);
        opening.self->instances_.push_back(instanceOf(opening.self->handles_.back()));
        opening.self->openFrom(opening.positions, opening.next);
    }

    void openFrom(const std::vector<int>& positions, std::size_t k) {
        if (k == positions.size()) {
            if (inside_) inside_();
            return;
        }
        sorvi_handle handle = 0;
        ASSERT_EQ(initAnswered(carrier_, positions[k], handle), 0);
        handles_.push_back(handle);
        Opening opening{this, positions, k + 1};
        tk::postDeferredCall(openNext, &opening);
        EXPECT_EQ(sorvi_display(handle), 0);
    }

    std::function<void()> inside_;
};

}  // namespace sorvi_test

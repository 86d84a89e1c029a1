// Captures in each mode on the bench's virtual clock, checked frame by frame
// against the counter pattern on the inputs; stops and bad options.
#include <gtest/gtest.h>

#include <functional>

#include "acquire_command.h"
#include "bench_test_interface.h"
#include "command_error.h"
#include "stop_request.h"
#include "test_support.h"

namespace sorvictl::testing {
namespace {

class AcquireTest : public BenchTest {
protected:
    AcquireOptions options(const std::string& file) { return captureOptions(scratch.path(file)); }

    // Every frame of the file continues the counter from 0.
    static void expectCounterFrom0(const std::vector<std::uint32_t>& frames) {
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames[0], 0u);
        std::size_t broken = 0;
        for (std::size_t i = 1; i < frames.size(); ++i) broken += !consecutive(frames[i - 1], frames[i]);
        EXPECT_EQ(broken, 0u);
    }

    std::string failure(const AcquireOptions& o) { return acquireFailure(o, clock); }
};

TEST_F(AcquireTest, CycleModeByPollingAndByInterruptsDeliversEveryFrameInOrder) {
    for (bool interrupts : {false, true}) {
        SCOPED_TRACE(interrupts ? "interrupts" : "polling");
        AcquireOptions o = options(interrupts ? "irq.sorvi" : "poll.sorvi");
        o.frames = 25000;
        o.packet = 500;
        o.interrupts = interrupts;
        setCounterInputs(kCarrier, 1, o.period);
        const AcquireResult r = runAcquire(o, console, clock);
        EXPECT_EQ(r.frames, 25000u);
        EXPECT_FALSE(r.stopped);
        const auto frames = readFrames(o.output);
        ASSERT_EQ(frames.size(), 25000u);
        expectCounterFrom0(frames);
    }
}

// Positions 1 and 3 in one run, by polling and on events: each file holds
// every frame of its own module, in order, and the stop request ends both
// with every frame read so far.
TEST_F(AcquireTest, SeveralPositionsRunTogetherEachIntoItsOwnFile) {
    for (bool interrupts : {false, true}) {
        SCOPED_TRACE(interrupts ? "interrupts" : "polling");
        AcquireOptions o = options(interrupts ? "irq.sorvi" : "poll.sorvi");
        o.positions = {1, 3};
        o.frames = 12000;
        o.packet = 500;
        o.interrupts = interrupts;
        setCounterInputs(kCarrier, 1, o.period);
        setCounterInputs(kCarrier, 3, o.period);
        const AcquireResult r = runAcquire(o, console, clock);
        EXPECT_EQ(r.frames, 24000u);
        for (int position : {1, 3}) {
            const auto frames = readFrames(outputForPosition(o.output, position));
            ASSERT_EQ(frames.size(), 12000u) << "position " << position;
            expectCounterFrom0(frames);
        }
    }
    AcquireOptions stopped = options("stopped.sorvi");
    stopped.positions = {3, 1};
    clock.stopAfter = 5;
    const AcquireResult r = runAcquire(stopped, console, clock);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(readFrames(outputForPosition(stopped.output, 1)).size() +
                  readFrames(outputForPosition(stopped.output, 3)).size(),
              r.frames);
}

TEST_F(AcquireTest, PositionsNameTheirFilesAndAreCheckedFirst) {
    EXPECT_EQ(outputForPosition("run.sr", 3), "run-3.sr");
    EXPECT_EQ(outputForPosition("out/run.v2/cap", 1), "out/run.v2/cap-1");
    EXPECT_EQ(outputForPosition("/tmp/.hidden", 2), "/tmp/.hidden-2");
    AcquireOptions twice = options("twice.sorvi");
    twice.positions = {1, 1};
    EXPECT_EQ(failure(twice), "position 1 is named twice");
    AcquireOptions block = options("block.sorvi");
    block.positions = {1, 3};
    block.mode = "block";
    EXPECT_EQ(failure(block), "several positions are taken in cycle mode only");
}

TEST_F(AcquireTest, DurationCountsSamplePeriods) {
    AcquireOptions o = options("d.sorvi");
    o.period = 0.001;
    o.duration = 2.5;
    setCounterInputs(kCarrier, 1, o.period);
    EXPECT_EQ(runAcquire(o, console, clock).frames, 2500u);
    expectCounterFrom0(readFrames(o.output));
}

TEST_F(AcquireTest, BlockModeReadsWholeBlocksAndCutsTheLastToTheCount) {
    AcquireOptions o = options("b.sorvi");
    o.mode = "block";
    o.block = 1000;
    o.frames = 2500;
    setCounterInputs(kCarrier, 1, o.period);
    EXPECT_EQ(runAcquire(o, console, clock).frames, 2500u);
    const auto frames = readFrames(o.output);
    ASSERT_EQ(frames.size(), 2500u);
    // Each block is a run of its own, counting on within it.
    for (std::size_t i = 1; i < frames.size(); ++i)
        if (i % 1000 != 0) {
            ASSERT_TRUE(consecutive(frames[i - 1], frames[i])) << "frame " << i;
        }
    EXPECT_EQ(frames[0], 0u);
}

TEST_F(AcquireTest, SingleModeTakesOnePollPerFrameAtTheThresholds) {
    for (int k = 1; k <= 32; ++k) {
        bench::ChannelInput in;
        in.volts = k % 2 ? 3.0 : 1.0;
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, k, in));
    }
    AcquireOptions o = options("s.sorvi");
    o.mode = "single";
    o.frames = 4;
    o.threshold1 = 2.0;
    o.threshold2 = 0.5;  // every channel of group 2 above it
    EXPECT_EQ(runAcquire(o, console, clock).frames, 4u);
    const auto frames = readFrames(o.output);
    ASSERT_EQ(frames.size(), 4u);
    for (auto f : frames) EXPECT_EQ(f, 0xFFFF5555u);
}

TEST_F(AcquireTest, StopRequestEndsTheRunWithEveryFrameReadSoFarWholeInTheFile) {
    for (const char* format : {"sorvi", "sr"}) {
        SCOPED_TRACE(format);
        clearStopRequest();
        AcquireOptions o = options(std::string("stop.") + format);
        o.packet = 100;
        setCounterInputs(kCarrier, 1, o.period);
        clock.pauses = 0;
        clock.stopAfter = 7;
        const AcquireResult r = runAcquire(o, console, clock);
        EXPECT_TRUE(r.stopped);
        EXPECT_FALSE(r.cutShort);  // no count was asked for: Ctrl-C is the way to end
        EXPECT_GE(r.frames, 600u);
        if (std::string(format) == "sorvi") {
            const auto frames = readFrames(o.output);
            EXPECT_EQ(fileSize(o.output), r.frames * 4);
            expectCounterFrom0(frames);
        }
    }
    // The module was stopped: a new capture starts at once.
    clearStopRequest();
    clock.stopAfter = -1;
    AcquireOptions again = options("again.sorvi");
    again.frames = 10;
    EXPECT_EQ(runAcquire(again, console, clock).frames, 10u);
}

TEST_F(AcquireTest, BadOptionsAreRefusedBeforeTheModuleIsTouched) {
    struct Case {
        const char* what;
        std::function<void(AcquireOptions&)> change;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"period too short", [](AcquireOptions& o) { o.period = 0.00005; }, "--period must be 0.0001 to 1"},
        {"period too long", [](AcquireOptions& o) { o.period = 2; }, "--period must be"},
        {"threshold", [](AcquireOptions& o) { o.threshold = 12; }, "--threshold must be -10 to 10 volts"},
        {"group threshold", [](AcquireOptions& o) { o.threshold2 = -10.5; }, "--threshold2 must be"},
        {"negative count", [](AcquireOptions& o) { o.frames = -5; }, "--frames must be 1 to"},
        {"absurd count", [](AcquireOptions& o) { o.frames = 1LL << 50; }, "--frames must be 1 to"},
        {"zero duration", [](AcquireOptions& o) { o.duration = 0.0; }, "--duration must be"},
        {"mode", [](AcquireOptions& o) { o.mode = "burst"; }, "unknown mode 'burst'"},
        {"format", [](AcquireOptions& o) { o.output += ".txt"; }, "cannot tell the format"},
        {"unwritable", [](AcquireOptions& o) { o.output = "/nonexistent-dir/x.sorvi"; }, "cannot write into"},
        {"packet", [](AcquireOptions& o) { o.packet = 0; }, "--packet must be at least 1"},
        {"packet beyond memory", [](AcquireOptions& o) { o.packet = 100'000'000; }, "--packet must be at most"},
        {"unknown resource", [](AcquireOptions& o) { o.resource = "VXI0::99::INSTR"; }, "cannot open the carrier"},
        {"no sorvi", [](AcquireOptions& o) { o.positions = {2}; }, "no SORVI at VXI0::24::INSTR position 2"},
        {"empty position", [](AcquireOptions& o) { o.positions = {4}; }, "no module at VXI0::24::INSTR position 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AcquireOptions o = options("bad.sorvi");
        c.change(o);
        EXPECT_NE(failure(o).find(c.says), std::string::npos) << failure(o);
        EXPECT_FALSE(std::filesystem::exists(scratch.path("bad.sorvi")));
    }
}

TEST_F(AcquireTest, AnExistingFileIsKeptUnlessForced) {
    AcquireOptions o = options("kept.sorvi");
    writeFrames(o.output, {1, 2, 3});
    o.frames = 5;
    EXPECT_NE(failure(o).find("exists; add --force"), std::string::npos);
    EXPECT_EQ(readFrames(o.output), (std::vector<std::uint32_t>{1, 2, 3}));
    o.force = true;
    EXPECT_EQ(runAcquire(o, console, clock).frames, 5u);
    EXPECT_EQ(fileSize(o.output), 20u);
}

TEST_F(AcquireTest, ADriverFailureMidRunNamesTheDriverTextAndKeepsTheFramesRead) {
    // The carrier's packet reads start failing after three portions.
    struct FailingClock : VirtualClock {
        void pause(double seconds) override {
            if (++turns == 4) bench::testing::failAlways("tarvo_m_read_packet", static_cast<ViStatus>(0xBFFF0015));
            VirtualClock::pause(seconds);
        }
        int turns = 0;
    } failing;
    AcquireOptions o = options("fail.sorvi");
    o.packet = 100;
    setCounterInputs(kCarrier, 1, o.period);
    const std::string says = acquireFailure(o, failing);
    bench::testing::clearFailures();
    EXPECT_NE(says.find("reading a packet failed: 0xBFFF0015"), std::string::npos) << says;
    const auto frames = readFrames(o.output);
    EXPECT_EQ(frames.size(), 300u);
    EXPECT_NE(says.find("holds the 300 whole frames"), std::string::npos) << says;
    expectCounterFrom0(frames);
}

// The module, then its whole carrier, taken off the bus mid-run: the capture
// ends with the carrier's text (which the program prints before ending with
// status 1), the frames read stay, and once it is back a new capture works.
TEST_F(AcquireTest, ModuleOrCarrierTakenAwayMidRunIsReportedAndTheNextRunWorks) {
    for (int position : {1, 0}) {
        SCOPED_TRACE(position == 0 ? "carrier" : "module");
        struct RemovingClock : VirtualClock {
            void pause(double seconds) override {
                if (++turns == 3) bench::testing::setRemoved(kCarrier, position, true);
                VirtualClock::pause(seconds);
            }
            int position = 0;
            int turns = 0;
        } removing;
        removing.position = position;
        AcquireOptions o = options(position == 0 ? "carrier.sorvi" : "module.sorvi");
        o.packet = 100;
        o.interrupts = true;
        o.force = true;
        setCounterInputs(kCarrier, 1, o.period);
        std::string says = acquireFailure(o, removing);
        EXPECT_NE(says.find("failed: 0xBFFF003E"), std::string::npos) << says;
        const auto frames = readFrames(o.output);
        EXPECT_EQ(frames.size(), 200u);
        expectCounterFrom0(frames);

        // Opening it while it is away says so too.
        o.frames = 100;
        says = failure(o);
        EXPECT_NE(says, "no failure");

        ASSERT_TRUE(bench::testing::setRemoved(kCarrier, position, false));
        setCounterInputs(kCarrier, 1, o.period);
        EXPECT_EQ(runAcquire(o, console, clock).frames, 100u);
        expectCounterFrom0(readFrames(o.output));
    }
}

}  // namespace
}  // namespace sorvictl::testing

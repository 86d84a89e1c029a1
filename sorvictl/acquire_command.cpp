#include "acquire_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "command_error.h"
#include "driver_text.h"
#include "frame_sink.h"
#include "lumex.h"
#include "module_session.h"
#include "stop_request.h"

namespace sorvictl {

namespace {

constexpr double kStartTimeoutS = 1.0;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

enum class Mode { Single, Block, Cycle };

Mode parseMode(const std::string& mode) {
    if (mode == "single") return Mode::Single;
    if (mode == "block") return Mode::Block;
    if (mode == "cycle") return Mode::Cycle;
    throw CommandError("unknown mode '" + mode + "' (single, block or cycle)");
}

// How many frames the run is to take; 0 means until stopped.
std::uint64_t frameTarget(const AcquireOptions& o, Mode mode) {
    if (o.frames && o.duration) throw CommandError("give --frames or --duration, not both");
    if (o.frames) {
        if (*o.frames < 1 || *o.frames > kMostFrames)
            throw CommandError("--frames must be 1 to " + std::to_string(kMostFrames) + ", not " +
                               std::to_string(*o.frames));
        return static_cast<std::uint64_t>(*o.frames);
    }
    if (o.duration) {
        const double frames = std::round(*o.duration / o.period);
        if (!(*o.duration > 0) || frames < 1 || frames > static_cast<double>(kMostFrames))
            throw CommandError("--duration must be at least one sample period and at most " +
                               std::to_string(kMostFrames) + " frames, not " + number(*o.duration));
        return static_cast<std::uint64_t>(frames);
    }
    switch (mode) {
    case Mode::Single: return 1;
    case Mode::Block: return static_cast<std::uint64_t>(o.block);
    case Mode::Cycle: return 0;
    }
    return 0;
}

// Fails early on an output path that cannot be written, before the module
// is touched.
void checkOutputPath(const std::string& path, bool force) {
    if (path.empty()) throw CommandError("name the output file with -o FILE");
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!force) throw CommandError(path + " exists; add --force to replace it");
        // A device or a pipe is written where it is (/dev/null, a FIFO).
        if (!S_ISREG(info.st_mode)) {
            if (::access(path.c_str(), W_OK) != 0) throw CommandError("cannot write " + path);
            return;
        }
    }
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access(dir.c_str(), W_OK) != 0) throw CommandError("cannot write into " + dir + " (for " + path + ")");
}

// One capture; the module is stopped on every way out.
class Capture {
public:
    Capture(const AcquireOptions& o, Mode mode, std::uint64_t target, ModuleSession& module, FrameSink& sink,
            Console& console, AcquisitionClock& clock)
        : o_(o),
          mode_(mode),
          target_(target),
          vi_(module.vi()),
          sink_(sink),
          clock_(clock),
          progress_(console),
          console_(console) {}

    ~Capture() {
        if (running_) lumex_stop(vi_);
        progress_.finish();
    }

    bool run() {
        start_ = clock_.now();
        switch (mode_) {
        case Mode::Single: runSingle(); break;
        case Mode::Block: runBlock(); break;
        case Mode::Cycle: runCycle(); break;
        }
        progress_.update(sink_.framesWritten(), clock_.now() - start_, true);
        return stopped_;
    }

private:
    bool done() const { return target_ != 0 && sink_.framesWritten() >= target_; }
    std::uint64_t left() const { return target_ == 0 ? UINT64_MAX : target_ - sink_.framesWritten(); }

    void startModule() {
        const ViStatus status = lumex_start(vi_);
        check(vi_, status, "starting the module failed");
        running_ = true;
        if (status == LUMEX_WARN_RELAYS_OFF && !warned_) {
            console_.err << "sorvictl: warning: " << statusText(vi_, status) << '\n';
            warned_ = true;
        }
    }

    void stopModule() {
        running_ = false;
        check(vi_, lumex_stop(vi_), "stopping the module failed");
    }

    // Waits until the module has stopped by itself (single poll, full block).
    bool waitIdle(double expectS) {
        const double deadline = clock_.now() + expectS + kStartTimeoutS;
        const double step = std::clamp(expectS / 4, kShortestPeriod, 0.1);
        for (;;) {
            ViInt16 state = 0;
            check(vi_, lumex_state(vi_, &state), "asking the module's state failed");
            if (state == 0) {
                running_ = false;
                return true;
            }
            if (stopRequested()) return false;
            if (clock_.now() > deadline) throw CommandError("the module does not stop by itself");
            clock_.pause(step);
        }
    }

    void emit(const std::uint32_t* frames, std::size_t count) {
        sink_.write(frames, count);
        progress_.update(sink_.framesWritten(), clock_.now() - start_);
    }

    void runSingle() {
        check(vi_, lumex_mode_1(vi_), "setting single mode failed");
        while (!done()) {
            if (stopRequested()) return markStopped();
            const double began = clock_.now();
            startModule();
            if (!waitIdle(o_.period)) return markStopped();
            ViUInt32 frame = 0;
            check(vi_, lumex_read_sample(vi_, &frame, nullptr, nullptr), "reading the sample failed");
            emit(&frame, 1);
            const double rest = o_.period - (clock_.now() - began);
            if (!done() && rest > 0) clock_.pause(rest);
        }
    }

    void runBlock() {
        check(vi_, lumex_mode_block(vi_, static_cast<ViInt32>(o_.block)), "setting block mode failed");
        std::vector<ViUInt32> buffer(static_cast<std::size_t>(o_.block));
        while (!done()) {
            if (stopRequested()) return markStopped();
            startModule();
            if (!waitIdle(static_cast<double>(o_.block) * o_.period)) {
                stopModule();
                return markStopped();
            }
            const auto count = static_cast<ViInt32>(std::min<std::uint64_t>(buffer.size(), left()));
            check(vi_, lumex_read_block(vi_, 0, count, buffer.data()), "reading the block failed");
            emit(buffer.data(), static_cast<std::size_t>(count));
        }
    }

    // Reads what the carrier holds, up to the target; returns the count.
    std::uint64_t drain(std::vector<ViUInt32>& buffer) {
        std::uint64_t total = 0;
        ViInt32 ready = 0;
        check(vi_, lumex_numReadyData(vi_, &ready), "asking for ready frames failed");
        while (ready > 0 && !done()) {
            const auto ask = static_cast<ViInt32>(
                std::min<std::uint64_t>({buffer.size(), static_cast<std::uint64_t>(ready), left()}));
            ViInt32 got = 0;
            check(vi_, lumex_read_packet(vi_, ask, buffer.data(), &got), "reading a packet failed");
            if (got <= 0) break;
            emit(buffer.data(), static_cast<std::size_t>(got));
            ready -= got;
            total += static_cast<std::uint64_t>(got);
        }
        return total;
    }

    void runCycle() {
        check(vi_, lumex_mode_cycle(vi_, static_cast<ViInt32>(o_.packet)), "setting cycle mode failed");
        const double step = std::clamp(static_cast<double>(o_.packet) * o_.period, 0.001, 0.1);
        // Room for two steps' worth of frames, so a slow turn catches up in one go.
        const auto room = static_cast<std::size_t>(std::max(2.0 * step / o_.period, static_cast<double>(o_.packet)));
        std::vector<ViUInt32> buffer(room + 1);
        startModule();
        while (!done()) {
            if (stopRequested()) {
                stopModule();
                // Frames the module took before it stopped are part of the run.
                drain(buffer);
                return markStopped();
            }
            clock_.pause(step);
            drain(buffer);
        }
        stopModule();
    }

    void markStopped() { stopped_ = true; }

    const AcquireOptions& o_;
    Mode mode_;
    std::uint64_t target_;
    ViSession vi_;
    FrameSink& sink_;
    AcquisitionClock& clock_;
    ProgressLine progress_;
    Console& console_;
    double start_ = 0;
    bool running_ = false;
    bool warned_ = false;
    bool stopped_ = false;
};

}  // namespace

void checkPeriod(double seconds) {
    if (!(seconds >= kShortestPeriod && seconds <= kLongestPeriod))
        throw CommandError("--period must be " + number(kShortestPeriod) + " to " + number(kLongestPeriod) +
                           " seconds, not " + number(seconds));
}

void checkThreshold(double volts, const char* option) {
    if (!(volts >= -kThresholdLimit && volts <= kThresholdLimit))
        throw CommandError(std::string(option) + " must be -10 to 10 volts, not " + number(volts));
}

AcquireResult runAcquire(const AcquireOptions& o, Console& console, AcquisitionClock& clock) {
    const Mode mode = parseMode(o.mode);
    checkPeriod(o.period);
    if (o.threshold && (o.threshold1 || o.threshold2))
        throw CommandError("give --threshold or --threshold1/--threshold2, not both");
    if (o.threshold) checkThreshold(*o.threshold, "--threshold");
    if (o.threshold1) checkThreshold(*o.threshold1, "--threshold1");
    if (o.threshold2) checkThreshold(*o.threshold2, "--threshold2");
    if (o.relays != "on" && o.relays != "off") throw CommandError("--relays must be on or off");
    if (o.packet < 1) throw CommandError("--packet must be at least 1");
    if (o.block < 1) throw CommandError("--block must be at least 1");
    const std::uint64_t target = frameTarget(o, mode);
    const FileFormat format = chooseFormat(o.output, o.format);
    checkOutputPath(o.output, o.force);

    ModuleSession module(o.resource, o.position);
    const ViSession vi = module.vi();
    if (mode == Mode::Cycle && o.packet > module.memoryFrames())
        throw CommandError("--packet must be at most " + std::to_string(module.memoryFrames()) +
                           " frames (the carrier memory reserved for the module)");
    if (mode == Mode::Block && o.block > module.memoryFrames())
        throw CommandError("--block must be at most " + std::to_string(module.memoryFrames()) +
                           " frames (the carrier memory reserved for the module)");
    check(vi, lumex_sample_period(vi, o.period), "setting the sample period failed");
    if (o.threshold) check(vi, lumex_set_porog(vi, *o.threshold), "setting the threshold failed");
    if (o.threshold1) check(vi, lumex_set_porog_group(vi, *o.threshold1, 1), "setting the group 1 threshold failed");
    if (o.threshold2) check(vi, lumex_set_porog_group(vi, *o.threshold2, 2), "setting the group 2 threshold failed");
    check(vi, lumex_input_trigger(vi, o.relays == "on" ? VI_TRUE : VI_FALSE), "switching the input relays failed");

    SinkOptions sinkOptions;
    sinkOptions.path = o.output;
    sinkOptions.format = format;
    sinkOptions.force = o.force;
    sinkOptions.samplerateHz = static_cast<std::uint64_t>(std::max(1.0, std::round(1.0 / o.period)));
    auto sink = openFrameSink(sinkOptions);

    AcquireResult result;
    {
        DataEvents events(vi, clock, o.interrupts);
        Capture capture(o, mode, target, module, *sink, console, clock);
        try {
            result.stopped = capture.run();
            result.cutShort = result.stopped && target != 0;
        } catch (const CommandError& e) {
            const std::uint64_t kept = sink->framesWritten();
            try {
                sink->close();
            } catch (const CommandError&) {}
            throw CommandError(std::string(e.what()) + "; " + o.output + " holds the " + std::to_string(kept) +
                               " whole frames written before");
        }
    }
    sink->close();
    result.frames = sink->framesWritten();
    console.err << "sorvictl: " << result.frames << " frames written to " << o.output
                << (result.stopped ? " (stopped)" : "") << '\n';
    return result;
}

}  // namespace sorvictl

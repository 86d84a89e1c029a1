#include "acquire_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
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
    // The progress line may be shared by the captures of several modules:
    // framesShown says what it counts.
    Capture(const AcquireOptions& o, Mode mode, std::uint64_t target, ModuleSession& module, FrameSink& sink,
            Console& console, AcquisitionClock& clock, ProgressLine& progress,
            std::function<std::uint64_t()> framesShown)
        : o_(o),
          mode_(mode),
          target_(target),
          vi_(module.vi()),
          sink_(sink),
          clock_(clock),
          progress_(progress),
          framesShown_(std::move(framesShown)),
          console_(console),
          start_(clock.now()) {}

    ~Capture() {
        if (running_) lumex_stop(vi_);
    }

    bool run() {
        switch (mode_) {
        case Mode::Single: runSingle(); break;
        case Mode::Block: runBlock(); break;
        case Mode::Cycle: runCycle(); break;
        }
        progress_.update(framesShown_(), clock_.now() - start_, true);
        return stopped_;
    }

    // Cycle mode in steps, for several modules taken in turn: start, then
    // one step per pause (it stops the module once its frames are in),
    // and on a stop request stop and fetch what is left.
    void startCycle() {
        check(vi_, lumex_mode_cycle(vi_, static_cast<ViInt32>(o_.packet)), "setting cycle mode failed");
        const double step = cycleStep();
        // Room for two steps' worth of frames, so a slow turn catches up in one go.
        const auto room = static_cast<std::size_t>(std::max(2.0 * step / o_.period, static_cast<double>(o_.packet)));
        buffer_.assign(room + 1, 0);
        startModule();
    }
    void stepCycle() {
        if (!done()) drain(buffer_);
        if (done() && running_) stopModule();
    }
    void stopCycle() {
        if (running_) {
            stopModule();
            // Frames the module took before it stopped are part of the run.
            drain(buffer_);
        }
        markStopped();
    }
    double cycleStep() const { return std::clamp(static_cast<double>(o_.packet) * o_.period, 0.001, 0.1); }
    bool done() const { return target_ != 0 && sink_.framesWritten() >= target_; }

private:
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
        progress_.update(framesShown_(), clock_.now() - start_);
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
        startCycle();
        while (!done()) {
            if (stopRequested()) return stopCycle();
            clock_.pause(cycleStep());
            stepCycle();
        }
        if (running_) stopModule();
    }

    void markStopped() { stopped_ = true; }

    const AcquireOptions& o_;
    Mode mode_;
    std::uint64_t target_;
    ViSession vi_;
    FrameSink& sink_;
    AcquisitionClock& clock_;
    ProgressLine& progress_;
    std::function<std::uint64_t()> framesShown_;
    Console& console_;
    double start_ = 0;
    std::vector<ViUInt32> buffer_;
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

std::string outputForPosition(const std::string& path, int position) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    const std::size_t at = hasExtension ? dot : path.size();
    return path.substr(0, at) + "-" + std::to_string(position) + path.substr(at);
}

namespace {

// One module of the run: its session set as asked and its output file open.
struct ModuleRun {
    int position = 0;
    std::string output;
    std::unique_ptr<ModuleSession> module;
    std::unique_ptr<FrameSink> sink;
};

ModuleRun openModuleRun(const AcquireOptions& o, Mode mode, FileFormat format, int position,
                        const std::string& output) {
    ModuleRun run;
    run.position = position;
    run.output = output;
    run.module = std::make_unique<ModuleSession>(o.resource, position);
    const ViSession vi = run.module->vi();
    if (mode == Mode::Cycle && o.packet > run.module->memoryFrames())
        throw CommandError("--packet must be at most " + std::to_string(run.module->memoryFrames()) +
                           " frames (the carrier memory reserved for the module)");
    if (mode == Mode::Block && o.block > run.module->memoryFrames())
        throw CommandError("--block must be at most " + std::to_string(run.module->memoryFrames()) +
                           " frames (the carrier memory reserved for the module)");
    check(vi, lumex_sample_period(vi, o.period), "setting the sample period failed");
    if (o.threshold) check(vi, lumex_set_porog(vi, *o.threshold), "setting the threshold failed");
    if (o.threshold1) check(vi, lumex_set_porog_group(vi, *o.threshold1, 1), "setting the group 1 threshold failed");
    if (o.threshold2) check(vi, lumex_set_porog_group(vi, *o.threshold2, 2), "setting the group 2 threshold failed");
    check(vi, lumex_input_trigger(vi, o.relays == "on" ? VI_TRUE : VI_FALSE), "switching the input relays failed");

    SinkOptions sinkOptions;
    sinkOptions.path = output;
    sinkOptions.format = format;
    sinkOptions.force = o.force;
    sinkOptions.samplerateHz = static_cast<std::uint64_t>(std::max(1.0, std::round(1.0 / o.period)));
    run.sink = openFrameSink(sinkOptions);
    return run;
}

// Several modules in cycle mode, taken in turn after every pause.
bool runTogether(const AcquireOptions& o, Mode mode, std::uint64_t target, std::vector<ModuleRun>& runs,
                 Console& console, AcquisitionClock& clock, ProgressLine& progress) {
    const auto total = [&runs] {
        std::uint64_t frames = 0;
        for (const ModuleRun& run : runs) frames += run.sink->framesWritten();
        return frames;
    };
    std::vector<std::unique_ptr<DataEvents>> events;
    std::vector<std::unique_ptr<Capture>> captures;
    for (ModuleRun& run : runs) {
        events.push_back(std::make_unique<DataEvents>(run.module->vi(), clock, o.interrupts));
        captures.push_back(
            std::make_unique<Capture>(o, mode, target, *run.module, *run.sink, console, clock, progress, total));
    }
    for (auto& capture : captures) capture->startCycle();
    const double step = captures.front()->cycleStep();
    const double start = clock.now();
    bool stopped = false;
    for (;;) {
        const bool allDone = std::all_of(captures.begin(), captures.end(), [](const auto& c) { return c->done(); });
        if (allDone) break;
        if (stopRequested()) {
            for (auto& capture : captures) capture->stopCycle();
            stopped = true;
            break;
        }
        clock.pause(step);
        for (auto& capture : captures) capture->stepCycle();
    }
    progress.update(total(), clock.now() - start, true);
    return stopped;
}

}  // namespace

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

    if (o.positions.empty()) throw CommandError("name the module's position, 1 to 4");
    for (std::size_t k = 0; k < o.positions.size(); ++k) {
        if (o.positions[k] < 1 || o.positions[k] > 4)
            throw CommandError("positions are 1 to 4, not " + std::to_string(o.positions[k]));
        if (std::find(o.positions.begin(), o.positions.begin() + k, o.positions[k]) != o.positions.begin() + k)
            throw CommandError("position " + std::to_string(o.positions[k]) + " is named twice");
    }
    const bool several = o.positions.size() > 1;
    if (several && mode != Mode::Cycle) throw CommandError("several positions are taken in cycle mode only");
    std::vector<std::string> outputs;
    for (int position : o.positions) outputs.push_back(several ? outputForPosition(o.output, position) : o.output);
    for (const std::string& output : outputs) checkOutputPath(output, o.force);

    std::vector<ModuleRun> runs;
    for (std::size_t k = 0; k < o.positions.size(); ++k)
        runs.push_back(openModuleRun(o, mode, format, o.positions[k], outputs[k]));

    AcquireResult result;
    {
        ProgressLine progress(console);
        try {
            if (several) {
                result.stopped = runTogether(o, mode, target, runs, console, clock, progress);
            } else {
                ModuleRun& run = runs.front();
                DataEvents events(run.module->vi(), clock, o.interrupts);
                Capture capture(o, mode, target, *run.module, *run.sink, console, clock, progress,
                                [&run] { return run.sink->framesWritten(); });
                result.stopped = capture.run();
            }
            result.cutShort = result.stopped && target != 0;
        } catch (const CommandError& e) {
            progress.finish();
            std::string kept;
            for (ModuleRun& run : runs) {
                try {
                    run.sink->close();
                } catch (const CommandError&) {}
                kept += "; " + run.output + " holds the " + std::to_string(run.sink->framesWritten()) +
                        " whole frames written before";
            }
            throw CommandError(std::string(e.what()) + kept);
        }
        progress.finish();
    }
    for (ModuleRun& run : runs) {
        run.sink->close();
        result.frames += run.sink->framesWritten();
        console.err << "sorvictl: " << run.sink->framesWritten() << " frames written to " << run.output
                    << (result.stopped ? " (stopped)" : "") << '\n';
    }
    return result;
}

}  // namespace sorvictl

// Times four soft front panels of one carrier acquiring at once, headless,
// through their real loops: each instance is displayed from inside the loop
// of the one before (as a host opens them), every module runs cycle mode at
// 0.1 ms with result file, chart and list shown, and the bench's virtual
// clock is moved on between the loops' turns, so whichever loop turns
// fetches for all four. Each file is checked frame by frame against its
// module's counting pattern (bench file four-counters.yaml).
//
//   sorvi_full_carrier_throughput [--interrupts] [BENCH_SECONDS]
#include <paneltk/paneltk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_loader.h"
#include "popup_guard.h"
#include "bench_test_interface.h"
#include "sorvi.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"
#include "standard_options.h"
#include "tarvo_32.h"

namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";
constexpr double kStep = 0.05;            // bench seconds a clock step: 500 frames a module
constexpr int kFramesPerStep = 500;       // at 0.1 ms
constexpr long long kMostBehind = 10240;  // frames a module may be ahead of its panel: one ring

const char kUsage[] =
    "usage: sorvi_full_carrier_throughput [--help] [--version] [--interrupts] [BENCH_SECONDS]\n"
    "  Four soft front panels of one carrier (bench file four-counters.yaml) in\n"
    "  cycle mode at 0.1 ms for BENCH_SECONDS (default 20) of the bench's\n"
    "  virtual clock, each with result file, chart and list, driven through\n"
    "  their own nested loops. Prints the frames a second of all four together\n"
    "  and checks every file frame by frame; exit status 0 when none is lost.\n";

struct Run {
    bool interrupts = false;
    double benchSeconds = 20;
    std::filesystem::path dir;
    ViSession carrier = 0;
    std::vector<sorvi_handle> handles;
    std::vector<SorviInstance*> instances;
    int turnsLeft = 0;
    int turnsPlanned = 0;
    std::chrono::steady_clock::time_point started;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double cpuStart = 0;
};

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

std::string fileOf(const Run& run, int position) {
    return (run.dir / ("module-" + std::to_string(position) + ".sorvi")).string();
}

void set(int panel, int control, double value) {
    tk::setValue(panel, control, value);
    tk::callCallback(panel, control);
}

void closeAll(void* data) {
    auto& run = *static_cast<Run*>(data);
    for (sorvi_handle handle : run.handles) {
        sorvi_handle copy = handle;
        sorvi_close(&copy);
    }
}

// Frames the clock has given each module so far.
long long framesGiven(const Run& run) {
    return static_cast<long long>(run.turnsPlanned - run.turnsLeft) * kFramesPerStep;
}

// One step of the clock, taken only while every panel keeps up with its
// module to within a ring's worth (as it must in real time, or the module's
// memory fills); the loops fetch in between. Then all stop and close at
// once: what each module still holds goes to its file as its instance ends.
void tick(void* data) {
    auto& run = *static_cast<Run*>(data);
    if (run.turnsLeft > 0) {
        bool keepingUp = true;
        for (const SorviInstance* inst : run.instances)
            if (framesGiven(run) - inst->totalRead > kMostBehind) keepingUp = false;
        if (keepingUp) {
            bench::testing::advanceSeconds(kStep);
            --run.turnsLeft;
        }
        tk::postDeferredCall(tick, data);
        return;
    }
    for (SorviInstance* inst : run.instances) tk::callCallback(inst->mainPanel, MP_STOP);
    tk::postDeferredCall(closeAll, data);
}

void startAll(Run& run) {
    for (SorviInstance* inst : run.instances) {
        const int mp = inst->mainPanel;
        set(mp, MP_SAMPLE_PERIOD, 0.0001);
        set(mp, MP_MODE, 2);
        set(mp, MP_B_P_SIZE, 1000);
        set(mp, MP_RELE_SWITCH, 1);
        if (run.interrupts) set(mp, MP_ENABLE_INTERRUPT, 1);
        tk::setValue(mp, MP_FILE_NAME, fileOf(run, inst->mezIndex));
        tk::callCallback(mp, MP_FILE_NAME);
        tk::callCallback(mp, MP_GRAPH);
        tk::callCallback(mp, MP_SHOW_RES);
        tk::callCallback(mp, MP_START);
    }
    run.turnsLeft = static_cast<int>(run.benchSeconds / kStep + 0.5);
    run.turnsPlanned = run.turnsLeft;
    run.started = std::chrono::steady_clock::now();
    run.cpuStart = processSeconds();
    tk::postDeferredCall(tick, &run);
}

void openFrom(Run& run, int position);

struct Opening {
    Run* run;
    int next;
};

void openNext(void* data) {
    const Opening opening = *static_cast<Opening*>(data);
    opening.run->instances.push_back(reinterpret_cast<SorviInstance*>(opening.run->handles.back()));
    openFrom(*opening.run, opening.next);
}

void openFrom(Run& run, int position) {
    if (position > 4) {
        startAll(run);
        return;
    }
    sorvi_handle handle = 0;
    if (sorvi_init(run.carrier, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &handle) != 0) {
        std::fprintf(stderr, "sorvi_full_carrier_throughput: position %d did not open\n", position);
        closeAll(&run);
        return;
    }
    run.handles.push_back(handle);
    Opening opening{&run, position + 1};
    tk::postDeferredCall(openNext, &opening);
    sorvi_display(handle);
}

// Frames in the file, and how many of them break the module's count.
struct Check {
    long long frames = 0;
    long long bad = 0;
};

Check checkFile(const std::string& path, int position) {
    Check check;
    std::ifstream in(path, std::ios::binary);
    const std::uint32_t signature = 0x5A00u | (std::uint32_t(position) << 4) | std::uint32_t(position);
    unsigned char b[4];
    std::uint32_t previous = 0;
    while (in.read(reinterpret_cast<char*>(b), 4)) {
        const std::uint32_t frame = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24);
        if ((frame >> 16) != signature || (check.frames > 0 && (frame & 0xFFFFu) != ((previous + 1) & 0xFFFFu)))
            ++check.bad;
        previous = frame;
        ++check.frames;
    }
    return check;
}

}  // namespace

int main(int argc, char** argv) {
    Run run;
    for (int i = 1; i < argc; ++i) {
        if (sorvi::answeredStandardOption("sorvi_full_carrier_throughput", kUsage, argv[i])) return 0;
        if (std::strcmp(argv[i], "--interrupts") == 0) {
            run.interrupts = true;
        } else if (argv[i][0] != '-' && std::atof(argv[i]) > 0) {
            run.benchSeconds = std::atof(argv[i]);
        } else {
            std::fprintf(stderr, "sorvi_full_carrier_throughput: %s %s (--help lists the options)\n",
                         argv[i][0] == '-' ? "unknown option" : "not a number of seconds:", argv[i]);
            return 2;
        }
    }
    const bench::LoadResult bench = bench::loadBenchFile(SORVI_FOUR_COUNTERS_BENCH);
    if (!bench.bench) {
        std::fprintf(stderr, "sorvi_full_carrier_throughput: %s\n", bench.error.c_str());
        return 1;
    }
    if (ensureRuntime() != tk::OK) return 1;
    bench::testing::useBench(*bench.bench);
    bench::testing::useVirtualClock();
    run.dir = std::filesystem::temp_directory_path() / ("sorvi_full_carrier_" + std::to_string(::getpid()));
    std::filesystem::remove_all(run.dir);
    std::filesystem::create_directories(run.dir);
    if (tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_FALSE, &run.carrier) < 0) {
        std::fprintf(stderr, "sorvi_full_carrier_throughput: cannot open the bench's carrier\n");
        return 1;
    }
    // Any pop-up is answered at once and fails the run.
    const std::size_t popupsBefore = sorvi_bench::answerEveryPopup();
    openFrom(run, 1);
    // Every loop has ended: every frame is in its file.
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    run.cpuSeconds = processSeconds() - run.cpuStart;
    tarvo_close(run.carrier);
    const bool noPopup = tk::messagePopupsSeen().size() == popupsBefore;
    tk::resetScript();

    // Every frame the bench's clock gave each module, at 0.1 ms.
    const long long expected = static_cast<long long>(run.turnsPlanned) * kFramesPerStep;
    long long total = 0;
    bool whole = run.handles.size() == 4 && noPopup;
    for (int position = 1; position <= 4; ++position) {
        const Check check = checkFile(fileOf(run, position), position);
        std::printf("module %d: %lld frames in its file, %lld out of order or foreign\n", position, check.frames,
                    check.bad);
        total += check.frames;
        if (check.bad != 0 || check.frames != expected) whole = false;
    }
    std::filesystem::remove_all(run.dir);
    std::printf("four modules%s: %lld frames in %.2f s wall, %.0f frames/s in all (CPU %.2f s, %.0f frames/s)\n",
                run.interrupts ? " on events" : " polled", total, run.wallSeconds, total / run.wallSeconds,
                run.cpuSeconds, total / run.cpuSeconds);
    if (!noPopup) std::fprintf(stderr, "sorvi_full_carrier_throughput: a pop-up came up\n");
    return whole ? 0 : 1;
}

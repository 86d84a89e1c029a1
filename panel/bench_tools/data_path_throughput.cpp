// Times the soft front panel's data path headless: a cycle run at 0.1 ms on
// the bench's virtual clock, read portion by portion through the same fetch
// the display loop uses (ring, result file, results list and strip chart,
// both panels loaded and shown off screen).
//
//   sorvi_data_path_throughput [FRAMES] [FILE]
//
// Prints frames a second for the data path alone (the time the bench spends
// making the frames is measured apart), and checks that the file holds
// every frame fetched. Then times the self-test and a full-range DAC sweep.
// A pop-up on the way is answered at once and fails the run: the tool never
// waits for a person.
#include <paneltk/paneltk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "bench_command.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "popup_guard.h"
#include "sorvi.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"
#include "standard_options.h"
#include "tarvo_32.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Job {
    sorvi_handle handle = 0;
    long long frames = 0;
    std::string file;
    double pathSeconds = 0;
    double pathCpuSeconds = 0;
    double selfTestSeconds = 0;
    double scrollWorstSeconds = 0;
    double sweepSeconds = 0;
    double benchSeconds = 0;
    long long fetched = 0;
    int paints = 0;
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU time of this thread: what the data path costs, whatever else the
// machine is busy with.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

void set(int panel, int control, double value) {
    tk::setValue(panel, control, value);
    tk::callCallback(panel, control);
}

void runJob(void* data) {
    Job& job = *static_cast<Job*>(data);
    auto& inst = *reinterpret_cast<SorviInstance*>(job.handle);
    const int mp = inst.mainPanel;
    set(mp, MP_SAMPLE_PERIOD, 0.0001);
    set(mp, MP_MODE, 2);
    set(mp, MP_B_P_SIZE, 1000);
    set(mp, MP_RELE_SWITCH, 1);
    tk::setValue(mp, MP_FILE_NAME, job.file);
    tk::callCallback(mp, MP_FILE_NAME);
    tk::callCallback(mp, MP_GRAPH);
    tk::callCallback(mp, MP_SHOW_RES);
    tk::callCallback(mp, MP_START);
    const double portion = inst.bufferSize * 0.0001;
    while (job.fetched < job.frames) {
        const auto t0 = Clock::now();
        bench::testing::advanceSeconds(portion);
        const auto t1 = Clock::now();
        const double cpu = threadSeconds();
        const int before = inst.totalRead;
        outData(inst);
        job.pathCpuSeconds += threadSeconds() - cpu;
        job.pathSeconds += seconds(Clock::now() - t1);
        job.benchSeconds += seconds(t1 - t0);
        if (inst.totalRead == before) break;
        job.fetched = inst.totalRead;
    }
    tk::callCallback(mp, MP_STOP);
    process_data(mp);

    // The viewer over a 1 GiB result file: the run taken as the whole file
    // (a sparse file, so it costs no disk), pages refilled across it.
    const std::string big = job.file + ".big";
    const long long bigFrames = (1LL << 30) / 4;
    if (FILE* f = std::fopen(big.c_str(), "wb")) {
        std::fclose(f);
        std::filesystem::resize_file(big, std::uintmax_t(bigFrames) * 4);
        std::snprintf(inst.fileName, sizeof inst.fileName, "%s", big.c_str());
        inst.totalRead = static_cast<std::int32_t>(bigFrames);
        inst.fileEndBytes = bigFrames * 4;
        inst.fileRunWhole = true;
        // The viewer reads back only the file this run wrote: the sparse one
        // stands in for it.
        struct stat bigStat {};
        if (::stat(big.c_str(), &bigStat) == 0) {
            inst.fileDevice = bigStat.st_dev;
            inst.fileInode = bigStat.st_ino;
        }
        tk::setAttribute(inst.resultsPanel, inst.scrollBar, tk::ATTR_MAX_VALUE, static_cast<int>(bigFrames));
        for (long long pos : {0LL, bigFrames / 3, bigFrames / 2, bigFrames - 5000, 12345678LL}) {
            tk::setValue(inst.resultsPanel, inst.scrollBar, static_cast<long long>(pos));
            const auto t = Clock::now();
            scrollF(inst.resultsPanel);
            job.scrollWorstSeconds = std::max(job.scrollWorstSeconds, seconds(Clock::now() - t));
        }
        std::filesystem::remove(big);
        std::snprintf(inst.fileName, sizeof inst.fileName, "%s", job.file.c_str());
    }

    // The test panels, on the bench's real clock: the self-test, and a DAC
    // sweep over the whole range (every input at 10 V never reads all zero).
    sorvi_bench_command("clock real", nullptr, 0);
    auto t0 = Clock::now();
    tk::callCallback(mp, MP_SELFTEST);
    job.selfTestSeconds = seconds(Clock::now() - t0);
    sorvi_bench_command("at VXI0::24::INSTR 1 input all 10V", nullptr, 0);
    t0 = Clock::now();
    tk::callCallback(mp, MP_TEST);
    job.sweepSeconds = seconds(Clock::now() - t0);
    sorvi_close(&job.handle);
}

const char kUsage[] =
    "usage: sorvi_data_path_throughput [--help] [--version] [FRAMES] [FILE]\n"
    "  Times the soft front panel's data path (ring, result file FILE, results\n"
    "  list and strip chart) over FRAMES frames (default 5000000) of a 0.1 ms\n"
    "  cycle run on the bench's virtual clock, then the viewer over a 1 GiB\n"
    "  file, the self-test and a full-range DAC sweep. Exit status 0 when the\n"
    "  file holds every frame fetched and no pop-up came up.\n";

}  // namespace

int main(int argc, char** argv) {
    Job job;
    std::vector<const char*> words;
    for (int i = 1; i < argc; ++i) {
        if (sorvi::answeredStandardOption("sorvi_data_path_throughput", kUsage, argv[i])) return 0;
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "sorvi_data_path_throughput: unknown option %s (--help lists the options)\n", argv[i]);
            return 2;
        }
        words.push_back(argv[i]);
    }
    job.frames = words.size() > 0 ? std::atoll(words[0]) : 5000000;
    job.file = words.size() > 1 ? words[1]
                                : (std::filesystem::temp_directory_path() / "sorvi_throughput.sorvi").string();
    if (job.frames <= 0 || words.size() > 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::filesystem::remove(job.file);
    if (ensureRuntime() != tk::OK) return 1;
    bench::testing::useVirtualClock();
    ViSession carrier = 0;
    if (tarvo_init(const_cast<ViRsrc>("VXI0::24::INSTR"), VI_TRUE, VI_FALSE, &carrier) < 0) {
        std::fprintf(stderr, "cannot open the bench's carrier\n");
        return 1;
    }
    // Any pop-up is answered at once (and counted below).
    const std::size_t popupsBefore = sorvi_bench::answerEveryPopup();
    if (sorvi_init(carrier, 1, VI_TRUE, VI_TRUE, &job.handle) != 0) return 1;
    tk::postDeferredCall(runJob, &job);
    sorvi_display(job.handle);
    tarvo_close(carrier);
    const std::vector<tk::PopupRecord> popups = tk::messagePopupsSeen();
    for (std::size_t i = popupsBefore; i < popups.size(); ++i)
        std::fprintf(stderr, "sorvi_data_path_throughput: pop-up \"%s\": %s\n", popups[i].title.c_str(),
                     popups[i].text.c_str());
    const bool noPopup = popups.size() == popupsBefore;
    tk::resetScript();

    const auto fileFrames = static_cast<long long>(std::filesystem::file_size(job.file) / 4);
    std::filesystem::remove(job.file);
    std::printf("frames fetched:        %lld (file holds %lld)\n", job.fetched, fileFrames);
    std::printf("data path:             %.3f s, %.0f frames/s (CPU %.3f s, %.0f frames/s)\n", job.pathSeconds,
                job.fetched / job.pathSeconds, job.pathCpuSeconds, job.fetched / job.pathCpuSeconds);
    std::printf("bench making frames:   %.3f s, %.0f frames/s\n", job.benchSeconds, job.fetched / job.benchSeconds);
    std::printf("1 GiB file, page refill: %.1f ms at worst\n", 1000 * job.scrollWorstSeconds);
    std::printf("self-test:             %.1f ms\n", 1000 * job.selfTestSeconds);
    std::printf("DAC sweep, full range: %.1f ms (1999 steps)\n", 1000 * job.sweepSeconds);
    return fileFrames == job.fetched && noPopup ? 0 : 1;
}

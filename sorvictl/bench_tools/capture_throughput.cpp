// sorvictl acquire in cycle mode at the shortest period (0.1 ms) for 10
// minutes of bench time on the bench's virtual clock, written to a result
// file and checked frame by frame: channel j+1 of each group is a square
// wave high in frame k while bit j of k is set, so frame k must read
// (k mod 65536) in both halves. Prints the counts and the wall time.
//
//   sorvictl_capture_throughput [--interrupts] [--seconds S] [OUTPUT.sorvi]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "acquire_command.h"
#include "bench_test_interface.h"
#include "command_error.h"
#include "standard_options.h"

namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";
constexpr double kPeriod = 0.0001;
constexpr double kBenchSeconds = 600.0;

const char kUsage[] =
    "usage: sorvictl_capture_throughput [--help] [--version] [--interrupts] [--seconds S] [OUTPUT.sorvi]\n"
    "  Runs sorvictl acquire in cycle mode at 0.1 ms for S seconds (default 600)\n"
    "  of the bench's virtual clock into OUTPUT.sorvi (default in /tmp), checks\n"
    "  every frame and prints the counts and the wall time; exit status 0 when\n"
    "  every frame is in the file in order.\n";

class VirtualClock : public sorvictl::AcquisitionClock {
public:
    double now() override { return bench::testing::nowSeconds(); }
    void pause(double seconds) override { bench::testing::advanceSeconds(seconds); }
};

void counterInputs() {
    const double t0 = bench::testing::nowSeconds() + 90e-6;  // first sample 90 us after the start
    for (int j = 0; j < 16; ++j) {
        const auto in = bench::ChannelInput::square(0.0, 5.0, std::ldexp(kPeriod, j + 1), 0.5,
                                                    -t0 + std::ldexp(kPeriod, j) + kPeriod / 2);
        bench::testing::setInput(kCarrier, 1, j + 1, in);
        bench::testing::setInput(kCarrier, 1, j + 17, in);
    }
}

}  // namespace

int main(int argc, char** argv) {
    sorvictl::AcquireOptions o;
    o.resource = kCarrier;
    o.period = kPeriod;
    o.duration = kBenchSeconds;
    o.output = "/tmp/sorvictl-capture-throughput.sorvi";
    o.force = true;
    double benchSeconds = kBenchSeconds;
    for (int i = 1; i < argc; ++i) {
        if (sorvi::answeredStandardOption("sorvictl_capture_throughput", kUsage, argv[i])) return 0;
        if (std::strcmp(argv[i], "--interrupts") == 0) {
            o.interrupts = true;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc && std::atof(argv[i + 1]) > 0) {
            benchSeconds = std::atof(argv[++i]);
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "sorvictl_capture_throughput: unknown option %s (--help lists the options)\n",
                         argv[i]);
            return 2;
        } else {
            o.output = argv[i];
        }
    }
    o.duration = benchSeconds;
    bench::testing::resetBench();
    bench::testing::useVirtualClock();
    counterInputs();

    std::ostringstream quiet;
    sorvictl::Console console{quiet, std::cerr, false};
    VirtualClock clock;
    const auto wallStart = std::chrono::steady_clock::now();
    sorvictl::AcquireResult result;
    try {
        result = sorvictl::runAcquire(o, console, clock);
    } catch (const sorvictl::CommandError& e) {
        std::fprintf(stderr, "capture_throughput: %s\n", e.what());
        return 1;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::ifstream in(o.output, std::ios::binary);
    std::vector<std::uint32_t> portion(1 << 16);
    long long frames = 0, wrong = 0;
    while (in.read(reinterpret_cast<char*>(portion.data()), static_cast<std::streamsize>(portion.size() * 4)) ||
           in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount() / 4);
        for (std::size_t i = 0; i < got; ++i, ++frames)
            wrong += portion[i] != static_cast<std::uint32_t>(frames & 0xFFFF) * 0x10001u;
    }
    const long long expected = std::llround(benchSeconds / kPeriod);
    std::printf("sorvictl acquire, cycle mode, period %.4f s, %.0f s of bench time (virtual clock), %s\n", kPeriod,
                benchSeconds, o.interrupts ? "interrupts" : "polling");
    std::printf("frames expected   %lld\n", expected);
    std::printf("frames in file    %lld\n", frames);
    std::printf("frames lost       %lld\n", expected - frames);
    std::printf("frames wrong/out of order %lld\n", wrong);
    std::printf("wall time         %.2f s (%.0f frames per wall second)\n", wall, frames / wall);
    std::remove(o.output.c_str());
    bench::testing::resetBench();
    const bool ok = frames == expected && wrong == 0 && result.frames == static_cast<std::uint64_t>(expected);
    std::printf("%s\n", ok ? "OK: every frame in the file, in order" : "FAILED");
    return ok ? 0 : 1;
}

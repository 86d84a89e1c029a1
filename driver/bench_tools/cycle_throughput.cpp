// Cycle acquisition at the shortest period (0.1 ms) for 10 s of bench time
// on the bench's virtual clock, read through the driver as the soft front
// panel does. Every frame is checked: channel j+1 of each group is a square
// wave that is high in frame k while bit j of k is set, so frame k must read
// (k mod 65536) in both halves. Prints the counts and the wall time taken.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_test_interface.h"
#include "lumex.h"
#include "standard_options.h"
#include "tarvo_32.h"

namespace {

constexpr const char* kCarrier = "VXI0::24::INSTR";
constexpr double kPeriod = 0.0001;
constexpr double kBenchSeconds = 10.0;
constexpr double kStep = 0.1;
constexpr ViInt32 kPacket = 1000;

std::atomic<long> gPacketEvents{0};
std::atomic<long> gOtherEvents{0};

ViInt16 _VI_FUNCH countEvents(ViSession, ViInt32 code)
{
    (code == 2 ? gPacketEvents : gOtherEvents).fetch_add(1);
    return 1;
}

bool counterInputs()
{
    return bench::testing::setCounterInputs(kCarrier, 1, kPeriod);
}

int fail(const char* what, ViStatus status)
{
    std::fprintf(stderr, "cycle_throughput: %s failed with status 0x%08X\n", what, static_cast<unsigned>(status));
    return 1;
}

const char kUsage[] =
    "usage: lumex_cycle_throughput [--help] [--version]\n"
    "  Times a 10 s cycle acquisition at a 0.1 ms period on the built-in default\n"
    "  bench (SORVI_BENCH is ignored) and checks every frame; exit status 0 when\n"
    "  every frame arrived in order.\n";

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (sorvi::answeredStandardOption("lumex_cycle_throughput", kUsage, argv[i]))
            return 0;
        std::fprintf(stderr, "lumex_cycle_throughput: %s %s (lumex_cycle_throughput --help lists the options)\n",
                     argv[i][0] == '-' ? "unknown option" : "unexpected argument", argv[i]);
        return 2;
    }
    // The figures are comparable only on the one bench they were made for.
    ::unsetenv("SORVI_BENCH");
    bench::testing::resetBench();
    bench::testing::useVirtualClock();
    ViSession carrier = VI_NULL;
    ViSession vi = VI_NULL;
    ViStatus status = tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_TRUE, &carrier);
    if (status < 0)
        return fail("tarvo_init", status);
    if ((status = lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi)) < 0)
        return fail("lumex_init", status);
    ViUInt32 bytes = 0;
    if ((status = tarvo_mem_q(carrier, &bytes)) < 0)
        return fail("tarvo_mem_q", status);
    if ((status = lumex_alloc(vi, static_cast<ViInt32>(bytes / 16))) < 0)
        return fail("lumex_alloc", status);
    if (!counterInputs())
        return fail("setting the inputs", 0);
    lumex_set_user_ihandle(vi, countEvents);
    lumex_mask_interrupt(vi, VI_TRUE);
    lumex_input_trigger(vi, VI_TRUE);
    lumex_sample_period(vi, kPeriod);
    lumex_mode_cycle(vi, kPacket);

    const auto wallStart = std::chrono::steady_clock::now();
    if ((status = lumex_start(vi)) != VI_SUCCESS)
        return fail("lumex_start", status);
    std::vector<ViUInt32> buffer(static_cast<size_t>(kStep / kPeriod) * 2);
    long long delivered = 0;
    long long wrong = 0;
    const int steps = static_cast<int>(std::lround(kBenchSeconds / kStep));
    for (int step = 0; step < steps; ++step) {
        bench::testing::advanceSeconds(kStep);
        ViInt32 ready = 0;
        if ((status = lumex_numReadyData(vi, &ready)) < 0)
            return fail("lumex_numReadyData", status);
        while (ready > 0) {
            ViInt32 got = 0;
            const auto ask = static_cast<ViInt32>(std::min<size_t>(buffer.size(), static_cast<size_t>(ready)));
            if ((status = lumex_read_packet(vi, ask, buffer.data(), &got)) < 0)
                return fail("lumex_read_packet", status);
            if (got == 0)
                break;
            for (ViInt32 i = 0; i < got; ++i, ++delivered) {
                const auto expected = static_cast<ViUInt32>(delivered & 0xFFFF) * 0x10001u;
                wrong += buffer[static_cast<size_t>(i)] != expected;
            }
            ready -= got;
        }
    }
    lumex_stop(vi);
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    bench::testing::waitForEvents();

    const long long expectedFrames = std::llround(kBenchSeconds / kPeriod);
    std::printf("cycle acquisition: period %.4f s, %.1f s of bench time (virtual clock), packets of %d\n", kPeriod,
                kBenchSeconds, kPacket);
    std::printf("frames expected   %lld\n", expectedFrames);
    std::printf("frames delivered  %lld\n", delivered);
    std::printf("frames lost       %lld\n", expectedFrames - delivered);
    std::printf("frames wrong/out of order %lld\n", wrong);
    std::printf("packet events     %ld (other events %ld)\n", gPacketEvents.load(), gOtherEvents.load());
    std::printf("wall time         %.3f s (%.0f frames per wall second)\n", wallSeconds, delivered / wallSeconds);

    lumex_close(vi);
    tarvo_close(carrier);
    bench::testing::resetBench();
    const bool ok = delivered == expectedFrames && wrong == 0;
    std::printf("%s\n", ok ? "OK: every frame delivered in order" : "FAILED");
    return ok ? 0 : 1;
}

// A threshold sweep over the default bench's module at position 3, whose
// channels sit at distinct fixed levels: each channel of group 1 turns from 1
// to 0 at the first threshold at or above its level, to within one step of
// the 12-bit threshold code.
#include <cmath>
#include <vector>

#include "bench_fixture.h"
#include "bench_loader.h"

namespace {

constexpr double kCodeStepVolts = 20.0 / 4096.0;

struct Row {
    double threshold;  // as the driver stored it
    ViUInt32 frame;
};

}  // namespace

TEST(BenchDacSweep, EachChannelTurnsAtTheThresholdNearestAboveItsLevel)
{
    bench::testing::resetBench();
    bench::testing::useVirtualClock();
    ViSession carrier = VI_NULL, vi = VI_NULL;
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(on_bench::kCarrier), VI_TRUE, VI_TRUE, &carrier), VI_SUCCESS);
    ASSERT_EQ(lumex_init(carrier, 3, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    ASSERT_EQ(lumex_alloc(vi, 1000), VI_SUCCESS);
    ASSERT_EQ(lumex_mode_1(vi), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);

    std::vector<Row> rows;
    for (int step = 0; step <= 1998; ++step) {
        const double requested = -9.99 + 0.01 * step;
        ASSERT_EQ(lumex_set_porog(vi, requested), VI_SUCCESS) << requested;
        Row row{};
        ASSERT_EQ(lumex_set_porog_q(vi, &row.threshold), VI_SUCCESS);
        ASSERT_EQ(lumex_start(vi), VI_SUCCESS) << requested;
        bench::testing::advanceSeconds(0.001);
        ASSERT_EQ(lumex_read_sample(vi, &row.frame, nullptr, nullptr), VI_SUCCESS) << requested;
        rows.push_back(row);
    }

    for (int channel = 1; channel <= 16; ++channel) {
        SCOPED_TRACE(channel);
        const double level = bench::ladderVolts(channel);
        const ViUInt32 bit = 1u << (channel - 1);
        std::size_t first = 0;
        while (first < rows.size() && (rows[first].frame & bit) != 0)
            ++first;
        ASSERT_LT(first, rows.size()) << "the channel never reads 0";
        EXPECT_GE(rows[first].threshold, level - 1e-9);
        EXPECT_LE(rows[first].threshold - level, kCodeStepVolts);
        if (first > 0) {
            EXPECT_LT(rows[first - 1].threshold, level);
        }
        for (std::size_t r = first; r < rows.size(); ++r)
            ASSERT_EQ(rows[r].frame & bit, 0u) << "threshold " << rows[r].threshold;
    }

    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
    bench::testing::resetBench();
}

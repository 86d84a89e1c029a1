// The shipped example bench files load, and default.yaml describes exactly the
// built-in default bench.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "bench_loader.h"

namespace {

const std::filesystem::path kExamples = std::filesystem::path(__FILE__).parent_path().parent_path() / "examples";

bool near(double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b)); }

void expectSameInput(const bench::ChannelInput& a, const bench::ChannelInput& b, const std::string& where) {
    EXPECT_EQ(a.kind, b.kind) << where;
    for (auto [x, y] : {std::pair{a.volts, b.volts},
                        {a.low, b.low},
                        {a.high, b.high},
                        {a.periodS, b.periodS},
                        {a.duty, b.duty},
                        {a.phaseS, b.phaseS},
                        {a.stepS, b.stepS},
                        {a.ohms, b.ohms}})
        EXPECT_TRUE(near(x, y)) << where << ": " << x << " != " << y;
    ASSERT_EQ(a.sequence.size(), b.sequence.size()) << where;
    for (std::size_t i = 0; i < a.sequence.size(); ++i) EXPECT_TRUE(near(a.sequence[i], b.sequence[i])) << where;
}

void expectSameBench(const bench::BenchDescription& a, const bench::BenchDescription& b) {
    ASSERT_EQ(a.resources.size(), b.resources.size());
    for (std::size_t i = 0; i < a.resources.size(); ++i) {
        const auto& r = a.resources[i];
        const auto& s = b.resources[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.name, s.name);
        EXPECT_EQ(r.intfType, s.intfType);
        EXPECT_EQ(r.intfNum, s.intfNum);
        EXPECT_EQ(r.slot, s.slot);
        EXPECT_EQ(r.manfId, s.manfId);
        EXPECT_EQ(r.mainframeLA, s.mainframeLA);
        EXPECT_EQ(r.la, s.la);
        EXPECT_EQ(r.modelCode, s.modelCode);
        EXPECT_EQ(r.tcpipAddr, s.tcpipAddr);
        EXPECT_EQ(r.idn, s.idn);
        ASSERT_EQ(r.carrier.has_value(), s.carrier.has_value());
        if (!r.carrier) continue;
        EXPECT_EQ(r.carrier->memoryBytes, s.carrier->memoryBytes);
        for (std::size_t p = 0; p < 4; ++p) {
            const auto& x = r.carrier->positions[p];
            const auto& y = s.carrier->positions[p];
            EXPECT_EQ(x.moduleType, y.moduleType) << "position " << p + 1;
            ASSERT_EQ(x.sorvi.has_value(), y.sorvi.has_value()) << "position " << p + 1;
            if (!x.sorvi) continue;
            for (std::size_t k = 0; k < 32; ++k)
                expectSameInput(x.sorvi->inputs[k], y.sorvi->inputs[k],
                                "position " + std::to_string(p + 1) + " channel " + std::to_string(k + 1));
            EXPECT_EQ(x.sorvi->faults.stuckHighChannels, y.sorvi->faults.stuckHighChannels);
            EXPECT_EQ(x.sorvi->faults.stuckLowChannels, y.sorvi->faults.stuckLowChannels);
            EXPECT_EQ(x.sorvi->faults.noPollAck, y.sorvi->faults.noPollAck);
            EXPECT_EQ(x.sorvi->faults.idValue, y.sorvi->faults.idValue);
            EXPECT_EQ(x.sorvi->faults.stuckRegisterBits.size(), y.sorvi->faults.stuckRegisterBits.size());
        }
    }
}

TEST(BenchFileExamples, DefaultYamlIsTheBuiltInDefaultBench) {
    const auto loaded = bench::loadBenchFile((kExamples / "default.yaml").string());
    ASSERT_TRUE(loaded.bench) << loaded.error;
    expectSameBench(*loaded.bench, bench::defaultBench());
}

TEST(BenchFileExamples, EveryExampleLoads) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".yaml") continue;
        const auto loaded = bench::loadBenchFile(entry.path().string());
        EXPECT_TRUE(loaded.bench) << loaded.error;
        ++count;
    }
    EXPECT_GE(count, 3);
}

TEST(BenchFileExamples, DefaultBenchHasTheCarriersTheProgramsExpect) {
    const auto b = bench::defaultBench();
    ASSERT_EQ(b.resources.size(), 4u);
    const auto& first = b.resources[0];
    EXPECT_EQ(first.manfId, 0xE76);
    EXPECT_EQ(first.modelCode, 0x10D);
    EXPECT_EQ(first.slot, 3);
    EXPECT_EQ(first.mainframeLA, 0);
    ASSERT_TRUE(first.carrier);
    EXPECT_EQ(first.carrier->positions[0].moduleType, bench::kSorviModuleType);
    EXPECT_NE(first.carrier->positions[1].moduleType, bench::kSorviModuleType);
    EXPECT_NE(first.carrier->positions[1].moduleType, 0);
    EXPECT_EQ(first.carrier->positions[2].moduleType, bench::kSorviModuleType);
    EXPECT_EQ(b.resources[1].modelCode, 0x155);
    EXPECT_EQ(b.resources[1].slot, 5);
    EXPECT_EQ(b.resources[2].idn.rfind("VELTRONA,TARVO,", 0), 0u);
    EXPECT_NE(b.resources[3].manfId, 0xE76);
}

}  // namespace

// The bench a process runs on comes from SORVI_BENCH, read once. Each case
// runs in a fresh child process so that it can choose its own bench.
#include <filesystem>

#include "visa_fixture.h"

namespace {

const std::filesystem::path kExamples = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                                        "bench" / "examples";

int openManagerOn(const std::string& benchFile) {
    setenv("SORVI_BENCH", benchFile.c_str(), 1);
    ViSession rm = VI_NULL;
    return viOpenDefaultRM(&rm) == VI_ERROR_SYSTEM_ERROR && rm == VI_NULL ? 0 : 1;
}

int searchEmptyBus(const std::string& benchFile) {
    setenv("SORVI_BENCH", benchFile.c_str(), 1);
    ViSession rm = VI_NULL;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS) return 1;
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    const bool none = viFindRsrc(rm, "?*INSTR", &list, &count, desc) == VI_ERROR_RSRC_NFOUND && count == 0;
    viClose(rm);
    return none ? 0 : 1;
}

TEST(BenchChoice, BadBenchFileKeepsTheResourceManagerClosed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string bad = (kExamples / "no-such-bench.yaml").string();
    EXPECT_EXIT(std::exit(openManagerOn(bad)), ::testing::ExitedWithCode(0), "no-such-bench.yaml: cannot open");
}

TEST(BenchChoice, EmptyBusFindsNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string empty = (kExamples / "empty-bus.yaml").string();
    EXPECT_EXIT(std::exit(searchEmptyBus(empty)), ::testing::ExitedWithCode(0), "");
}

}  // namespace

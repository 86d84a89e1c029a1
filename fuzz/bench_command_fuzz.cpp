// The bench's text commands (the script command "bench ..."), one per input,
// each on a fresh default bench under virtual time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench_command.h"
#include "bench_test_interface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string command(reinterpret_cast<const char*>(data), size);  // cut at a NUL, as a C caller would
    bench::testing::resetBench();
    bench::testing::useVirtualClock();
    char reply[256];
    sorvi_bench_command(command.c_str(), reply, static_cast<int>(sizeof reply));
    if (reply[sizeof reply - 1] != '\0' && std::string(reply).size() >= sizeof reply) __builtin_trap();
    return 0;
}

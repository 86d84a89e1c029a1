#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "bench_test_interface.h"
#include "stop_request.h"

namespace sorvictl::testing {

namespace fs = std::filesystem;

// The tests in this process use the built-in default bench, whatever the
// caller's environment names.
const bool kDefaultBench = [] {
    ::unsetenv("SORVI_BENCH");
    return true;
}();

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "sorvictl-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    dir_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::vector<std::uint32_t> readFrames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint32_t> frames(bytes.size() / 4);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 4);
    return frames;
}

std::uintmax_t fileSize(const std::string& path) { return fs::file_size(path); }

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void writeFrames(const std::string& path, const std::vector<std::uint32_t>& frames) {
    writeBytes(path, std::string(reinterpret_cast<const char*>(frames.data()), frames.size() * 4));
}

double VirtualClock::now() { return bench::testing::nowSeconds(); }

void VirtualClock::pause(double seconds) {
    ++pauses;
    if (stopAfter >= 0 && pauses > stopAfter) requestStop();
    bench::testing::advanceSeconds(seconds);
}

void setCounterInputs(const std::string& carrier, int position, double period) {
    ASSERT_TRUE(bench::testing::setCounterInputs(carrier, position, period));
}

AcquireOptions captureOptions(const std::string& path) {
    AcquireOptions o;
    o.resource = kCarrier;
    o.positions = {1};
    o.period = 0.0001;
    o.output = path;
    return o;
}

ExportOptions exportOptions(const std::string& in, const std::string& out) {
    ExportOptions o;
    o.input = in;
    o.output = out;
    o.samplerateHz = 10000;
    return o;
}

bool consecutive(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t low = (a + 1) & 0xFFFFu;
    return b == (low | (low << 16)) && (a >> 16) == (a & 0xFFFFu);
}

void BenchTest::SetUp() {
    bench::testing::resetBench();
    bench::testing::useVirtualClock();
    clearStopRequest();
}

void BenchTest::TearDown() {
    clearStopRequest();
    bench::testing::resetBench();
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

namespace {
std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

RunResult runProgram(const std::string& arguments, const std::string& prefix) {
    ScratchDir dir;
    const std::string outPath = dir.path("out");
    const std::string errPath = dir.path("err");
    const std::string command = "SORVI_BENCH= " + prefix + " " + quoted(SORVICTL_PROGRAM) + " " + arguments + " >" +
                                quoted(outPath) + " 2>" + quoted(errPath) + " </dev/null";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    return result;
}

std::string sigrokCli() {
    for (const char* dir : {"/usr/bin", "/usr/local/bin"}) {
        const std::string path = std::string(dir) + "/sigrok-cli";
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
}

}  // namespace sorvictl::testing

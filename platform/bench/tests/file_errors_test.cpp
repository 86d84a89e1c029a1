// Every kind of mistake in a bench file gives one clear message naming the
// file, the line and the field, and nothing is half loaded.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench_loader.h"

namespace {

struct BadFile {
    std::string what;
    std::string text;
    int line;                 // expected line in the message; 0: no line
    const char* mustContain;  // expected words
};

const char* const kVxiHead =
    "resources:\n"
    "  - name: VXI0::24::INSTR\n";

std::string withVxi(const std::string& tail) { return std::string(kVxiHead) + tail; }

// The carrier of that resource with a SORVI module at position 1, whose
// settings follow (the module's own lines are 8 onwards).
std::string withSorviModule(const std::string& tail) {
    return withVxi("    carrier:\n      memory: 1M\n      positions:\n        1:\n          module: sorvi\n" + tail);
}

class BenchFileErrors : public ::testing::TestWithParam<BadFile> {};

TEST_P(BenchFileErrors, AreReportedWithFileLineAndField) {
    const BadFile& bad = GetParam();
    const auto result = bench::parseBenchText(bad.text, "lab.yaml");
    ASSERT_FALSE(result.bench) << bad.what;
    EXPECT_EQ(result.error.rfind("lab.yaml", 0), 0u) << result.error;
    if (bad.line > 0) {
        EXPECT_NE(result.error.find("lab.yaml:" + std::to_string(bad.line) + ":"), std::string::npos) << result.error;
    }
    EXPECT_NE(result.error.find(bad.mustContain), std::string::npos) << result.error;
}

const std::string kUnknownKey = withVxi("    sloot: 3\n");
const std::string kWrongType = withVxi("    slot: [3]\n");
const std::string kSlotRange = withVxi("    slot: 19\n");
const std::string kPosition = withVxi("    carrier:\n      memory: 1M\n      positions:\n        5: sorvi\n");
const std::string kChannel = withSorviModule("          inputs:\n            33: 3V\n");
const std::string kVoltage = withSorviModule("          inputs:\n            all: 3X\n");
const std::string kVoltRange = withSorviModule("          inputs:\n            2: {volts: 250}\n");
const std::string kNoPeriod = withSorviModule("          inputs:\n            2: {square: {low: 0, high: 5}}\n");
const std::string kDuty = withSorviModule("          inputs:\n            2: {square: {period: 1ms, duty: 1.5}}\n");
const std::string kEmptySequence = withSorviModule(
    "          inputs:\n            2: {sequence: {volts: [], step: 1ms}}\n");
const std::string kTwice = withSorviModule("          inputs:\n            1-4: 3V\n            3: 1V\n");
const std::string kInputsOnOther = withVxi(
    "    carrier:\n      memory: 1M\n      positions:\n        2:\n          module: 5\n"
    "          inputs:\n            all: 3V\n");
const std::string kStuckBoth = withSorviModule(
    "          faults:\n            stuck_high: [1-4]\n            stuck_low: [4]\n");
const std::string kRegister = withSorviModule(
    "          faults:\n            stuck_bits:\n              - {register: 0x05, set: 1}\n");
const std::string kIdValue = withSorviModule("          faults:\n            id_value: 256\n");
const std::string kNoMemory = withVxi("    carrier:\n      positions: {}\n");
const std::string kBadMemory = withVxi("    carrier:\n      memory: 16 parsecs\n");
const std::string kBadModule = withVxi("    carrier:\n      memory: 1M\n      positions:\n        1: tarvo\n");
const std::string kBoolean = withSorviModule("          faults:\n            no_poll_ack: maybe\n");

INSTANTIATE_TEST_SUITE_P(
    AllKinds, BenchFileErrors,
    ::testing::Values(
        BadFile{"broken YAML", "resources: [\n  {name: VXI0::1::INSTR\n", 0, "not valid YAML"},
        BadFile{"empty file", "", 0, "empty"},
        BadFile{"unknown top-level key", "resource: []\n", 1, "unknown key 'resource'"},
        BadFile{"resources not a list", "resources: VXI0::1::INSTR\n", 1, "expected a list"},
        BadFile{"unknown resource key", kUnknownKey, 3, "resources[0].sloot"},
        BadFile{"wrong type", kWrongType, 3, "resources[0].slot: expected a single value"},
        BadFile{"slot out of range", kSlotRange, 3, "out of range"},
        BadFile{"missing name", "resources:\n  - slot: 3\n", 2, "'name' is missing"},
        BadFile{"bad resource name", "resources:\n  - name: VXI0::abc::INSTR\n", 2, "not a VISA instrument"},
        BadFile{"not an instrument resource", "resources:\n  - name: GPIB0::INTFC\n", 2, "not a VISA instrument"},
        BadFile{"duplicate resource in another spelling", "resources:\n  - name: VXI0::24::INSTR\n  - name: vxi::24\n",
                3, "already on the bench (line 2)"},
        BadFile{"slot on USB", "resources:\n  - name: USB::0x0E76::0x1004::1::INSTR\n    slot: 1\n", 3,
                "applies to VXI resources only"},
        BadFile{"USB ID differs from the name",
                "resources:\n  - name: USB::0x0E76::0x1004::1::INSTR\n    manufacturer_id: 0xE77\n", 3, "differs"},
        BadFile{"LA differs from the name", withVxi("    la: 25\n"), 3, "differs"},
        BadFile{"TCP/IP host without address", "resources:\n  - name: TCPIP::box.lab::INSTR\n", 2, "tcpip_address"},
        BadFile{"bad dotted address", "resources:\n  - name: TCPIP::box::INSTR\n    tcpip_address: 10.0.0.300\n", 3,
                "dotted"},
        BadFile{"IDN with a line break", withVxi("    idn: \"A\\nB\"\n"), 3, "printable"},
        BadFile{"position out of range", kPosition, 6, "out of range (1 to 4)"},
        BadFile{"unknown module", kBadModule, 6, "not sorvi, empty"},
        BadFile{"channel out of range", kChannel, 9, "inputs.33"}, BadFile{"not a voltage", kVoltage, 9, "inputs.all"},
        BadFile{"voltage out of range", kVoltRange, 9, "out of range"},
        BadFile{"square without period", kNoPeriod, 9, "'period' is missing"},
        BadFile{"duty out of range", kDuty, 9, "duty"}, BadFile{"empty sequence", kEmptySequence, 9, "1 to 100000"},
        BadFile{"channel given twice", kTwice, 10, "already given at line 9"},
        BadFile{"inputs on another module", kInputsOnOther, 9, "SORVI modules only"},
        BadFile{"stuck high and low", kStuckBoth, 10, "stuck high and stuck low"},
        BadFile{"odd register offset", kRegister, 10, "even byte offset"},
        BadFile{"ID value out of range", kIdValue, 9, "out of range (0 to 255)"},
        BadFile{"memory missing", kNoMemory, 4, "'memory' is missing"},
        BadFile{"memory not a size", kBadMemory, 4, "not a memory size"},
        BadFile{"not a boolean", kBoolean, 9, "not true or false"}),
    [](const ::testing::TestParamInfo<BadFile>& info) {
        std::string name;
        for (char c : info.param.what) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(BenchFileLoading, OneDocumentWithTheListUnderItsKey) {
    const std::string entry = "  - name: VXI0::24::INSTR\n";
    auto result = bench::parseBenchText("resources:\n" + entry + "---\nresources: []\n", "lab.yaml");
    EXPECT_FALSE(result.bench);
    EXPECT_NE(result.error.find("lab.yaml:3:"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("a second YAML document"), std::string::npos) << result.error;
    result = bench::parseBenchText("   resources:\n - name: VXI0::24::INSTR\n", "lab.yaml");
    EXPECT_FALSE(result.bench);
    EXPECT_NE(result.error.find("lab.yaml:2:"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("indented less than its key"), std::string::npos) << result.error;
    EXPECT_TRUE(bench::parseBenchText("---\nresources:\n" + entry + "...\n", "lab.yaml").bench);
    // A ',' where a document's node should be: refused at once (yaml-cpp's own
    // reading of all documents never ends on these).
    for (const char* text : {",", "[a],", "\"q\","}) {
        result = bench::parseBenchText(text, "lab.yaml");
        EXPECT_FALSE(result.bench) << text;
        EXPECT_NE(result.error.find("a ',' outside any [list] or {map}"), std::string::npos) << result.error;
    }
}

// Values are echoed cut and with control characters escaped, whatever their size.
TEST(BenchFileLoading, EchoedValuesAreShortAndPrintable) {
    const std::string huge(1000000, 'x');
    for (const std::string& text :
         {"resources:\n  - name: " + huge + "\n", "resources:\n  - name: VXI0::24::INSTR\n    " + huge + ": 1\n",
          std::string("resources:\n  - name: \"\\e[31mred\\x07\\0\\x9B\\u009b\"\n")}) {
        const auto result = bench::parseBenchText(text, "lab.yaml");
        ASSERT_FALSE(result.bench);
        EXPECT_LT(result.error.size(), 300u) << result.error.substr(0, 300);
        for (unsigned char c : result.error) EXPECT_TRUE(c >= 0x20 && c != 0x7F) << result.error;
        EXPECT_EQ(result.error.find("\xC2\x9B"), std::string::npos) << result.error;
    }
    const auto escaped = bench::parseBenchText("resources:\n  - name: \"\\e[31m\"\n", "lab.yaml");
    EXPECT_NE(escaped.error.find("'\\x1B[31m' is not"), std::string::npos) << escaped.error;
}

TEST(BenchFileLoading, OversizedFilesAreRefusedBeforeParsing) {
    std::string text = "resources:\n";
    while (text.size() <= bench::kMaxBenchFileBytes) text += "  - name: VXI0::1::INSTR\n";
    auto result = bench::parseBenchText(text, "big.yaml");
    EXPECT_FALSE(result.bench);
    EXPECT_NE(result.error.find("big.yaml: the bench file is larger than 256 KiB"), std::string::npos) << result.error;
    const std::string path = ::testing::TempDir() + "/big_bench.yaml";
    std::ofstream(path, std::ios::binary) << text;
    result = bench::loadBenchFile(path);
    EXPECT_FALSE(result.bench);
    EXPECT_NE(result.error.find("larger than"), std::string::npos) << result.error;
    std::remove(path.c_str());
}

TEST(BenchFileLoading, MissingFileIsReported) {
    const auto result = bench::loadBenchFile("/nonexistent/bench.yaml");
    EXPECT_FALSE(result.bench);
    EXPECT_NE(result.error.find("/nonexistent/bench.yaml: cannot open"), std::string::npos);
}

// What the programs check before they start, on the file SORVI_BENCH names.
TEST(BenchFileLoading, AProgramRefusesABenchFileItCannotUse) {
    const char* before = std::getenv(bench::kBenchEnvVar);
    const std::string saved = before ? before : "";
    std::string reason;

    ::unsetenv(bench::kBenchEnvVar);
    EXPECT_TRUE(bench::benchFileUsable(reason));  // the built-in bench
    ::setenv(bench::kBenchEnvVar, "", 1);
    EXPECT_TRUE(bench::benchFileUsable(reason));
    EXPECT_EQ(reason, "");

    const std::string good = ::testing::TempDir() + "/usable_bench.yaml";
    std::ofstream(good) << "resources:\n  - name: VXI0::24::INSTR\n";
    ::setenv(bench::kBenchEnvVar, good.c_str(), 1);
    EXPECT_TRUE(bench::benchFileUsable(reason)) << reason;

    const std::string bad = ::testing::TempDir() + "/unusable_bench.yaml";
    std::ofstream(bad) << "resources:\n  - name: NOT A NAME\n";
    ::setenv(bench::kBenchEnvVar, bad.c_str(), 1);
    EXPECT_FALSE(bench::benchFileUsable(reason));
    EXPECT_EQ(reason.rfind(bad, 0), 0u) << reason;

    ::setenv(bench::kBenchEnvVar, "/nonexistent/bench.yaml", 1);
    EXPECT_FALSE(bench::benchFileUsable(reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;

    std::remove(good.c_str());
    std::remove(bad.c_str());
    if (before) ::setenv(bench::kBenchEnvVar, saved.c_str(), 1);
    else ::unsetenv(bench::kBenchEnvVar);
}

}  // namespace

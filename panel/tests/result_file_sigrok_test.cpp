// A result file opens in the field's own tools as it is: sigrok-cli reads it
// as raw 32-channel little-endian frames (channel k is sigrok's channel k-1),
// the way the README tells.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "data_path.h"
#include "plugin_test_support.h"

using namespace sorvi_test;
namespace fs = std::filesystem;

TEST(ResultFileInSigrok, RawFramesReadBackChannelByChannel) {
    if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) GTEST_SKIP() << "sigrok-cli is not installed";
    const fs::path file = fs::temp_directory_path() / "sorvi_sigrok_check.sorvi";
    fs::remove(file);
    tk::resetScript();
    const sorvi_handle handle = openDemo(1);
    ASSERT_NE(handle, 0);
    displayAndRun(handle, [&file](SorviInstance& inst) {
        std::snprintf(inst.fileName, sizeof inst.fileName, "%s", file.c_str());
        inst.writeFile = 1;
        inst.buffer[0] = 0x80000001u;
        inst.buffer[1] = 0x00000003u;
        inst.buffer[2] = 0xFFFF0000u;
        inst.writeIndex = 3;
        EXPECT_EQ(writeToFile(inst, inst.buffer, 3), 0);
    });
    const std::string command = "sigrok-cli -I binary:numchannels=32:samplerate=10000 -i " + file.string() +
                                " -O bits 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
    fs::remove(file);
    EXPECT_NE(output.find("\n0:110\n"), std::string::npos) << output;   // channel 1
    EXPECT_NE(output.find("\n1:010\n"), std::string::npos) << output;   // channel 2
    EXPECT_NE(output.find("\n16:001\n"), std::string::npos) << output;  // channel 17
    EXPECT_NE(output.find("\n31:101\n"), std::string::npos) << output;  // channel 32
}

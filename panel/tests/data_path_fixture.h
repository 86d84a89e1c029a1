// Tests of the data path on the simulated bench: a module's panels opened
// on the default bench, set as an operator sets them, in a scratch folder of
// each test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench_test_interface.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

namespace sorvi_test {

inline constexpr const char* kCarrier = "VXI0::24::INSTR";

class DataPath : public ::testing::Test {
protected:
    void SetUp() override {
        tk::resetScript();
        bench::testing::resetBench();
        dir_ = std::filesystem::temp_directory_path() /
               ("sorvi_data_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        if (carrier_ != 0) tarvo_close(carrier_);
        bench::testing::resetBench();
        tk::resetScript();
        std::filesystem::remove_all(dir_);
    }

    // Runs body on the panels of the module at position 1.
    void onModule(const std::function<void(SorviInstance&)>& body, int position = 1) {
        if (carrier_ == 0) {
            ASSERT_GE(tarvo_init(const_cast<ViRsrc>(kCarrier), VI_TRUE, VI_FALSE, &carrier_), 0);
        }
        sorvi_handle handle = 0;
        ASSERT_EQ(initAnswered(carrier_, position, handle), 0);
        EXPECT_EQ(displayAndRun(handle, body), 0);
    }

    std::filesystem::path dir_;
    ViSession carrier_ = 0;
};

inline void set(int panel, int control, double value) {
    tk::setValue(panel, control, value);
    tk::callCallback(panel, control);
}

inline void setText(int panel, int control, const std::string& text) {
    tk::setValue(panel, control, text);
    tk::callCallback(panel, control);
}

// Mode, period and size on the panel, as an operator sets them.
inline void configure(SorviInstance& inst, int mode, double period, int size) {
    const int mp = inst.mainPanel;
    set(mp, MP_SAMPLE_PERIOD, period);
    set(mp, MP_MODE, mode);
    set(mp, MP_B_P_SIZE, size);
    set(mp, MP_RELE_SWITCH, 1);
}

// A cycle run at 0.1 ms into `file`, started with the results list shown.
inline void startListedFileRun(SorviInstance& inst, const std::string& file) {
    configure(inst, 2, 0.0001, 1000);
    setText(inst.mainPanel, MP_FILE_NAME, file);
    tk::callCallback(inst.mainPanel, MP_SHOW_RES);
    tk::callCallback(inst.mainPanel, MP_START);
}

inline std::vector<std::uint32_t> fileFrames(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint32_t> frames(bytes.size() / 4);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
        frames[i] = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24);
    }
    return frames;
}

}  // namespace sorvi_test

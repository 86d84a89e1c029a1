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

#include "bench_carrier_fixture.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"

namespace sorvi_test {

// The module's acquisition state as the driver reports it (-1 when it cannot).
inline ViInt16 moduleState(const SorviInstance& inst) {
    ViInt16 state = -1;
    lumex_state(inst.session, &state);
    return state;
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

// A cycle run at 0.1 ms into `file`, set but not started.
inline void prepareFileRun(SorviInstance& inst, const std::string& file) {
    configure(inst, 2, 0.0001, 1000);
    setText(inst.mainPanel, MP_FILE_NAME, file);
}

// That run started.
inline void startFileRun(SorviInstance& inst, const std::string& file) {
    prepareFileRun(inst, file);
    tk::callCallback(inst.mainPanel, MP_START);
}

// That run started with the results list shown.
inline void startListedFileRun(SorviInstance& inst, const std::string& file) {
    prepareFileRun(inst, file);
    tk::callCallback(inst.mainPanel, MP_SHOW_RES);
    tk::callCallback(inst.mainPanel, MP_START);
}

// `seconds` more of the run's frames: one portion fetched while it runs, the
// rest on the loop's turn after the stop.
inline void stopAfter(SorviInstance& inst, double seconds) {
    bench::testing::advanceSeconds(seconds);
    outData(inst);
    tk::callCallback(inst.mainPanel, MP_STOP);
    process_data(inst.mainPanel);
}

class DataPath : public BenchCarrier {
protected:
    void SetUp() override {
        BenchCarrier::SetUp();
        dir_ = std::filesystem::temp_directory_path() /
               ("sorvi_data_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        BenchCarrier::TearDown();
        std::filesystem::remove_all(dir_);
    }

    // Runs body on the panels of the module at position 1.
    void onModule(const std::function<void(SorviInstance&)>& body, int position = 1) {
        if (carrier_ == 0) {
            ASSERT_NO_FATAL_FAILURE(openCarrier());
        }
        sorvi_handle handle = 0;
        ASSERT_EQ(initAnswered(carrier_, position, handle), 0);
        EXPECT_EQ(displayAndRun(handle, body), 0);
    }

    // Runs body on the module at position 1 during a listed run into `file`,
    // paced by the test's clock.
    void onListedFileRun(const std::filesystem::path& file, const std::function<void(SorviInstance&)>& body) {
        bench::testing::useVirtualClock();
        onModule([&](SorviInstance& inst) {
            startListedFileRun(inst, file.string());
            body(inst);
        });
    }

    std::filesystem::path dir_;
};

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

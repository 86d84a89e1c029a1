// The soft front panel's data path on the simulated bench, through the
// panel's own callbacks: cycle reads split at the ring's end, block runs
// fetched after stop, polling against interrupts, short reads, instrument
// errors, the result file and its viewer, single mode, registers, relays,
// thresholds by group, the self-test and the DAC sweep.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench_loader.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "data_path_fixture.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint32_t> ringFrames(const SorviInstance& inst, int from, int count) {
    std::vector<std::uint32_t> frames;
    for (int i = 0; i < count; ++i) frames.push_back(inst.buffer[(from + i) % inst.bufferSize]);
    return frames;
}

// The module's threshold of one group.
double groupThreshold(ViSession vi, int group) {
    ViReal64 volts = 0;
    lumex_set_porog_group_q(vi, group, &volts);
    return volts;
}

// The module's input relay of one group: 2, neither on nor off, when the
// module does not answer.
ViBoolean groupRelay(ViSession vi, int group) {
    ViBoolean on = 2;
    lumex_input_trigger_group_q(vi, group, &on);
    return on;
}

}  // namespace

TEST_F(DataPath, CycleReadSplitsAtTheRingEndAndTheFileKeepsItsOrder) {
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "split.sorvi";
    onModule([&](SorviInstance& inst) {
        startFileRun(inst, file.string());
        ASSERT_EQ(inst.running, 1);
        inst.writeIndex = 10000;
        bench::testing::advanceSeconds(0.05);  // 500 frames
        ASSERT_EQ(outData(inst), VI_SUCCESS);
        EXPECT_EQ(inst.writeIndex, 260);
        EXPECT_EQ(inst.wrapped, 1);
        EXPECT_EQ(inst.totalRead, 500);
        EXPECT_EQ(shown(inst.mainPanel, MP_N_CADRS), "500");
        EXPECT_EQ(fileFrames(file), ringFrames(inst, 10000, 500));  // 240 from the old place, then 260
        EXPECT_NE(inst.scrollBar, 0);

        // A new start begins at the ring's start again.
        tk::callCallback(inst.mainPanel, MP_STOP);
        tk::callCallback(inst.mainPanel, MP_START);
        EXPECT_EQ(inst.writeIndex, 0);
        EXPECT_EQ(inst.wrapped, 0);
        EXPECT_EQ(inst.scrollBar, 0);
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

TEST_F(DataPath, PollingWaitsForAThousandFramesUnlessEventsBringThem) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        set(inst.mainPanel, MP_ENABLE_INTERRUPT, 1);
        EXPECT_EQ(inst.interruptMask, 1);
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(0.2);
        checkState(inst.mainPanel);
        EXPECT_EQ(inst.totalRead, 0);  // interrupts on and packets fit the ring: no polling
        inst.dataPending = 0;
        set(inst.mainPanel, MP_ENABLE_INTERRUPT, 0);
        checkState(inst.mainPanel);
        EXPECT_EQ(inst.totalRead, 2000);
        bench::testing::advanceSeconds(0.05);
        checkState(inst.mainPanel);
        EXPECT_EQ(inst.totalRead, 2000);  // 500 ready: fewer than a poll waits for
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

TEST_F(DataPath, StopInBlockModeFetchesWhatIsLeftOnTheNextTurn) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 1, 0.0001, 5000);
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(0.03);  // 300 frames
        checkState(inst.mainPanel);
        EXPECT_EQ(inst.totalRead, 0);
        tk::callCallback(inst.mainPanel, MP_STOP);
        EXPECT_EQ(inst.dataPending.load(), 1);
        process_data(inst.mainPanel);
        EXPECT_EQ(inst.totalRead, 300);
        EXPECT_EQ(inst.blockRead, 300);
        EXPECT_EQ(moduleState(inst), 0);
    });
}

TEST_F(DataPath, AShortPacketReadKeepsTheFramesThatArrived) {
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "short.sorvi";
    onModule([&](SorviInstance& inst) {
        prepareFileRun(inst, file.string());
        ASSERT_TRUE(bench::testing::setShortPacketReads(kCarrier, 1, 100));
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(0.05);
        testing::internal::CaptureStdout();
        EXPECT_EQ(outData(inst), kShortReadStatus);
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(printed, "N 1 Запрошено данных 500, прочитано 100, готово 500, всего прочитано 0\n");
        EXPECT_EQ(inst.totalRead, 100);
        EXPECT_EQ(inst.writeIndex, 100);
        EXPECT_EQ(fileFrames(file), ringFrames(inst, 0, 100));
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

TEST_F(DataPath, InstrumentErrorsRaiseTheErrorPanelAndResetsNone) {
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        inst.errorPending = -4;
        process_error(inst.mainPanel);
        EXPECT_EQ(moduleState(inst), 0);  // stopped first
        EXPECT_EQ(dimmed(inst.mainPanel, MP_START), 0);
        std::string label;
        tk::getAttribute(inst.errorPanel, EP_LED, tk::ATTR_LABEL_TEXT, label);
        EXPECT_EQ(label, "переполнение FIFO");
        EXPECT_EQ(shown(inst.errorPanel, EP_LED), "1");
        int popup = 0;
        tk::getPanelAttribute(inst.errorPanel, tk::ATTR_POPUP, popup);
        EXPECT_EQ(popup, 1);
        tk::callCallback(inst.errorPanel, EP_COMMANDBUTTON);
        inst.errorPending = -9;
        process_error(inst.mainPanel);
        tk::getAttribute(inst.errorPanel, EP_LED, tk::ATTR_LABEL_TEXT, label);
        EXPECT_EQ(label, "неопределенная ошибка инструмента");
        tk::callCallback(inst.errorPanel, EP_COMMANDBUTTON);

        // A carrier reset resets the module through "Сброс", without a pop-up.
        const auto seen = tk::messagePopupsSeen().size();
        ASSERT_TRUE(bench::testing::raiseEvent(kCarrier, 1, 10));
        bench::testing::waitForEvents();
        tk::processEvents();
        EXPECT_EQ(tk::messagePopupsSeen().size(), seen);
        tk::getPanelAttribute(inst.errorPanel, tk::ATTR_POPUP, popup);
        EXPECT_EQ(popup, 0);
    });
}

TEST_F(DataPath, ResultFileGrowsRunByRunAndTheViewerReadsOnlyThisRun) {
    bench::testing::useVirtualClock();
    const fs::path file = dir_ / "runs.sorvi";
    onModule([&](SorviInstance& inst) {
        startFileRun(inst, file.string());
        bench::testing::advanceSeconds(0.25);  // 2500 frames
        tk::callCallback(inst.mainPanel, MP_STOP);
        process_data(inst.mainPanel);
        EXPECT_EQ(fs::file_size(file), 10000u);
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(0.01);  // 100 frames
        tk::callCallback(inst.mainPanel, MP_STOP);
        process_data(inst.mainPanel);
        ASSERT_EQ(fs::file_size(file), 10400u);
        const auto frames = fileFrames(file);
        const std::vector<std::uint32_t> run(frames.end() - 100, frames.end());

        // Fewer than a page of frames: the viewer starts at 0 and reads them all.
        tk::callCallback(inst.mainPanel, MP_SHOW_RES);
        tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
        inst.firstShown = 50;
        tk::setValue(inst.resultsPanel, inst.scrollBar, 40);
        EXPECT_EQ(scrollF(inst.resultsPanel), 0);
        std::string first;
        tk::lineText(inst.resultsPanel, RP_RESULTS_BOX, 0, first);
        char expected[64];
        formatResultLine(expected, 1, run[0]);
        EXPECT_EQ(first, expected);
        EXPECT_EQ(inst.firstShown, 0);
        // A position already shown: nothing to do.
        tk::setValue(inst.resultsPanel, inst.scrollBar, 0);
        EXPECT_EQ(scrollF(inst.resultsPanel), -1);

        // Someone else appended: the file's end is not this run any more.
        { std::ofstream(file, std::ios::app | std::ios::binary) << "ABCD"; }
        tk::startScript("answer expect \"" + file.string() + "\" \"Ошибка при чтении файла\"", "viewer");
        tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
        EXPECT_EQ(scrollF(inst.resultsPanel), -1);
        EXPECT_TRUE(tk::scriptResult().failures.empty());
    });
}

TEST_F(DataPath, NulInAnyCaseSwitchesWritingOff) {
    onModule([&](SorviInstance& inst) {
        setText(inst.mainPanel, MP_FILE_NAME, "NUL");
        EXPECT_EQ(inst.writeFile, 0);
        setText(inst.mainPanel, MP_FILE_NAME, "");
        EXPECT_EQ(inst.writeFile, 0);
        setText(inst.mainPanel, MP_FILE_NAME, (dir_ / "x.sorvi").string());
        EXPECT_EQ(inst.writeFile, 1);
    });
}

TEST_F(DataPath, SingleModeShowsTheModulesFrame) {
    for (int k = 1; k <= 32; ++k) {
        bench::ChannelInput in;
        in.kind = bench::ChannelInput::Kind::Voltage;
        in.volts = (k % 2 == 1) ? 5.0 : 0.0;
        ASSERT_TRUE(bench::testing::setInput(kCarrier, 1, k, in));
    }
    onModule([&](SorviInstance& inst) {
        configure(inst, 0, 0.001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        EXPECT_EQ(shown(inst.mainPanel, MP_RESULT), "0101010101010101");
        EXPECT_EQ(shown(inst.mainPanel, MP_RESULT_2), "0101010101010101");
        EXPECT_EQ(dimmed(inst.mainPanel, MP_STOP), 1);
    });
}

TEST_F(DataPath, SettingsReachTheModuleAndComeBack) {
    onModule([&](SorviInstance& inst) {
        const int mp = inst.mainPanel;
        const ViSession vi = inst.session;
        // Group 2 chosen: a change of the group 1 field still goes to group 2.
        tk::setValue(mp, MP_GROUP, 2);
        set(mp, MP_POROG_1, 3.0);
        EXPECT_DOUBLE_EQ(groupThreshold(vi, 2), 3.0);
        EXPECT_DOUBLE_EQ(groupThreshold(vi, 1), 2.0);
        EXPECT_EQ(shown(mp, MP_POROG_2), "3.00");
        set(mp, MP_GROUP, 2);  // selGroup refreshes the panel from the module
        EXPECT_EQ(shown(mp, MP_POROG_2), "3.00");
        EXPECT_EQ(shown(mp, MP_POROG_1), "2.00");

        // The relay of one group only.
        set(mp, MP_RELE_SWITCH, 1);
        EXPECT_EQ(groupRelay(vi, 2), 1);
        EXPECT_EQ(groupRelay(vi, 1), 0);

        // A period the driver refuses is not believed.
        set(mp, MP_SAMPLE_PERIOD, 0.002);
        EXPECT_DOUBLE_EQ(inst.samplePeriod, 0.002);
        set(mp, MP_SAMPLE_PERIOD, 5.0);
        EXPECT_DOUBLE_EQ(inst.samplePeriod, 0.002);
        EXPECT_FALSE(shown(mp, MP_ERROR_MESSAGE).empty());
        ViReal64 period = 0;
        lumex_sample_period_q(vi, &period);
        EXPECT_DOUBLE_EQ(period, 0.002);

        // Register written, then the read field's register read back.
        tk::setValue(mp, MP_NREG_OUT, 0x10);
        tk::setValue(mp, MP_REG_OUT, 0x0ABC);
        tk::setValue(mp, MP_NREG_IN, 0x10);
        tk::callCallback(mp, MP_CREG_OUT);
        ViUInt16 value = 0;
        ASSERT_GE(tarvo_m_in16(vi, 0x10, &value), 0);
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", value);
        EXPECT_EQ(shown(mp, MP_REG_IN), hex);
    });
}

TEST_F(DataPath, SelfTestShowsTheResultAndTheDriversText) {
    onModule([&](SorviInstance& inst) {
        tk::callCallback(inst.mainPanel, MP_SELFTEST);
        EXPECT_EQ(shown(inst.selfTestPanel, ST_RESULT), "0");
        EXPECT_NE(shown(inst.selfTestPanel, ST_MSG), "Идёт самоконтроль. Ждите ...");
        EXPECT_EQ(dimmed(inst.selfTestPanel, ST_CLOSE), 0);
        tk::callCallback(inst.selfTestPanel, ST_CLOSE);
        EXPECT_EQ(shown(inst.selfTestPanel, ST_MSG), "Идёт самоконтроль. Ждите ...");
        EXPECT_FALSE(visible(inst.selfTestPanel));
    });
}

// Channel k at -9 V + 0.55 V * k: the sweep finds each channel where the
// threshold first reaches its input.
TEST_F(DataPath, DacSweepTableFollowsTheInputVoltages) {
    bench::BenchDescription bench = bench::defaultBench();
    auto& inputs = bench.resources[0].carrier->positions[0].sorvi->inputs;
    for (int k = 1; k <= 32; ++k) {
        inputs[k - 1] = bench::ChannelInput{};
        inputs[k - 1].volts = -9.0 + 0.55 * k;
    }
    bench::testing::useBench(bench);
    onModule([&](SorviInstance& inst) {
        tk::callCallback(inst.mainPanel, MP_TEST);
        EXPECT_TRUE(visible(inst.mainPanel));
        for (int k = 1; k <= 16; ++k) {
            std::string cell;
            tk::getCell(inst.dacTestPanel, TP_TABLE, k, 1, cell);
            const double input = -9.0 + 0.55 * k;
            EXPECT_GE(std::stod(cell), input - 0.06) << "channel " << k << ": " << cell;
            EXPECT_LE(std::stod(cell), input + 0.01) << "channel " << k << ": " << cell;
        }
        // The panel's settings are back in the module.
        ViInt16 mode = -1;
        ViInt32 samples = 0;
        lumex_mode_q(inst.session, &mode, &samples);
        EXPECT_EQ(mode, 0);
        ViReal64 volts = 0;
        lumex_set_porog_q(inst.session, &volts);
        EXPECT_DOUBLE_EQ(volts, 2.0);
    });
}

TEST_F(DataPath, DacSweepOnAModuleReadingZerosEndsAtOnce) {
    bench::BenchDescription bench = bench::defaultBench();
    auto& inputs = bench.resources[0].carrier->positions[0].sorvi->inputs;
    for (auto& in : inputs) in = bench::ChannelInput{};
    for (auto& in : inputs) in.volts = -10.0;
    bench::testing::useBench(bench);
    onModule([&](SorviInstance& inst) {
        tk::callCallback(inst.mainPanel, MP_TEST);
        for (int k = 1; k <= 16; ++k) {
            std::string cell;
            tk::getCell(inst.dacTestPanel, TP_TABLE, k, 1, cell);
            EXPECT_EQ(cell, "-9.99") << "channel " << k;
        }
    });
}

// With one group chosen, the panel's settings reach that group only: the
// other gets back the threshold and relays it had, not the sweep's.
TEST_F(DataPath, DacSweepLeavesTheOtherGroupAsItWas) {
    bench::BenchDescription bench = bench::defaultBench();
    auto& inputs = bench.resources[0].carrier->positions[0].sorvi->inputs;
    for (int k = 1; k <= 32; ++k) {
        inputs[k - 1] = bench::ChannelInput{};
        inputs[k - 1].volts = -9.0 + 0.55 * k;
    }
    bench::testing::useBench(bench);
    onModule([&](SorviInstance& inst) {
        const int mp = inst.mainPanel;
        set(mp, MP_GROUP, 2);
        set(mp, MP_POROG_C, -1.5);
        set(mp, MP_RELE_SWITCH, 1);
        set(mp, MP_GROUP, 1);
        set(mp, MP_POROG_C, 3.0);
        set(mp, MP_RELE_SWITCH, 0);
        const double group2 = groupThreshold(inst.session, 2);
        ASSERT_DOUBLE_EQ(group2, -1.5);
        tk::callCallback(mp, MP_TEST);
        EXPECT_DOUBLE_EQ(groupThreshold(inst.session, 1), 3.0);
        EXPECT_EQ(groupRelay(inst.session, 1), 0);
        EXPECT_DOUBLE_EQ(groupThreshold(inst.session, 2), group2);
        EXPECT_EQ(groupRelay(inst.session, 2), 1);
        set(mp, MP_GROUP, 2);
        set(mp, MP_RELE_SWITCH, 0);
        tk::callCallback(mp, MP_TEST);
        EXPECT_EQ(groupRelay(inst.session, 1), 0);
        EXPECT_EQ(groupRelay(inst.session, 2), 0);
        EXPECT_DOUBLE_EQ(groupThreshold(inst.session, 1), 3.0);
    });
}

// "Запуск" pressed while a fetch processes events, with the end event of the
// run before still being handled: the new run goes on, "Останов" usable.
TEST_F(DataPath, AnEarlierRunsEndEventLeavesANewRunRunning) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(0.2);
        tk::callCallback(inst.mainPanel, MP_STOP);
        ASSERT_EQ(inst.dataPending.load(), 1);
        tk::postDeferredCall(
            [](void* data) { tk::callCallback(static_cast<SorviInstance*>(data)->mainPanel, MP_START); }, &inst);
        process_data(inst.mainPanel);  // the loop's turn for the end event
        EXPECT_EQ(moduleState(inst), 1);
        EXPECT_EQ(dimmed(inst.mainPanel, MP_STOP), 0);
        EXPECT_EQ(dimmed(inst.mainPanel, MP_START), 1);
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

// The host hides the panels and shows them again: chart and list go on with
// the frames acquired meanwhile.
TEST_F(DataPath, HiddenAndShownAgainTheChartAndListGoOn) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_GRAPH);
        tk::callCallback(inst.mainPanel, MP_SHOW_RES);
        tk::callCallback(inst.mainPanel, MP_START);
        sorvi_handle handle = reinterpret_cast<sorvi_handle>(&inst);
        EXPECT_EQ(sorvi_hide(handle), 0);
        EXPECT_FALSE(visible(inst.chartPanel));
        EXPECT_EQ(sorvi_display(handle), 0);
        EXPECT_EQ(inst.chartShown, 1);
        EXPECT_EQ(inst.resultsShown, 1);
        bench::testing::advanceSeconds(0.2);
        EXPECT_EQ(outData(inst), VI_SUCCESS);
        int lines = 0;
        tk::lineCount(inst.resultsPanel, RP_RESULTS_BOX, lines);
        EXPECT_GT(lines, 0);
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

// At the top of the first page nothing lies above the line: "другой кадр"
// still positions the list at its last line and finds the change before it.
TEST_F(DataPath, FindingAtTheTopOfTheFirstPageGoesOnFromItsLastLine) {
    const fs::path file = dir_ / "top.sorvi";
    onListedFileRun(file, [&](SorviInstance& inst) {
        stopAfter(inst, 0.5);
        const int rp = inst.resultsPanel;
        tk::setValue(rp, inst.scrollBar, 1);
        inst.firstShown = 4000;
        ASSERT_EQ(scrollF(rp), 0);  // the run's first page
        int lines = 0;
        tk::lineCount(rp, RP_RESULTS_BOX, lines);
        ASSERT_GT(lines, 2);
        tk::selectText(rp, RP_RESULTS_BOX, 0, 0, 0);
        tk::callCallback(rp, RP_ANOTHER_CADR);
        std::string selected;
        tk::selectedText(rp, RP_RESULTS_BOX, selected);
        EXPECT_FALSE(selected.empty());
        int at = -1;
        tk::getAttribute(rp, RP_RESULTS_BOX, tk::ATTR_LINE_POSITION, at);
        EXPECT_EQ(at, lines - 2);
    });
}

TEST_F(DataPath, AfterStopEveryFrameLeftIsFetchedRingByRing) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        bench::testing::advanceSeconds(2.5);  // 25 000 frames, more than two rings
        tk::callCallback(inst.mainPanel, MP_STOP);
        drain(inst, 5);
        EXPECT_EQ(inst.totalRead, 25000);
        EXPECT_EQ(inst.dataPending.load(), 0);
        ViInt32 ready = -1;
        lumex_numReadyData(inst.session, &ready);
        EXPECT_EQ(ready, 0);
    });
}

TEST_F(DataPath, ARingPositionPastTheEndReadsFromTheStartWhole) {
    bench::testing::useVirtualClock();
    onModule([&](SorviInstance& inst) {
        configure(inst, 2, 0.0001, 1000);
        tk::callCallback(inst.mainPanel, MP_START);
        inst.writeIndex = inst.bufferSize + 5;
        bench::testing::advanceSeconds(0.05);
        testing::internal::CaptureStdout();
        EXPECT_EQ(outData(inst), VI_SUCCESS);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "!!!stopBL=10245, portionSize=-5\n");
        EXPECT_EQ(inst.totalRead, 500);
        EXPECT_EQ(inst.writeIndex, 500);  // the portion sits whole at the start
        tk::callCallback(inst.mainPanel, MP_STOP);
    });
}

TEST_F(DataPath, TwoModulesAcquireIntoTheirOwnListsAndFiles) {
    bench::testing::useVirtualClock();
    const fs::path fileA = dir_ / "a.sorvi";
    const fs::path fileB = dir_ / "b.sorvi";
    onModule([&](SorviInstance& a) {
        const sorvi_handle other = [&] {
            sorvi_handle h = 0;
            EXPECT_EQ(initAnswered(carrier_, 3, h), 0);
            return h;
        }();
        displayAndRun(other, [&](SorviInstance& b) {
            configure(a, 2, 0.0001, 1000);
            configure(b, 2, 0.0002, 1000);
            setText(a.mainPanel, MP_FILE_NAME, fileA.string());
            setText(b.mainPanel, MP_FILE_NAME, fileB.string());
            tk::callCallback(a.mainPanel, MP_START);
            tk::callCallback(b.mainPanel, MP_START);
            bench::testing::advanceSeconds(0.2);
            EXPECT_EQ(outData(a), VI_SUCCESS);
            EXPECT_EQ(outData(b), VI_SUCCESS);
            EXPECT_EQ(a.totalRead, 2000);
            EXPECT_EQ(b.totalRead, 1000);
            EXPECT_EQ(fileFrames(fileA), ringFrames(a, 0, 2000));
            EXPECT_EQ(fileFrames(fileB), ringFrames(b, 0, 1000));
            int linesA = 0, linesB = 0;
            tk::lineCount(a.resultsPanel, RP_RESULTS_BOX, linesA);
            tk::lineCount(b.resultsPanel, RP_RESULTS_BOX, linesB);
            EXPECT_GT(linesA, 0);
            EXPECT_GT(linesB, 0);
            EXPECT_NE(a.resultsPanel, b.resultsPanel);
            tk::callCallback(a.mainPanel, MP_STOP);
            tk::callCallback(b.mainPanel, MP_STOP);
        });
    });
}

TEST_F(DataPath, ViewerTellsAFileRemovedAndFindsThePreviousChange) {
    const fs::path file = dir_ / "gone.sorvi";
    onListedFileRun(file, [&](SorviInstance& inst) {
        stopAfter(inst, 0.5);
        const int rp = inst.resultsPanel;

        // "другой кадр" from the last line: the line before it, marked from
        // its first to its last differing character.
        int lines = 0;
        tk::lineCount(rp, RP_RESULTS_BOX, lines);
        ASSERT_GT(lines, 2);
        tk::selectText(rp, RP_RESULTS_BOX, lines - 2, 0, 0);
        tk::callCallback(rp, RP_ANOTHER_CADR);
        std::string at, before, selected;
        tk::lineText(rp, RP_RESULTS_BOX, lines - 2, at);
        tk::lineText(rp, RP_RESULTS_BOX, lines - 3, before);
        tk::selectedText(rp, RP_RESULTS_BOX, selected);
        std::size_t first = 0;
        while (at[first] == before[first]) ++first;
        std::size_t last = at.size() - 1;
        while (at[last] == before[last]) --last;
        EXPECT_EQ(selected, before.substr(first, last - first + 1));

        fs::remove(file);
        tk::setValue(rp, inst.scrollBar, 1);
        inst.firstShown = 4000;
        tk::startScript("answer expect \"" + file.string() + "\" \"Не возможно открыть файл\"", "removed");
        EXPECT_EQ(scrollF(rp), -1);
        EXPECT_TRUE(tk::scriptResult().failures.empty());
    });
}

TEST_F(DataPath, ARefusedInterruptMaskIsNotBelieved) {
    onModule([&](SorviInstance& inst) {
        bench::testing::failNext("tarvo_m_out16", static_cast<ViStatus>(0xBFFF0015), 10);  // time-out
        set(inst.mainPanel, MP_ENABLE_INTERRUPT, 1);
        bench::testing::clearFailures();
        EXPECT_EQ(inst.interruptMask, 0);
        EXPECT_FALSE(shown(inst.mainPanel, MP_ERROR_MESSAGE).empty());
    });
}

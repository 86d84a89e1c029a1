// The channel displays on a demo instance's panels: the results list's lines
// and times, its bound, the strip chart's traces, the error line of the
// instance it belongs to, and the ring size dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_path.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"

using namespace sorvi_test;

namespace {

class Displays : public ::testing::Test {
protected:
    void SetUp() override { tk::resetScript(); }
    void TearDown() override { tk::resetScript(); }
};

std::vector<std::string> listLines(const SorviInstance& inst) {
    int n = 0;
    tk::lineCount(inst.resultsPanel, RP_RESULTS_BOX, n);
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
        std::string text;
        tk::lineText(inst.resultsPanel, RP_RESULTS_BOX, i, text);
        lines.push_back(text);
    }
    return lines;
}

std::string line(long long number, std::uint32_t frame) {
    char text[64];
    formatResultLine(text, number, frame);
    return text;
}

// Runs body on a demo instance at position 1 whose panels are up.
void onDemoPanels(const std::function<void(SorviInstance&)>& body) {
    const sorvi_handle handle = openDemo(1);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(displayAndRun(handle, body), 0);
}

}  // namespace

TEST_F(Displays, LineShowsChannel32FirstInGroupsOfFour) {
    EXPECT_EQ(line(1, 0x80000001u), "    1 1000 0000 0000 0000 0000 0000 0000 0001 ");
    EXPECT_EQ(line(123456, 0xF0F0000Fu), "123456 1111 0000 1111 0000 0000 0000 0000 1111 ");
}

TEST_F(Displays, ListPrintsChangesOnlyWithTheTimeBetweenThem) {
    onDemoPanels([](SorviInstance& inst) {
        const std::uint32_t a = 0x5u, b = 0x80000001u;
        const std::uint32_t frames[5] = {a, a, a, b, b};
        inst.samplePeriod = 0.001;
        inst.runLength = 0;
        inst.firstShown = 0;
        inst.running = 1;
        ASSERT_EQ(fillTextBox(inst, frames, -1, 5), VI_SUCCESS);
        EXPECT_EQ(listLines(inst), (std::vector<std::string>{line(1, a), line(4, b)}));
        EXPECT_EQ(shown(inst.resultsPanel, RP_LAST_TRIG_TIME), "3.000000E-3");
        EXPECT_EQ(shown(inst.resultsPanel, RP_STROK_N), "1");
        EXPECT_EQ(shown(inst.resultsPanel, RP_STROK_K), "5");
        EXPECT_EQ(inst.firstShown, 5);

        // The same portion once the module has stopped: a closing line with
        // the state the window ends in, numbered one past it.
        tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
        inst.firstShown = 0;
        inst.runLength = 0;
        inst.running = 0;
        ASSERT_EQ(fillTextBox(inst, frames, -1, 5), VI_SUCCESS);
        EXPECT_EQ(listLines(inst), (std::vector<std::string>{line(1, a), line(4, b), line(6, b)}));

        // An empty window prints nothing, and a list without a run behind it
        // (runLength below zero) shows no time instead of billions of periods.
        tk::clearTextBox(inst.resultsPanel, RP_RESULTS_BOX);
        ASSERT_EQ(fillTextBox(inst, frames, -1, 0), VI_SUCCESS);
        EXPECT_TRUE(listLines(inst).empty());
        inst.runLength = -5000;
        inst.running = 1;
        ASSERT_EQ(fillTextBox(inst, frames, -1, 1), VI_SUCCESS);
        EXPECT_EQ(shown(inst.resultsPanel, RP_LAST_TRIG_TIME), "0.000000E+0");
    });
}

TEST_F(Displays, RingWindowWrapsAndAPortionIsListedWhole) {
    onDemoPanels([](SorviInstance& inst) {
        inst.running = 1;
        // A window from the ring's last two frames round to its start.
        inst.buffer[inst.bufferSize - 2] = 1;
        inst.buffer[inst.bufferSize - 1] = 2;
        inst.buffer[0] = 3;
        ASSERT_EQ(fillTextBox(inst, inst.buffer + inst.bufferSize - 2, 0, 3), VI_SUCCESS);
        EXPECT_EQ(listLines(inst), (std::vector<std::string>{line(1, 1), line(2, 2), line(3, 3)}));

        // Every frame a change, 5000 of them: each keeps its line (the list
        // is only cleared before a portion, never inside one), and the
        // numbers shown name the portion's first and last frame.
        std::vector<std::uint32_t> frames(5000);
        for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = std::uint32_t(i);
        ASSERT_EQ(fillTextBox(inst, frames.data(), -1, int(frames.size())), VI_SUCCESS);
        const auto lines = listLines(inst);
        ASSERT_EQ(lines.size(), 3u + 5000u);
        EXPECT_EQ(lines[3], line(4, 0));
        EXPECT_EQ(lines.back(), line(3 + 5000, 4999));
        EXPECT_EQ(shown(inst.resultsPanel, RP_STROK_N), "4");
        EXPECT_EQ(shown(inst.resultsPanel, RP_STROK_K), "5003");
    });
}

TEST_F(Displays, TwoInstancesKeepTheirOwnPreviousFrame) {
    onDemoPanels([](SorviInstance& first) {
        const sorvi_handle other = openDemo(2);
        ASSERT_NE(other, 0);
        displayAndRun(other, [&first](SorviInstance& second) {
            first.running = second.running = 1;
            const std::uint32_t a[2] = {7, 7};
            const std::uint32_t b[2] = {9, 9};
            fillTextBox(first, a, -1, 2);
            fillTextBox(second, b, -1, 2);
            fillTextBox(first, a, -1, 2);  // still 7: no new line for the first
            EXPECT_EQ(listLines(first).size(), 1u);
            EXPECT_EQ(listLines(second).size(), 1u);
        });
    });
}

TEST_F(Displays, ChartPlotsBandsOnlyWhileShown) {
    onDemoPanels([](SorviInstance& inst) {
        inst.buffer[0] = 0x80000001u;
        inst.chartShown = 0;
        EXPECT_EQ(stripChartOut(inst, inst.buffer, 1), VI_SUCCESS);
        std::vector<double> points;
        tk::tracePoints(inst.chartPanel, SP_STRIPCHART, 1, points);
        EXPECT_TRUE(points.empty());

        inst.chartShown = 1;
        EXPECT_EQ(stripChartOut(inst, inst.buffer, 1), VI_SUCCESS);
        tk::tracePoints(inst.chartPanel, SP_STRIPCHART, 1, points);
        EXPECT_EQ(points, std::vector<double>{1.0});  // channel 1 high: 0 + 1
        tk::tracePoints(inst.chartPanel, SP_STRIPCHART, 2, points);
        EXPECT_EQ(points, std::vector<double>{3.0});  // channel 2 low: 3 + 0
        tk::tracePoints(inst.chartPanel, SP_STRIPCHART, 32, points);
        EXPECT_EQ(points, std::vector<double>{94.0});  // channel 32 high: 93 + 1

        // A long portion: the chart keeps its last screenful, the newest last.
        for (int i = 0; i < inst.bufferSize; ++i) inst.buffer[i] = std::uint32_t(i) & 1u;
        EXPECT_EQ(stripChartOut(inst, inst.buffer + 100, inst.bufferSize), VI_SUCCESS);
        tk::tracePoints(inst.chartPanel, SP_STRIPCHART, 1, points);
        ASSERT_EQ(points.size(), 1024u);
        EXPECT_EQ(points.back(), 1.0);  // frame 99, the window's last, is odd
    });
}

TEST_F(Displays, ErrorsLandOnTheirOwnInstancesLine) {
    onDemoPanels([](SorviInstance& first) {
        const sorvi_handle other = openDemo(2);
        ASSERT_NE(other, 0);
        displayAndRun(other, [&first](SorviInstance& second) {
            tk::setActivePanel(second.mainPanel);
            EXPECT_EQ(checkError(first, LUMEX_ERROR_RUNNING), LUMEX_ERROR_RUNNING);
            EXPECT_FALSE(shown(first.mainPanel, MP_ERROR_MESSAGE).empty());
            EXPECT_TRUE(shown(second.mainPanel, MP_ERROR_MESSAGE).empty());
            int colour = 0;
            tk::getAttribute(first.mainPanel, MP_ERROR_MESSAGE, tk::ATTR_TEXT_BGCOLOR, colour);
            EXPECT_EQ(colour, 0xFF0000);
            EXPECT_EQ(checkError(first, VI_SUCCESS), VI_SUCCESS);
            EXPECT_FALSE(shown(first.mainPanel, MP_ERROR_MESSAGE).empty());
        });
    });
}

TEST_F(Displays, RingSizeDialogRoundsUpAndKeepsTheRingOnFailure) {
    EXPECT_EQ(ringSizeFor(256), 512);
    EXPECT_EQ(ringSizeFor(10240), 10496);
    EXPECT_EQ(ringSizeFor(10000), 10240);
    EXPECT_EQ(ringSizeFor(0), 256);
    EXPECT_EQ(ringSizeFor(4294967295u), 4294967296LL);  // no 32-bit wrap to a tiny ring
    onDemoPanels([](SorviInstance& inst) {
        inst.buffer[5] = 0xABCD;
        auto setTo = [&inst](unsigned typed) {
            tk::displayPanel(inst.paramsPanel);
            tk::setValue(inst.paramsPanel, PP_BUF_SIZE, typed);
            tk::callCallback(inst.paramsPanel, PP_SET_PARAMS);
        };
        setTo(10240);
        EXPECT_EQ(inst.bufferSize, 10496);
        EXPECT_EQ(inst.buffer[5], 0xABCDu);  // contents kept
        inst.writeIndex = 77;
        setTo(10495);
        EXPECT_EQ(inst.bufferSize, 10496);
        EXPECT_EQ(inst.writeIndex, 77);  // unchanged size: ring untouched
        setTo(10496);
        EXPECT_EQ(inst.bufferSize, 10752);
        EXPECT_EQ(inst.writeIndex, 0);
        EXPECT_FALSE(tk::panelExists(inst.paramsPanel) && visible(inst.paramsPanel));
        setTo(4294967295u);
        EXPECT_EQ(inst.bufferSize, 10752);
        EXPECT_EQ(inst.buffer[5], 0xABCDu);
        EXPECT_EQ(shown(inst.mainPanel, MP_ERROR_MESSAGE), "Не возможно получить память");
    });
}

TEST_F(Displays, DemoModeStandsInForTheModule) {
    tk::useVirtualClock(true);
    onDemoPanels([](SorviInstance& inst) {
        const double t0 = tk::timer();
        tk::callCallback(inst.mainPanel, MP_SELFTEST);
        EXPECT_DOUBLE_EQ(tk::timer() - t0, 1.0);
        EXPECT_EQ(shown(inst.selfTestPanel, ST_RESULT), "0");
        EXPECT_EQ(shown(inst.selfTestPanel, ST_MSG), "Демо-версия");
        tk::setValue(inst.mainPanel, MP_SAMPLE_PERIOD, 0.005);
        tk::callCallback(inst.mainPanel, MP_SAMPLE_PERIOD);
        EXPECT_DOUBLE_EQ(inst.samplePeriod, 0.005);
        // Single mode: a random frame below 65536 in the two fields.
        tk::callCallback(inst.mainPanel, MP_START);
        EXPECT_EQ(shown(inst.mainPanel, MP_RESULT_2), "0000000000000000");
        EXPECT_EQ(shown(inst.mainPanel, MP_RESULT).size(), 16u);
    });
    tk::useVirtualClock(false);
}

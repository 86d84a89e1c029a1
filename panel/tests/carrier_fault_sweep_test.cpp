// Every carrier call the soft front panel's operations make, failed once in
// turn on the simulated bench: the panel shows the failure where it shows
// errors (the error line, a pop-up, the self-test's result), does not crash,
// and the same operation works again right after. Under the sanitizers this
// also shows that no failure path leaks or touches freed memory.
//
// LUMEX_FAULT_TABLE=1 prints what each failure showed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bench_carrier_fixture.h"
#include "bench_command.h"
#include "bench_test_interface.h"
#include "data_path.h"
#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

using namespace sorvi_test;

namespace {

constexpr ViStatus kInjected = static_cast<ViStatus>(0xBFFF003E);  // I/O error

// A run at 0.1 ms; the relays stay as they are.
void configureRun(SorviInstance& inst, int mode, int size, bool interrupts) {
    const int mp = inst.mainPanel;
    set(mp, MP_SAMPLE_PERIOD, 0.0001);
    set(mp, MP_MODE, mode);
    set(mp, MP_B_P_SIZE, size);
    set(mp, MP_ENABLE_INTERRUPT, interrupts ? 1 : 0);
}

// A run on interrupts for `seconds` of the test's clock, fetched, then stopped.
void runAndStop(SorviInstance& inst, int mode, int size, double seconds) {
    configureRun(inst, mode, size, true);
    tk::callCallback(inst.mainPanel, MP_START);
    bench::testing::advanceSeconds(seconds);
    drain(inst);
    tk::callCallback(inst.mainPanel, MP_STOP);
}

// What the self-test panel showed before it was closed.
std::string gSelfTestShown;

struct Scenario {
    const char* name;
    std::function<void(SorviInstance&)> run;
    bool virtualTime = false;  // runs paced by the test; else the driver's polls need real time
    int ends = 1;              // occurrences failed at each end of a long series of one call
};

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = {
        {"settings",
         [](SorviInstance& inst) {
             const int mp = inst.mainPanel;
             set(mp, MP_POROG_C, 2.5);
             tk::setValue(mp, MP_GROUP, 2);
             set(mp, MP_POROG_1, 3.0);
             set(mp, MP_GROUP, 0);
             set(mp, MP_SAMPLE_PERIOD, 0.001);
             set(mp, MP_RELE_SWITCH, 1);
             set(mp, MP_START_TYPE, 0);
             set(mp, MP_ENABLE_INTERRUPT, 1);
             set(mp, MP_ENABLE_INTERRUPT, 0);
         }},
        {"memory",
         [](SorviInstance& inst) {
             const int all = inst.memorySize;
             set(inst.mainPanel, MP_BASE_MEM, all / 2);
             set(inst.mainPanel, MP_BASE_MEM, all);
         }},
        {"single mode",
         [](SorviInstance& inst) {
             configureRun(inst, 0, 1000, false);
             tk::callCallback(inst.mainPanel, MP_START);
             tk::callCallback(inst.mainPanel, MP_CADR);
         }},
        {"cycle run",
         [](SorviInstance& inst) {
             runAndStop(inst, 2, 1000, 0.2);
             inst.dataPending.store(1);
             drain(inst);
         },
         true},
        {"block run", [](SorviInstance& inst) { runAndStop(inst, 1, 500, 0.1); }, true},
        {"registers",
         [](SorviInstance& inst) {
             const int mp = inst.mainPanel;
             tk::setValue(mp, MP_NREG_OUT, 0x10);
             tk::setValue(mp, MP_REG_OUT, 0x0ABC);
             tk::setValue(mp, MP_NREG_IN, 0x10);
             tk::callCallback(mp, MP_CREG_OUT);
             tk::callCallback(mp, MP_CREG_IN);
         }},
        {"reset", [](SorviInstance& inst) { tk::callCallback(inst.mainPanel, MP_RESET); }},
        {"self-test",
         [](SorviInstance& inst) {
             tk::callCallback(inst.mainPanel, MP_SELFTEST);
             gSelfTestShown = "self-test " + shown(inst.selfTestPanel, ST_RESULT) + " \"" +
                              shown(inst.selfTestPanel, ST_MSG) + "\"";
             tk::callCallback(inst.selfTestPanel, ST_CLOSE);
         }},
        {"DAC sweep",
         [](SorviInstance& inst) {
             // Inputs just above the lowest threshold: the sweep ends after
             // a few steps instead of two thousand.
             bench::ChannelInput low;
             low.volts = -9.9;
             for (int k = 1; k <= 32; ++k) bench::testing::setInput(kCarrier, 1, k, low);
             tk::callCallback(inst.mainPanel, MP_TEST);
         }},
    };
    return all;
}

// What the panel shows after an operation: its error line, the pop-ups that
// came up meanwhile and, after a self-test, the test's result and message.
std::string whatShows(SorviInstance& inst, std::size_t popupsBefore, std::string* selfTestShown) {
    std::string shownText;
    const std::string line = shown(inst.mainPanel, MP_ERROR_MESSAGE);
    if (!line.empty()) shownText += "error line \"" + line + "\"";
    const auto popups = tk::messagePopupsSeen();
    for (std::size_t i = popupsBefore; i < popups.size(); ++i)
        shownText += (shownText.empty() ? "" : "; ") + std::string("pop-up \"") + popups[i].title + ": " +
                     popups[i].text + "\"";
    if (selfTestShown) *selfTestShown = gSelfTestShown;
    return shownText;
}

// Which occurrences of each call to fail: all of a few, or the first and
// last `ends` of many (state polls repeat their calls as long as they wait).
std::vector<std::pair<std::string, int>> injections(const std::vector<std::string>& calls, int ends) {
    std::map<std::string, int> counts;
    std::vector<std::string> order;
    for (const std::string& c : calls)
        if (counts[c]++ == 0) order.push_back(c);
    std::vector<std::pair<std::string, int>> chosen;
    for (const std::string& c : order) {
        const int n = counts[c];
        for (int k = 0; k < n; ++k)
            if (n <= 2 * ends || k < ends || k >= n - ends) chosen.emplace_back(c, k);
    }
    return chosen;
}

class CarrierFaultSweep : public BenchCarrier {
protected:
    void SetUp() override {
        BenchCarrier::SetUp();
        openCarrier();
    }

    // Runs the operation with pop-ups answered; returns what it showed.
    std::string runShowing(SorviInstance& inst, const Scenario& s, std::string* selfTestShown) {
        if (s.virtualTime) bench::testing::useVirtualClock();
        else sorvi_bench_command("clock real", nullptr, 0);
        tk::resetControl(inst.mainPanel, MP_ERROR_MESSAGE);
        gSelfTestShown.clear();
        const auto before = tk::messagePopupsSeen().size();
        tk::startScript("answer\nanswer\nanswer", "fault");
        s.run(inst);
        tk::resetScript();
        return whatShows(inst, before, selfTestShown);
    }

    std::map<std::string, std::set<std::string>> table_;  // "operation: call" -> what showed
    int injected_ = 0;
    std::map<std::string, double> seconds_;  // time each operation's sweep took
};

void record(std::map<std::string, std::set<std::string>>& table, const std::string& key, const std::string& what) {
    table[key].insert(what.empty() ? "(nothing shown)" : what);
}

}  // namespace

TEST_F(CarrierFaultSweep, EveryCarrierCallOfEveryPanelOperationFailsOnce) {
    std::vector<std::string> unshown;
    sorvi_handle handle = 0;
    ASSERT_EQ(initAnswered(carrier_, 1, handle), 0);
    displayAndRun(handle, [&](SorviInstance& inst) {
        // The input relays of both groups on, once (switching them waits for
        // them to settle); runs would warn while they are off.
        tk::setValue(inst.mainPanel, MP_GROUP, 0);
        set(inst.mainPanel, MP_RELE_SWITCH, 1);
        for (const Scenario& s : scenarios()) {
            const auto began = std::chrono::steady_clock::now();
            std::string baselineTest;
            bench::testing::startCallLog();
            const std::string baseline = runShowing(inst, s, &baselineTest);
            const std::vector<std::string> calls = bench::testing::callLog();
            bench::testing::stopCallLog();
            ASSERT_EQ(baseline, "") << s.name << " shows something with no fault";
            ASSERT_FALSE(calls.empty()) << s.name;

            for (const auto& [call, skip] : injections(calls, s.ends)) {
                const std::string key = std::string(s.name) + ": " + call;
                bench::testing::failNext(call, kInjected, 1, skip);
                std::string testShown;
                const std::string what = runShowing(inst, s, &testShown);
                bench::testing::clearFailures();
                ++injected_;
                const bool selfTestFailed = !testShown.empty() && testShown != baselineTest;
                EXPECT_NE(testShown, "self-test 0 \"\"") << key << ": a self-test that never ran reads as a pass";
                record(table_, key, selfTestFailed ? testShown : what);
                if (what.empty() && !selfTestFailed) unshown.push_back(key + " #" + std::to_string(skip + 1));

                // The operator stops whatever may still run; then the same
                // operation works as it did before the fault.
                tk::callCallback(inst.mainPanel, MP_STOP);
                inst.dataPending.store(0);
                inst.errorPending.store(0);
                std::string againTest;
                EXPECT_EQ(runShowing(inst, s, &againTest), "") << s.name << " after " << key << " #" << skip + 1;
                EXPECT_EQ(againTest, baselineTest) << s.name << " after " << key << " #" << skip + 1;
            }
            seconds_[s.name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        }
    });

    // Opening and closing the instance: a failure while opening shows in the
    // init pop-up (or its warning), one while closing goes by on purpose (the
    // instance is released whatever fails).
    bench::testing::startCallLog();
    ASSERT_EQ(initAnswered(carrier_, 1, handle), 0);
    displayAndRun(handle);
    const std::vector<std::string> lifeCalls = bench::testing::callLog();
    bench::testing::stopCallLog();
    for (const auto& [call, skip] : injections(lifeCalls, 1)) {
        bench::testing::failNext(call, kInjected, 1, skip);
        const auto before = tk::messagePopupsSeen().size();
        tk::startScript("answer\nanswer", "init");
        handle = 0;
        const ViInt32 status = sorvi_init(carrier_, 1, VI_TRUE, VI_TRUE, &handle);
        tk::resetScript();
        if (status == 0) displayAndRun(handle);
        bench::testing::clearFailures();
        ++injected_;
        std::string what;
        const auto popups = tk::messagePopupsSeen();
        for (std::size_t i = before; i < popups.size(); ++i)
            what += (what.empty() ? "" : "; ") + std::string("pop-up \"") + popups[i].title + ": " + popups[i].text +
                    "\"";
        record(table_, std::string("open/close: ") + call, what);
        if (status != 0) {
            EXPECT_EQ(handle, 0);
            EXPECT_FALSE(what.empty()) << call << " #" << skip + 1 << " failed the init without a pop-up";
        }
        // The position opens again. A carrier that failed to close the
        // module's session holds the position until the carrier session
        // itself closes, as the host does when it lets the carrier go.
        handle = 0;
        if (call == "tarvo_m_close") {
            record(table_, std::string("open/close: ") + call, "position held until the carrier session closes");
            tarvo_close(carrier_);
            ASSERT_NO_FATAL_FAILURE(openCarrier());
        }
        ASSERT_EQ(initAnswered(carrier_, 1, handle), 0) << "after " << call << " #" << skip + 1;
        displayAndRun(handle);
    }

    if (std::getenv("LUMEX_FAULT_TABLE")) {
        std::printf("%d failures injected\n", injected_);
        for (const auto& [key, outcomes] : table_) {
            std::printf("%-44s", key.c_str());
            for (const std::string& o : outcomes) std::printf(" | %s", o.c_str());
            std::printf("\n");
        }
        for (const std::string& u : unshown) std::printf("unshown: %s\n", u.c_str());
        for (const auto& [name, seconds] : seconds_) std::printf("%s: %.2f s\n", name.c_str(), seconds);
    }
    EXPECT_GT(injected_, 100);
}

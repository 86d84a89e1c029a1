// Instances without hardware: init values, refused positions and handles,
// the first display (load, titles, offset, start values), hide and show,
// the exit confirmation, a panel that fails to load, and instances that
// must not act on one another.
#include <gtest/gtest.h>

#include <cstring>

#include "lumex.h"
#include "plugin_test_support.h"
#include "sorvi_uir.h"

using namespace sorvi_test;

namespace {

class DemoInstance : public ::testing::Test {
protected:
    void SetUp() override { tk::resetScript(); }
    void TearDown() override {
        tk::resetScript();
        registerSorviResource();
        tk::registerResource(sorviResource());
    }
};

int lastPanelHandle() {
    const int probe = tk::newPanel(0, "probe", 0, 0, 10, 10);
    tk::discardPanel(probe);
    return probe;
}

}  // namespace

TEST_F(DemoInstance, InitFillsTheRecordWithoutHardware) {
    const sorvi_handle handle = openDemo(2, 0);
    ASSERT_NE(handle, 0);
    SorviInstance* inst = instanceOf(handle);
    EXPECT_EQ(inst->session, 0);
    EXPECT_EQ(inst->crate, 10);
    EXPECT_EQ(inst->slot, 11);
    EXPECT_EQ(inst->mezIndex, 2);
    EXPECT_EQ(inst->memorySize, 32000000 / 16);
    EXPECT_STREQ(inst->title, "");
    EXPECT_STREQ(inst->fileName, "");
    EXPECT_EQ(inst->bufferSize, 10240);
    ASSERT_NE(inst->buffer, nullptr);
    EXPECT_EQ(inst->buffer[0], 0u);
    EXPECT_EQ(inst->buffer[10239], 0u);
    EXPECT_EQ(inst->writeIndex, 0);
    EXPECT_EQ(inst->wrapped, 0);
    EXPECT_DOUBLE_EQ(inst->samplePeriod, 0.001);
    EXPECT_EQ(inst->panelsLoaded, 0);
    EXPECT_EQ(instances::entry(2).instance, inst);
    EXPECT_EQ(instances::entry(2).session, 0);

    // Closing an instance whose display never ran releases it at once: no
    // loop runs for it that would. The handle is dead afterwards.
    sorvi_handle copy = handle;
    EXPECT_EQ(sorvi_close(&copy), 0);
    EXPECT_EQ(copy, 0);
    EXPECT_FALSE(instances::isOpen(inst));
    EXPECT_EQ(instances::entry(2).instance, nullptr);
    sorvi_handle again = handle;
    EXPECT_EQ(sorvi_close(&again), -1);
}

TEST_F(DemoInstance, PositionOutsideOneToFourIsRefusedThroughThePopup) {
    const auto before = tk::messagePopupsSeen().size();
    for (int position : {0, 5, -1, 32767}) {
        tk::startScript("answer expect \"Ошибка инициализации\" \"" + [&] {
            char text[LUMEX_TEXT_SIZE] = {};
            lumex_error_message(VI_NULL, VI_ERROR_PARAMETER2, text);
            return tk::fromCp1251(text);
        }() + "\"");
        sorvi_handle handle = 1234;
        EXPECT_EQ(sorvi_init(0, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &handle), VI_ERROR_PARAMETER2);
        EXPECT_EQ(handle, 0);
        for (int i = 0; i < instances::kTableEntries; ++i) EXPECT_EQ(instances::entry(i).instance, nullptr);
    }
    EXPECT_EQ(tk::messagePopupsSeen().size(), before + 4);
    EXPECT_TRUE(tk::scriptResult().failures.empty());
}

TEST_F(DemoInstance, BadHandlesGetMinusOne) {
    EXPECT_EQ(sorvi_display(0), -1);
    EXPECT_EQ(sorvi_hide(0), -1);
    EXPECT_EQ(sorvi_close(nullptr), -1);
    sorvi_handle none = 0;
    EXPECT_EQ(sorvi_close(&none), -1);
    SorviInstance stranger;
    sorvi_handle foreign = reinterpret_cast<sorvi_handle>(&stranger);
    EXPECT_EQ(sorvi_display(foreign), -1);
    EXPECT_EQ(sorvi_hide(foreign), -1);
    EXPECT_EQ(sorvi_close(&foreign), -1);
    tk::startScript("answer");
    EXPECT_LT(sorvi_init(0, 1, VI_TRUE, VI_TRUE, nullptr), 0);
}

TEST_F(DemoInstance, FirstDisplayLoadsTitlesOffsetsAndFillsThePanels) {
    const int home = tk::newPanel(0, "host", 50, 50, 100, 200, "HOST");
    const sorvi_handle handle = openDemo(3, home);
    ASSERT_NE(handle, 0);
    int mainPanel = 0;
    const int status = displayAndRun(handle, [&](SorviInstance& inst) {
        EXPECT_EQ(inst.panelsLoaded, 1);
        EXPECT_EQ(inst.panelSlot, 3);
        mainPanel = inst.mainPanel;
        const std::string suffix = " крейт 10, слот 11, М-Модуль 3";
        EXPECT_EQ(title(inst.mainPanel), "СОРВИ" + suffix);
        EXPECT_EQ(title(inst.chartPanel), "СОРВИ" + suffix);
        EXPECT_EQ(title(inst.exitPopup), "СОРВИ" + suffix);
        EXPECT_EQ(title(inst.errorPanel), "Ошибка СОРВИ" + suffix);
        EXPECT_EQ(title(inst.aboutPanel), " СОРВИ" + suffix);
        EXPECT_EQ(title(inst.dacTestPanel), "ОРТИС. Тестирование. СОРВИ" + suffix);
        int panels[9];
        instancePanels(inst, panels);
        const int ids[9] = {ABOUT, RP, ST, EXIT_POPUP, SP, EP, TP, PP, MP};
        for (int i = 0; i < 9; ++i) {
            void* data = nullptr;
            tk::getPanelCallbackData(panels[i], data);
            EXPECT_EQ(data, &inst);
            int id = 0;
            tk::getPanelAttribute(panels[i], tk::ATTR_PANEL_ID, id);
            EXPECT_EQ(id, ids[i]) << "load order";
            EXPECT_EQ(visible(panels[i]), panels[i] == inst.mainPanel);
        }
        EXPECT_EQ(shown(inst.mainPanel, MP_K), "10");
        EXPECT_EQ(shown(inst.mainPanel, MP_S), "11");
        EXPECT_EQ(shown(inst.mainPanel, MP_MEZ_NUM), "3");
        EXPECT_EQ(shown(inst.mainPanel, MP_BASE_MEM), "2000000");
        EXPECT_EQ(shown(inst.aboutPanel, ABOUT_SOFT_VERSION), "2.0");
        const std::string driver = shown(inst.aboutPanel, ABOUT_DRVR_VERSION);
        EXPECT_FALSE(driver.empty() || driver == " ");
        int value = -1;
        EXPECT_EQ(tk::getPanelAttribute(inst.mainPanel, 600, value), 0);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(tk::getPanelAttribute(inst.mainPanel, 580, value), 0);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(tk::getAttribute(inst.mainPanel, MP_D_FILE_NAME, 610, value), 0);
        EXPECT_EQ(value, 0);
        for (int trace : {1, 32}) {
            value = -1;
            EXPECT_EQ(tk::getTraceAttribute(inst.chartPanel, SP_STRIPCHART, trace, 1230, value), 0);
            EXPECT_EQ(value, 0);
        }
        EXPECT_STREQ(inst.fileName, "nul");
        EXPECT_EQ(inst.writeFile, 0);

        // Three positions of 20 pixels right and down from where the
        // toolkit puts a fresh main panel.
        const int fresh = tk::loadPanel(0, SORVI_RESOURCE, MP, &sorviBindings());
        int top = 0, left = 0, freshTop = 0, freshLeft = 0;
        tk::getPanelAttribute(fresh, tk::ATTR_TOP, freshTop);
        tk::getPanelAttribute(fresh, tk::ATTR_LEFT, freshLeft);
        tk::getPanelAttribute(inst.mainPanel, tk::ATTR_TOP, top);
        tk::getPanelAttribute(inst.mainPanel, tk::ATTR_LEFT, left);
        tk::discardPanel(fresh);
        EXPECT_EQ(top - freshTop, 60);
        EXPECT_EQ(left - freshLeft, 60);
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(tk::panelExists(mainPanel));
    EXPECT_TRUE(visible(home)) << "the host's panel comes back when the instance ends";
    EXPECT_EQ(instances::entry(3).instance, nullptr);
    tk::discardPanel(home);
}

TEST_F(DemoInstance, HideThenDisplayShowsTheSamePanelsAgain) {
    const int home = tk::newPanel(0, "host", 50, 50, 100, 200, "HOST");
    const sorvi_handle handle = openDemo(1, home);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(displayAndRun(handle,
                            [&](SorviInstance& inst) {
                                const int main = inst.mainPanel;
                                tk::hidePanel(home);
                                tk::displayPanel(inst.chartPanel);
                                EXPECT_EQ(sorvi_hide(handle), 0);
                                EXPECT_FALSE(visible(main));
                                EXPECT_FALSE(visible(inst.chartPanel));
                                EXPECT_TRUE(visible(home));
                                EXPECT_EQ(sorvi_display(handle), 0);  // returns at once
                                EXPECT_EQ(inst.mainPanel, main);
                                EXPECT_TRUE(tk::panelExists(main));
                                EXPECT_TRUE(visible(main));
                            }),
              0);
    tk::discardPanel(home);
}

TEST_F(DemoInstance, ExitAsksForConfirmationFirst) {
    const sorvi_handle handle = openDemo(1);
    ASSERT_NE(handle, 0);
    tk::startScript(
        "commit MP_MP_EXIT\n"
        "expect visible EXIT_POPUP 1\n"
        "expect value EXIT_POPUP_TEXTMSG \"Завершить работу с мезонином СОРВИ?\"\n"
        "commit EXIT_POPUP_EXIT_NO\n"
        "expect visible EXIT_POPUP 0\n"
        "expect visible MP 1\n"
        "menu IMNU_INSTR_ABOUT\n"
        "expect visible ABOUT 1\n"
        "commit ABOUT_COMMANDBUTTON\n"
        "expect visible ABOUT 0\n"
        "menu IMNU_INSTR_EXIT\n"
        "commit EXIT_POPUP_EXIT_YES\n"
        "close-instance\n",
        "exit-confirmation");
    // The script ends the instance; should it fail on the way, the last
    // line still ends the loop so the test cannot hang.
    static sorvi_handle closing = 0;
    closing = handle;
    tk::registerScriptCommand("close-instance", [](const std::vector<std::string>&, std::string&, void*) {
        sorvi_close(&closing);
        return 0;
    });
    EXPECT_EQ(sorvi_display(handle), 0);
    // The loop ended with "ДА"; the last line runs in later event processing.
    for (int turn = 0; turn < 100 && tk::scriptResult().running; ++turn) tk::waitEvents(0.01);
    const auto result = tk::scriptResult();
    EXPECT_TRUE(result.finished);
    EXPECT_TRUE(result.failures.empty()) << (result.failures.empty() ? "" : result.failures[0]);
    EXPECT_FALSE(instances::isOpen(instanceOf(handle)));
}

TEST_F(DemoInstance, APanelThatFailsToLoadLeavesNoPanelBehind) {
    registerSorviResource();
    tk::ResourceDef broken = sorviResource();
    std::erase_if(broken.panels, [](const tk::PanelDef& p) { return p.id == PP; });
    tk::registerResource(broken);

    const sorvi_handle handle = openDemo(4);
    ASSERT_NE(handle, 0);
    const int before = lastPanelHandle();
    EXPECT_EQ(sorvi_display(handle), -1);
    const int after = lastPanelHandle();
    for (int h = before + 1; h < after; ++h) EXPECT_FALSE(tk::panelExists(h)) << "panel " << h;
    SorviInstance* inst = instanceOf(handle);
    EXPECT_TRUE(instances::isOpen(inst));
    EXPECT_EQ(inst->panelsLoaded, 0);
    EXPECT_EQ(inst->aboutPanel, 0);

    tk::registerResource(sorviResource());
    EXPECT_EQ(displayAndRun(handle), 0);

    // Closed after its panels failed, it is released there and then.
    const sorvi_handle failed = openDemo(4);
    ASSERT_NE(failed, 0);
    tk::registerResource(broken);
    EXPECT_EQ(sorvi_display(failed), -1);
    sorvi_handle copy = failed;
    EXPECT_EQ(sorvi_close(&copy), 0);
    EXPECT_FALSE(instances::isOpen(instanceOf(failed)));
    EXPECT_EQ(instances::entry(4).instance, nullptr);
}

TEST_F(DemoInstance, InterruptMenuAndTeardownActOnTheirOwnInstanceOnly) {
    const sorvi_handle outer = openDemo(1);
    const sorvi_handle inner = openDemo(3);
    ASSERT_NE(outer, 0);
    ASSERT_NE(inner, 0);
    EXPECT_EQ(displayAndRun(outer,
                            [&](SorviInstance& a) {
                                EXPECT_EQ(displayAndRun(inner,
                                                        [&](SorviInstance& b) {
                                                            int bar = 0;
                                                            tk::getPanelMenuBar(b.mainPanel, bar);
                                                            tk::setValue(b.mainPanel, MP_MODE, 2);
                                                            EXPECT_EQ(tk::chooseMenuItem(bar, IMNU_INSTR_INTERRUPT), 0);
                                                            EXPECT_EQ(b.dataPending.load(), 2);
                                                            EXPECT_EQ(a.dataPending.load(), 0);
                                                        }),
                                          0);
                                EXPECT_EQ(instances::entry(1).instance, &a)
                                    << "the inner teardown kept the outer entry";
                                EXPECT_EQ(instances::entry(3).instance, nullptr);
                                EXPECT_TRUE(tk::panelExists(a.mainPanel));
                            }),
              0);
}

TEST_F(DemoInstance, DeferredResetRunsOnlyWhileItsInstanceLives) {
    int resets = 0;
    static int* counter = nullptr;
    counter = &resets;
    const sorvi_handle handle = openDemo(2);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(displayAndRun(handle,
                            [&](SorviInstance& inst) {
                                tk::setControlCallback(inst.mainPanel, MP_RESET,
                                                       [](int, int, int event, void*, int, int) {
                                                           if (event == tk::EVENT_COMMIT) ++*counter;
                                                           return 0;
                                                       });
                                deliverEvent(inst, 0, 3);
                                EXPECT_EQ(resets, 0) << "the reset waits for the user-interface thread";
                                tk::processEvents();
                                EXPECT_EQ(resets, 1);
                            }),
              0);

    // An instance that ends before its reset is run: the reset does nothing.
    const sorvi_handle gone = openDemo(2);
    ASSERT_NE(gone, 0);
    deliverEvent(*instanceOf(gone), 0, 3);
    releaseInstance(instanceOf(gone));
    tk::processEvents();
    EXPECT_EQ(resets, 1);
}

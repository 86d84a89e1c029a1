// The resource "sorvi.uir" as data: numbering, start states, formats, texts
// the operator reads, the strip chart and the callback bindings.
#include <gtest/gtest.h>
#include <paneltk/paneltk.h>

#include <algorithm>
#include <set>
#include <string>

#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

const tk::PanelDef& panel(int id) {
    for (const auto& p : sorviResource().panels)
        if (p.id == id) return p;
    throw std::runtime_error("no panel " + std::to_string(id));
}

const tk::ControlDef& control(int panelId, int controlId) {
    for (const auto& c : panel(panelId).controls)
        if (c.id == controlId) return c;
    throw std::runtime_error("no control " + std::to_string(controlId));
}

std::string defaultShown(int panelId, int controlId) {
    const auto& c = control(panelId, controlId);
    return tk::formatNumber(c.defaultNumber, c.type, c.format);
}

}  // namespace

TEST(SorviResource, PanelsAreNumberedAlphabeticallyAndControlsInOrderFromTwo) {
    const auto& panels = sorviResource().panels;
    ASSERT_EQ(panels.size(), 9u);
    std::vector<std::string> constants;
    for (const auto& p : panels) constants.push_back(p.constant);
    std::vector<std::string> sorted = constants;
    std::sort(sorted.begin(), sorted.end());
    for (const auto& p : panels) {
        const auto at = std::find(sorted.begin(), sorted.end(), p.constant) - sorted.begin();
        EXPECT_EQ(p.id, at + 1) << p.constant;
        int expected = 2;
        for (const auto& c : p.controls) {
            EXPECT_EQ(c.id, expected++) << c.constant;
            EXPECT_EQ(c.constant.rfind(p.constant + "_", 0), 0u) << c.constant;
        }
    }
    EXPECT_EQ(panel(MP).controls.size(), 70u);
    EXPECT_EQ(panel(RP).controls.size(), 21u);
    EXPECT_EQ(control(MP, MP_START).constant, "MP_START");
    EXPECT_EQ(control(MP, MP_B_P_SIZE).constant, "MP_B_P_SIZE");
    EXPECT_EQ(control(MP, MP_D_SHOW_RES).constant, "MP_D_SHOW_RES");
}

TEST(SorviResource, OnlyStopSizeAndSelfTestCloseStartDimmed) {
    std::set<std::string> dimmed;
    for (const auto& p : sorviResource().panels)
        for (const auto& c : p.controls)
            if (c.flags & tk::StartsDimmed) dimmed.insert(c.constant);
    EXPECT_EQ(dimmed, (std::set<std::string>{"MP_B_P_SIZE", "MP_STOP", "ST_CLOSE"}));
    EXPECT_FALSE(control(MP, MP_START).flags & tk::StartsDimmed);
}

TEST(SorviResource, RegisterAndChannelFormats) {
    for (int id : {MP_NREG_OUT, MP_NREG_IN}) {
        EXPECT_EQ(defaultShown(MP, id), "2");
        EXPECT_EQ(control(MP, id).step, 2);
        EXPECT_EQ(tk::formatNumber(0x1A2, control(MP, id).type, control(MP, id).format), "1A2");
    }
    for (int id : {MP_REG_OUT, MP_REG_IN}) {
        EXPECT_EQ(defaultShown(MP, id), "0000");
        EXPECT_EQ(tk::formatNumber(0xBF, control(MP, id).type, control(MP, id).format), "00BF");
    }
    for (int id : {MP_RESULT, MP_RESULT_2}) {
        EXPECT_EQ(defaultShown(MP, id), "0000000000000000");
        EXPECT_EQ(tk::formatNumber(5, control(MP, id).type, control(MP, id).format), "0000000000000101");
    }
    EXPECT_EQ(defaultShown(MP, MP_SAMPLE_PERIOD), "0.0010");
    EXPECT_EQ(defaultShown(MP, MP_POROG_C), "2.00");
    EXPECT_EQ(defaultShown(PP, PP_BUF_SIZE), "0.000E+0");
    EXPECT_EQ(defaultShown(RP, RP_LAST_TRIG_TIME), "0.000000E+0");
}

TEST(SorviResource, TextsKeepTheirSpacesAndPunctuation) {
    EXPECT_EQ(control(MP, MP_FILE_NAME).defaultText, "nul");
    EXPECT_EQ(control(ABOUT, ABOUT_SOFT_VERSION).label, "Версия  программы");
    EXPECT_EQ(control(ABOUT, ABOUT_DRVR_VERSION).label, "Версия  драйвера");
    EXPECT_EQ(control(ABOUT, ABOUT_DRVR_VERSION).defaultText, " ");
    EXPECT_EQ(control(RP, RP_LAST_TRIG_TIME).label, "между  переклю-\nчениями,с");
    EXPECT_EQ(control(EXIT_POPUP, EXIT_POPUP_TEXTMSG).defaultText, "Завершить работу с мезонином СОРВИ?");
    EXPECT_EQ(control(MP, MP_MP_EXIT).label, " Выход ");
    EXPECT_EQ(control(MP, MP_TEXTMSG_4).defaultText, "Порог ");
    EXPECT_EQ(control(ST, ST_MSG).defaultText, "Идёт самоконтроль. Ждите ...");
    EXPECT_EQ(control(MP, MP_GROUP).items[2].label, "группа 2(17-32)");
    EXPECT_EQ(panel(TP).title, "ОРТИС. Тестирование.");
    EXPECT_EQ(panel(ABOUT).title, "");
}

TEST(SorviResource, CloseBoxesActAsTheirButtons) {
    EXPECT_EQ(panel(ABOUT).closeControl, ABOUT_COMMANDBUTTON);
    EXPECT_EQ(panel(EP).closeControl, EP_COMMANDBUTTON);
    EXPECT_EQ(panel(EXIT_POPUP).closeControl, EXIT_POPUP_EXIT_NO);
    EXPECT_EQ(panel(MP).closeControl, MP_MP_EXIT);
    EXPECT_EQ(panel(PP).closeControl, 0);
    EXPECT_EQ(panel(RP).closeControl, RP_RP_EXIT);
    EXPECT_EQ(panel(SP).closeControl, SP_CLOSE);
    EXPECT_EQ(panel(ST).closeControl, ST_CLOSE);
    EXPECT_EQ(panel(TP).closeControl, 0);
    EXPECT_EQ(panel(MP).menuBar, IMNU);
}

TEST(SorviResource, StripChartHasABandPerChannel) {
    const auto& chart = control(SP, SP_STRIPCHART).chart;
    EXPECT_EQ(chart.traces, 32);
    EXPECT_EQ(chart.pointsPerScreen, 1024);
    EXPECT_EQ(chart.yMin, 0);
    EXPECT_EQ(chart.yMax, 96);
    ASSERT_EQ(chart.yLabels.size(), 16u);
    EXPECT_EQ(chart.yLabels[0].text, "2");
    EXPECT_EQ(chart.yLabels[0].at, 1);
    EXPECT_EQ(chart.yLabels[2].text, "6");
    EXPECT_EQ(chart.yLabels[2].at, 13);
    EXPECT_EQ(chart.yLabels[14].text, "30");
    EXPECT_EQ(chart.yLabels[14].at, 85);
    EXPECT_EQ(chart.yLabels[15].text, "");
    EXPECT_EQ(chart.yLabels[15].at, 91);
    ASSERT_EQ(chart.traceColors.size(), 32u);
    EXPECT_EQ(chart.traceColors[0], 0x0000FFu);
    EXPECT_EQ(chart.traceColors[4], 0xFF0000u);
    EXPECT_EQ(chart.traceColors[9], 0xA0A0A0u);
    EXPECT_EQ(chart.traceColors[10], 0x0000FFu);
    EXPECT_EQ(chart.traceColors[24], 0xFF0000u);
    EXPECT_EQ(chart.traceColors[25], 0xFFFFFFu);
    EXPECT_EQ(chart.traceColors[31], 0xFFFF00u);
}

TEST(SorviResource, MenuBarItemsAndCallbacks) {
    ASSERT_EQ(sorviResource().menuBars.size(), 1u);
    const auto& bar = sorviResource().menuBars[0];
    EXPECT_EQ(bar.id, IMNU);
    ASSERT_EQ(bar.menus.size(), 1u);
    EXPECT_EQ(bar.menus[0].id, IMNU_INSTR);
    EXPECT_EQ(bar.menus[0].title, "Инструмент");
    const auto& items = bar.menus[0].items;
    ASSERT_EQ(items.size(), 8u);
    const std::pair<const char*, const char*> expected[] = {
        {"Прерывание", "interrupt"}, {"", ""}, {"Конфигурация", "config"}, {"Параметры", "displayParams"}, {"", ""},
        {"О программе", "about"},    {"", ""}, {"Выход", "pexit"}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(items[i].id, IMNU_INSTR_INTERRUPT + i);
        EXPECT_EQ(items[i].label, expected[i].first);
        EXPECT_EQ(items[i].callback, expected[i].second);
        EXPECT_EQ(items[i].separator, items[i].label.empty());
    }
}

TEST(SorviResource, EveryCallbackNameIsBoundAndEveryBindingIsUsed) {
    std::set<std::string> named;
    for (const auto& p : sorviResource().panels)
        for (const auto& c : p.controls)
            if (!c.callback.empty()) named.insert(c.callback);
    for (const auto& m : sorviResource().menuBars[0].menus[0].items)
        if (!m.callback.empty()) named.insert(m.callback);
    std::set<std::string> bound;
    for (const auto& b : sorviBindings()) {
        EXPECT_TRUE(bound.insert(b.name).second) << "bound twice: " << b.name;
    }
    EXPECT_EQ(named, bound);
    // Menu items need menu callbacks, controls control callbacks.
    for (const auto& b : sorviBindings()) {
        const bool isMenu = b.name == "interrupt" || b.name == "config" || b.name == "about" || b.name == "pexit" ||
                            b.name == "displayParams";
        EXPECT_EQ(b.menu != nullptr, isMenu) << b.name;
        EXPECT_EQ(b.control != nullptr, !isMenu) << b.name;
    }
}

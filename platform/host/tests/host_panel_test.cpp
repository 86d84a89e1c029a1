// The host's panel on the default bench, without a plug-in: carrier choice,
// positions, status line, and carrier sessions kept and closed.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>

#include <memory>

#include <paneltk/paneltk.h>

#include "bench_test_interface.h"
#include "carrier_discovery.h"
#include "host_panel.h"
#include "host_uir.h"
#include "operator_widgets.h"
#include "plugin_loader.h"
#include "tarvo_32.h"
#include "visa.h"

namespace host {
namespace {

constexpr int kRed = 0xFF0000;
constexpr int kYellow = 0xFFFF00;

class HostPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        bench::testing::resetBench();
        plugin_.load("/nonexistent/sorvi.so");
        panel_ = std::make_unique<HostPanel>(plugin_);
        ASSERT_GT(panel_->create(), 0);
    }
    void TearDown() override {
        panel_.reset();
        bench::testing::resetBench();
    }

    std::string status() const {
        std::string text;
        tk::getValue(panel_->panel(), HOST_STATUS, text);
        return text;
    }
    int statusColour() const {
        int colour = 0;
        tk::getAttribute(panel_->panel(), HOST_STATUS, tk::ATTR_TEXT_BGCOLOR, colour);
        return colour;
    }
    int items(int control) const {
        int count = -1;
        tk::itemCount(panel_->panel(), control, count);
        return count;
    }
    std::string label(int control, int index) const {
        std::string text;
        tk::itemLabel(panel_->panel(), control, index, text);
        return text;
    }
    int dimmed(int control) const {
        int value = -1;
        tk::getAttribute(panel_->panel(), control, tk::ATTR_DIMMED, value);
        return value;
    }

    SorviPlugin plugin_;
    std::unique_ptr<HostPanel> panel_;
};

TEST_F(HostPanelTest, SeveralCarriersWaitForTheOperatorThenShowTheFourPositions) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    ASSERT_EQ(found.carriers.size(), 3u);
    panel_->setCarriers(found.carriers, found.status);
    EXPECT_EQ(items(HOST_CARRIER), 4);  // "choose" and the three carriers
    EXPECT_EQ(panel_->chosenCarrier(), kNoCarrier);
    EXPECT_EQ(items(HOST_POSITIONS), 0);
    EXPECT_EQ(dimmed(HOST_OPEN), 1);

    tk::setIndex(panel_->panel(), HOST_CARRIER, 1);
    tk::callCallback(panel_->panel(), HOST_CARRIER);
    EXPECT_EQ(panel_->chosenCarrier(), 0);
    ASSERT_EQ(items(HOST_POSITIONS), 4);
    EXPECT_EQ(label(HOST_POSITIONS, 0), "Позиция 1: СОРВИ");
    EXPECT_EQ(label(HOST_POSITIONS, 1), "Позиция 2: модуль типа 5");
    EXPECT_EQ(label(HOST_POSITIONS, 2), "Позиция 3: СОРВИ");
    EXPECT_EQ(label(HOST_POSITIONS, 3), "Позиция 4: пусто");
    // The first SORVI position is highlighted and can be opened.
    int position = 0;
    tk::getValue(panel_->panel(), HOST_POSITIONS, position);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(dimmed(HOST_OPEN), 0);

    tk::setIndex(panel_->panel(), HOST_POSITIONS, 1);
    tk::callCallback(panel_->panel(), HOST_POSITIONS);
    EXPECT_EQ(dimmed(HOST_OPEN), 1);
    tk::setIndex(panel_->panel(), HOST_POSITIONS, 2);
    tk::callCallback(panel_->panel(), HOST_POSITIONS);
    EXPECT_EQ(dimmed(HOST_OPEN), 0);

    // Back to "choose": nothing listed, nothing to open.
    tk::setIndex(panel_->panel(), HOST_CARRIER, 0);
    tk::callCallback(panel_->panel(), HOST_CARRIER);
    EXPECT_EQ(panel_->chosenCarrier(), kNoCarrier);
    EXPECT_EQ(items(HOST_POSITIONS), 0);
    EXPECT_EQ(dimmed(HOST_OPEN), 1);
}

// Real clicks and keys on the positions list: a click or an arrow key moves
// the highlight and "Открыть" follows it; a double-click opens the position.
TEST_F(HostPanelTest, PositionsFollowClicksAndArrowKeysAndOpenOnADoubleClick) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    panel_->setCarriers(found.carriers, found.status);
    tk::setIndex(panel_->panel(), HOST_CARRIER, 1);
    tk::callCallback(panel_->panel(), HOST_CARRIER);
    ASSERT_EQ(items(HOST_POSITIONS), 4);
    tk::processEvents();
    QWidget* window = operator_widgets::shownWindow("HOST");
    auto* list = window ? window->findChild<QListWidget*>("HOST_POSITIONS") : nullptr;
    ASSERT_NE(list, nullptr);
    const auto at = [&](int row) { return list->visualItemRect(list->item(row)).center(); };

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(1));  // "модуль типа 5"
    EXPECT_EQ(dimmed(HOST_OPEN), 1);
    QTest::keyClick(list, Qt::Key_Down);  // "Позиция 3: СОРВИ"
    EXPECT_EQ(dimmed(HOST_OPEN), 0);
    tk::setValue(panel_->panel(), HOST_STATUS, "");
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dimmed(HOST_OPEN), 0);
    EXPECT_EQ(status(), "") << "Enter tried to open the position";

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(2));
    EXPECT_EQ(status().find("Панель мезонина недоступна"), 0u) << status();  // tried to open it
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(1));
    EXPECT_EQ(status(), "В позиции 2 нет модуля СОРВИ");
}

TEST_F(HostPanelTest, ALoneCarrierIsOpenedAtOnce) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    ASSERT_FALSE(found.carriers.empty());
    found.carriers.resize(1);
    panel_->setCarriers(found.carriers, found.status);
    EXPECT_EQ(items(HOST_CARRIER), 1);
    EXPECT_EQ(panel_->chosenCarrier(), 0);
    EXPECT_NE(panel_->carrierSession(), 0u);
    EXPECT_EQ(items(HOST_POSITIONS), 4);
}

TEST_F(HostPanelTest, NoCarrierLeavesDemoModeAndSaysWhy) {
    panel_->setCarriers({}, VI_SUCCESS);
    EXPECT_EQ(items(HOST_CARRIER), 1);
    EXPECT_EQ(dimmed(HOST_CARRIER), 1);
    EXPECT_EQ(items(HOST_POSITIONS), 0);
    // The missing plug-in is what the status line keeps.
    EXPECT_NE(status().find("/nonexistent/sorvi.so"), std::string::npos) << status();
    EXPECT_EQ(statusColour(), kRed);
}

TEST_F(HostPanelTest, ACarrierThatCannotBeOpenedIsReportedAndNothingListed) {
    discovery::CarrierInfo ghost;
    ghost.resourceName = "VXI0::99::INSTR";
    ghost.label = "ghost";
    discovery::CarrierInfo other = ghost;
    panel_->setCarriers({ghost, other}, VI_SUCCESS);
    panel_->chooseCarrier(0);
    EXPECT_EQ(panel_->chosenCarrier(), kNoCarrier);
    EXPECT_EQ(panel_->carrierSession(), 0u);
    EXPECT_EQ(items(HOST_POSITIONS), 0);
    EXPECT_NE(status().find("VXI0::99::INSTR"), std::string::npos) << status();
    EXPECT_EQ(statusColour(), kRed);
}

TEST_F(HostPanelTest, AFailedPositionQueryIsReported) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    panel_->setCarriers(found.carriers, found.status);
    bench::testing::failNext("tarvo_m_type_q", VI_ERROR_IO);
    panel_->chooseCarrier(0);
    EXPECT_NE(status().find("Позиции носителя не прочитаны"), std::string::npos) << status();
    EXPECT_EQ(statusColour(), kRed);
    EXPECT_EQ(label(HOST_POSITIONS, 0), "Позиция 1: пусто");
    EXPECT_EQ(dimmed(HOST_OPEN), 1);
}

TEST_F(HostPanelTest, OpeningIsRefusedClearlyWithoutPluginOrModule) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    panel_->setCarriers(found.carriers, found.status);
    panel_->openPosition(1);
    EXPECT_NE(status().find("Выберите носитель"), std::string::npos) << status();
    panel_->chooseCarrier(0);
    panel_->openPosition(2);
    EXPECT_NE(status().find("нет модуля СОРВИ"), std::string::npos) << status();
    EXPECT_EQ(statusColour(), kYellow);
    panel_->openPosition(1);
    EXPECT_NE(status().find("Панель мезонина недоступна"), std::string::npos) << status();
    panel_->openDemo(5);
    EXPECT_NE(status().find("от 1 до 4"), std::string::npos) << status();
    EXPECT_TRUE(panel_->openInstances().empty());
}

TEST_F(HostPanelTest, CarriersStayOpenWhileAnotherIsChosenAndCloseAtShutdown) {
    discovery::DiscoveryResult found = discovery::discoverCarriers();
    panel_->setCarriers(found.carriers, found.status);
    panel_->chooseCarrier(0);
    const ViSession first = panel_->carrierSession();
    panel_->chooseCarrier(1);
    const ViSession second = panel_->carrierSession();
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    // Going back to the first carrier reuses its session (no second reset).
    panel_->chooseCarrier(0);
    EXPECT_EQ(panel_->carrierSession(), first);

    ViInt16 present = 0;
    ViInt16 type = 0;
    EXPECT_EQ(tarvo_m_type_q(second, 1, &present, &type), VI_SUCCESS);
    const int handle = panel_->panel();
    EXPECT_EQ(panel_->shutdown(), VI_SUCCESS);
    EXPECT_LT(tarvo_m_type_q(first, 1, &present, &type), VI_SUCCESS);
    EXPECT_LT(tarvo_m_type_q(second, 1, &present, &type), VI_SUCCESS);
    EXPECT_FALSE(tk::panelExists(handle));
}

}  // namespace
}  // namespace host

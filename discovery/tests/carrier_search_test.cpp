// The carrier search on the built-in default bench (two VXI carriers, a USB
// Kubolt box, a foreign VXI card), with VISA calls failing on each path: what
// is found, and that every object opened is closed and no lock is left held.
#include <gtest/gtest.h>

#include <cstdlib>

#include "carrier_search.h"
#include "visa.h"
#include "visa_watch.h"

namespace discovery {
namespace {

class CarrierSearch : public ::testing::Test {
protected:
    // The built-in bench, whatever bench the calling shell names.
    static void SetUpTestSuite() { ::setenv("SORVI_BENCH", "", 1); }
    void TearDown() override {
        visa_watch::clear();
        EXPECT_TRUE(visa_watch::openObjects().empty()) << visa_watch::openObjects().size() << " left open";
        EXPECT_EQ(visa_watch::locksHeld(), 0);
    }
};

std::vector<std::string> names(const SearchResult& found) {
    std::vector<std::string> out;
    for (const Carrier& c : found.carriers) out.push_back(c.resourceName);
    return out;
}

TEST_F(CarrierSearch, FindsTheCarriersOfTheBenchInBusOrder) {
    const SearchResult found = findCarriers();
    EXPECT_EQ(found.status, VI_SUCCESS);
    ASSERT_EQ(found.carriers.size(), 3u);

    const Carrier& vxi = found.carriers[0];
    EXPECT_EQ(vxi.resourceName, "VXI0::24::INSTR");
    EXPECT_EQ(vxi.kind, CarrierKind::Vxi);
    EXPECT_EQ(vxi.intfType, VI_INTF_VXI);
    EXPECT_EQ(vxi.modelCode, 0x10D);
    EXPECT_EQ(vxi.slot, 3);
    EXPECT_EQ(vxi.la, 24);
    EXPECT_EQ(vxi.crateLA, 0);
    EXPECT_EQ(found.carriers[1].resourceName, "VXI0::40::INSTR");

    const Carrier& usb = found.carriers[2];
    EXPECT_EQ(usb.kind, CarrierKind::KuboltUsb);
    EXPECT_EQ(usb.intfType, VI_INTF_USB);
    EXPECT_EQ(usb.modelCode, kKuboltModelCode);
    EXPECT_EQ(usb.serial, "0457");
    EXPECT_EQ(usb.address, "");
}

TEST_F(CarrierSearch, StopsAtTheLimit) {
    EXPECT_EQ(names(findCarriers(2)), (std::vector<std::string>{"VXI0::24::INSTR", "VXI0::40::INSTR"}));
    EXPECT_TRUE(findCarriers(0).carriers.empty());
}

TEST_F(CarrierSearch, NoManagerOrAFailedSearchGivesTheStatusAndNothingElse) {
    visa_watch::failCall("viOpenDefaultRM", 1, VI_ERROR_SYSTEM_ERROR);
    SearchResult found = findCarriers();
    EXPECT_EQ(found.status, VI_ERROR_SYSTEM_ERROR);
    EXPECT_TRUE(found.carriers.empty());

    visa_watch::failCall("viFindRsrc", 1, VI_ERROR_RSRC_NFOUND);
    found = findCarriers();
    EXPECT_EQ(found.status, VI_ERROR_RSRC_NFOUND);
    EXPECT_TRUE(found.carriers.empty());
    EXPECT_TRUE(visa_watch::openObjects().empty());
}

TEST_F(CarrierSearch, FailuresOnOneResourceSkipItAndReleaseEverything) {
    // The first resource of the search cannot be opened: the rest are listed.
    visa_watch::failCall("viOpen", 1, VI_ERROR_RSRC_BUSY);
    EXPECT_EQ(names(findCarriers()),
              (std::vector<std::string>{"VXI0::40::INSTR", "USB0::0x0E76::0x1004::0457::0::INSTR"}));
    EXPECT_TRUE(visa_watch::openObjects().empty());

    // The Kubolt box that cannot be locked, written to or read from is left
    // out, and its lock is given back.
    for (const char* call : {"viLock", "viWrite", "viRead"}) {
        visa_watch::failCall(call, 1, VI_ERROR_TMO);
        EXPECT_EQ(findCarriers().carriers.size(), 2u) << call;
        EXPECT_EQ(visa_watch::locksHeld(), 0) << call;
        EXPECT_TRUE(visa_watch::openObjects().empty()) << call;
    }
}

TEST_F(CarrierSearch, ASearchThatFailsHalfWayKeepsWhatItFound) {
    visa_watch::failCall("viFindNext", 1, VI_ERROR_SYSTEM_ERROR);
    const SearchResult found = findCarriers();
    EXPECT_EQ(found.status, VI_SUCCESS);
    EXPECT_EQ(names(found), (std::vector<std::string>{"VXI0::24::INSTR"}));
}

}  // namespace
}  // namespace discovery

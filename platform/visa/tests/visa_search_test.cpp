// Finding resources: search expressions, plain names and the find list.
#include <string>
#include <vector>

#include "resource_pattern.h"
#include "visa_fixture.h"

namespace {

class Search : public VisaTest {
protected:
    // The names an expression finds, in order; an empty list for any failure.
    std::vector<std::string> find(const char* expr, ViStatus* status = nullptr) {
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        const ViStatus st = viFindRsrc(rm, expr, &list, &count, desc);
        if (status) *status = st;
        std::vector<std::string> names;
        if (st != VI_SUCCESS) return names;
        names.push_back(desc);
        for (ViUInt32 i = 1; i < count; ++i) {
            EXPECT_EQ(viFindNext(list, desc), VI_SUCCESS);
            names.push_back(desc);
        }
        EXPECT_EQ(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
        EXPECT_EQ(viClose(list), VI_SUCCESS);
        return names;
    }
};

TEST_F(Search, AllInstrumentsInBenchOrder) {
    const std::vector<std::string> all = {kVxiCarrier, "VXI0::40::INSTR", kUsbBox, "VXI0::8::INSTR"};
    EXPECT_EQ(find("?*INSTR"), all);
    EXPECT_EQ(find("?*"), all);
    EXPECT_EQ(find("?*::instr"), all);
}

TEST_F(Search, RegularExpressionForms) {
    EXPECT_EQ(find("USB?*").size(), 1u);
    EXPECT_EQ(find("VXI0::[0-9]::INSTR"), std::vector<std::string>{"VXI0::8::INSTR"});
    EXPECT_EQ(find("VXI0::[^8]+::INSTR").size(), 2u);
    EXPECT_EQ(find("(USB|TCPIP)?*").size(), 1u);
    EXPECT_EQ(find("VXI0::4\\0::INSTR"), std::vector<std::string>{"VXI0::40::INSTR"});
    EXPECT_EQ(find("?*INSTR{VI_ATTR_MANF_ID==0xE76 && VI_ATTR_INTF_TYPE==2}").size(), 2u);
    EXPECT_EQ(find("?*{VI_ATTR_SLOT > 2 || VI_ATTR_USB_SERIAL_NUM == \"0457\"}").size(), 3u);
}

TEST_F(Search, PlainNamesFindTheirResourceInAnySpelling) {
    EXPECT_EQ(find("vxi::24"), std::vector<std::string>{kVxiCarrier});
    EXPECT_EQ(find("USB::0xe76::0x1004::0457::INSTR"), std::vector<std::string>{kUsbBox});
}

TEST_F(Search, NoMatchAndBadExpressions) {
    ViStatus st = VI_SUCCESS;
    find("GPIB?*", &st);
    EXPECT_EQ(st, VI_ERROR_RSRC_NFOUND);
    for (const char* bad : {"*INSTR", "VXI[", "(VXI", "?*{VI_ATTR_NOPE==1}", "?*{VI_ATTR_SLOT=}", ""}) {
        find(bad, &st);
        EXPECT_EQ(st, VI_ERROR_INV_EXPR) << bad;
    }
    ViFindList list = 123;
    ViUInt32 count = 9;
    ViChar desc[VI_FIND_BUFLEN];
    EXPECT_EQ(viFindRsrc(rm, "GPIB?*", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(list, static_cast<ViFindList>(VI_NULL));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(viFindRsrc(rm, nullptr, &list, &count, desc), VI_ERROR_INV_EXPR);
    EXPECT_EQ(viFindRsrc(0xDEAD, "?*", &list, &count, desc), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viFindNext(rm, desc), VI_ERROR_INV_OBJECT);
}

// Expressions built to exhaust a backtracking matcher or a recursive parser:
// each is answered at once, without growing the stack.
TEST_F(Search, HostileExpressionsAreAnsweredQuickly) {
    ViStatus st = VI_SUCCESS;
    find("(?*)*Q", &st);
    EXPECT_EQ(st, VI_ERROR_RSRC_NFOUND);
    find("(((?*)*)*)*VXI0::40::INSTRX", &st);
    EXPECT_EQ(st, VI_ERROR_RSRC_NFOUND);
    const std::string longest(visa::kMaxSearchExpression, '?');
    find(longest.c_str(), &st);
    EXPECT_EQ(st, VI_ERROR_RSRC_NFOUND);
    for (const std::string& bad : {std::string(100000, '?'), std::string(visa::kMaxSearchExpression + 1, '?'),
                                   std::string(20000, '(') + "?*" + std::string(20000, ')'),
                                   "?*{" + std::string(50000, '!') + "VI_ATTR_SLOT==1}",
                                   "?*{" + std::string(500, '(') + "VI_ATTR_SLOT==1" + std::string(500, ')') + "}"}) {
        find(bad.c_str(), &st);
        EXPECT_EQ(st, VI_ERROR_INV_EXPR) << bad.substr(0, 20);
    }
}

TEST_F(Search, LongFiltersAndNestingWithinTheBoundsWork) {
    std::string terms;
    for (int i = 0; i < 40; ++i) terms += (i ? " || " : "") + std::string("VI_ATTR_SLOT==") + std::to_string(i + 100);
    EXPECT_EQ(find(("?*{" + terms + " || VI_ATTR_INTF_TYPE==7}").c_str()).size(), 1u);  // USB only
    const std::string nested = std::string(30, '(') + "!!VI_ATTR_INTF_TYPE==7" + std::string(30, ')');
    EXPECT_EQ(find(("?*{" + nested + "}").c_str()).size(), 1u);
    EXPECT_EQ(find("?*{!(VI_ATTR_INTF_TYPE==7) && !(VI_ATTR_SLOT==99) && VI_ATTR_INTF_TYPE!=7}").size(), 3u);
    // Every byte of a name outside letters and digits is a literal, also in a list.
    EXPECT_EQ(find("VXI0\\:\\:[4][0]::INSTR"), std::vector<std::string>{"VXI0::40::INSTR"});
    EXPECT_EQ(find("VXI0::[.]::INSTR").size(), 0u);
}

TEST_F(Search, ClosingTheManagerClosesItsFindListsAndSessions) {
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar desc[VI_FIND_BUFLEN];
    ASSERT_EQ(viFindRsrc(rm, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    const ViSession vi = open(kVxiCarrier);
    ASSERT_EQ(viClose(rm), VI_SUCCESS);
    EXPECT_EQ(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
    ViUInt16 type = 0;
    EXPECT_EQ(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(vi), VI_ERROR_INV_OBJECT);
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);  // for TearDown
}

}  // namespace

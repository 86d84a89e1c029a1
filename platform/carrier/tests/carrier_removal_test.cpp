// A carrier or a module taken off the bus mid-run and put back, through the
// bench's text command, as the carrier interface shows it.
#include <string>

#include "bench_command.h"
#include "carrier_fixture.h"

namespace carrier_test {
namespace {

using CarrierRemoval = CarrierTest;

int command(const std::string& text, std::string* reply = nullptr) {
    char buffer[160] = {};
    const int status = sorvi_bench_command(text.c_str(), buffer, sizeof buffer);
    if (reply) *reply = buffer;
    return status;
}

TEST_F(CarrierRemoval, ModuleTakenAwayFailsItsSessionAndComesBack) {
    ASSERT_EQ(tarvo_m_mode(mvi, 0, 2), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_packet_size(mvi, 0, 100), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_config_event(mvi, 1), VI_SUCCESS);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.01);
    ASSERT_GT(ready(), 0);

    ASSERT_EQ(command("remove vxi0::24 1"), 0);
    ViInt16 value = 0, present = 1, type = 1;
    ViUInt16 reg = 0;
    ViInt32 count = 0;
    EXPECT_EQ(tarvo_m_state(mvi, 0, &value), kIo);
    EXPECT_EQ(tarvo_m_in16(mvi, RG_ID, &reg), kIo);
    EXPECT_EQ(tarvo_m_howmuch_data_q(mvi, 0, &count), kIo);
    EXPECT_EQ(tarvo_m_start(mvi, 0), kIo);
    // The session's own attributes live in the carrier library, not on the bus.
    ViAttrState user = 0;
    EXPECT_EQ(tarvo_m_set_attribute(mvi, TARVO_ATTR_USER_DATA, 42), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_get_attribute(mvi, TARVO_ATTR_USER_DATA, &user), VI_SUCCESS);
    EXPECT_EQ(user, 42u);
    EXPECT_FALSE(bench::testing::raiseEvent(kCarrier, 1, 4)) << "no events from a module that is gone";
    ASSERT_EQ(tarvo_m_type_q(carrier, 1, &present, &type), VI_SUCCESS);
    EXPECT_EQ(present, 0);
    EXPECT_EQ(type, 0);
    ViSession other = 0;
    ViSession third = 0;
    EXPECT_EQ(tarvo_m_init(carrier, 3, &third), VI_SUCCESS) << "the module beside it stays";
    bench::testing::advanceSeconds(0.05);

    ASSERT_EQ(command("restore VXI0::24::INSTR 1"), 0);
    EXPECT_EQ(state(), 0) << "the run ended when the module went";
    EXPECT_EQ(ready(), 0);
    ASSERT_EQ(tarvo_m_start(mvi, 0), VI_SUCCESS);
    bench::testing::advanceSeconds(0.01);
    EXPECT_EQ(ready(), 100);

    // A session may still be closed while its module is away; then the
    // position cannot be opened until the module is back.
    ASSERT_TRUE(bench::testing::setRemoved(kCarrier, 1, true));
    EXPECT_EQ(tarvo_m_close(mvi), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_init(carrier, 1, &other), kRsrcNotFound);
    ASSERT_TRUE(bench::testing::setRemoved(kCarrier, 1, false));
    EXPECT_EQ(tarvo_m_init(carrier, 1, &other), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_close(other), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_close(third), VI_SUCCESS);
}

TEST_F(CarrierRemoval, CarrierTakenAwayFailsEverySessionOnIt) {
    ASSERT_EQ(command("remove VXI0::24::INSTR"), 0);
    ViUInt32 bytes = 0;
    ViInt16 present = 0, type = 0, value = 0;
    ViSession another = 0;
    EXPECT_EQ(tarvo_mem_q(carrier, &bytes), kIo);
    EXPECT_EQ(tarvo_m_type_q(carrier, 1, &present, &type), kIo);
    EXPECT_EQ(tarvo_m_state(mvi, 0, &value), kIo);
    EXPECT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 0, &another), kRsrcNotFound);
    EXPECT_EQ(tarvo_m_init(carrier, 3, &another), kRsrcNotFound);
    // The other carrier is unaffected.
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>("VXI0::40::INSTR"), 1, 0, &another), VI_SUCCESS);
    EXPECT_EQ(tarvo_mem_q(another, &bytes), VI_SUCCESS);
    EXPECT_EQ(tarvo_close(another), VI_SUCCESS);

    ASSERT_EQ(command("restore VXI0::24::INSTR"), 0);
    EXPECT_EQ(tarvo_m_state(mvi, 0, &value), VI_SUCCESS);
    EXPECT_EQ(tarvo_mem_q(carrier, &bytes), VI_SUCCESS);

    // Closing works while the carrier is away, and it can be opened once back.
    ASSERT_EQ(command("remove VXI0::24::INSTR"), 0);
    EXPECT_EQ(tarvo_close(carrier), VI_SUCCESS);
    carrier = 0;
    ASSERT_EQ(command("restore VXI0::24::INSTR"), 0);
    ASSERT_EQ(tarvo_init(const_cast<ViRsrc>(kCarrier), 1, 0, &carrier), VI_SUCCESS);
}

TEST_F(CarrierRemoval, WordsAreChecked) {
    const char* refused[] = {"remove",
                             "remove VXI0::99::INSTR",
                             "remove VXI0::24::INSTR 4",
                             "remove VXI0::24::INSTR 5",
                             "remove VXI0::24::INSTR 1.5",
                             "remove VXI0::24::INSTR 1 2",
                             "restore VXI0::24::INSTR 0",
                             "at VXI0::24::INSTR 1 remove VXI0::24::INSTR"};
    for (const char* text : refused) {
        std::string reply;
        EXPECT_EQ(command(text, &reply), -1) << text;
        EXPECT_EQ(reply.rfind("error: ", 0), 0u) << text << ": " << reply;
    }
    EXPECT_FALSE(bench::testing::setRemoved(kCarrier, 4, true)) << "empty position";
    EXPECT_FALSE(bench::testing::setRemoved("VXI0::99::INSTR", 0, true));
    EXPECT_EQ(command("REMOVE VXI0::24::INSTR 2"), 0) << "a module of another type may go too";
    EXPECT_EQ(command("Restore VXI0::24::INSTR 2"), 0);
}

}  // namespace
}  // namespace carrier_test

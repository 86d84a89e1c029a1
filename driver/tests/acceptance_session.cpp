// Opening, resetting and closing sessions; revision and status texts.
#include <cstring>

#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

CallNames resetCalls()
{
    return joinCalls({{"tarvo_m_get_attribute"},
                      kUpdateBothControls,
                      {"tarvo_m_reset", "in16 0x0A", "in16 0x10", "tarvo_m_alloc_q"},
                      kWriteBothThresholds});
}

// The values a reset leaves: 0.1 ms sample period, single mode, 1000 samples.
void expectResetSettings(ViSession vi)
{
    ViReal64 seconds = 0;
    ViInt16 mode = -1;
    ViInt32 samples = 0;
    EXPECT_EQ(lumex_sample_period_q(vi, &seconds), VI_SUCCESS);
    EXPECT_EQ(seconds, 0.0001);
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(samples, 1000);
}

}  // namespace

TEST_F(FakeCarrierTest, InitRefusesBadArgumentsBeforeTouchingTheCarrier)
{
    ViSession vi = 77;
    EXPECT_EQ(lumex_init(fake::kCarrier, 0, 1, 1, &vi), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_init(fake::kCarrier, 5, 1, 1, &vi), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, 2, 7, &vi), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, 1, 2, &vi), VI_ERROR_PARAMETER4);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, 1, 1, nullptr), VI_ERROR_PARAMETER5);
    EXPECT_EQ(vi, 77u);
    EXPECT_TRUE(fake().log().empty());
}

TEST_F(FakeCarrierTest, InitWithResetRunsEveryStepInOrder)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(lumex_init(fake::kCarrier, 3, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    EXPECT_EQ(
        fake().callNames(),
        joinCalls(
            {{"tarvo_m_init", "tarvo_m_set_attribute", "tarvo_m_set_attribute", "in16 0x02", "tarvo_m_sample_width"},
             resetCalls(),
             {"tarvo_m_get_attribute", "out16 0x08", "tarvo_m_config_event", "tarvo_m_handler", "tarvo_m_first_delay"},
             kWriteBothThresholds}));

    // Relays off, bit 12 set, 2.0 V codes; the module type attribute is 9.
    EXPECT_EQ(fake().reg(vi, RG_COM1), 0x7199);
    EXPECT_EQ(fake().reg(vi, RG_COM3), 0x7199);
    EXPECT_EQ(fake().reg(vi, RG_IMASK), 0);
    fake().with(vi, [](fake::Mezzanine& m) {
        EXPECT_EQ(m.position, 3);
        EXPECT_EQ(m.attributes.at(TARVO_ATTR_MODULE_TYPE), static_cast<ViAttrState>(TARVO_MODULE_TYPE_SORVI));
        EXPECT_NE(m.attributes.at(TARVO_ATTR_USER_DATA), 0u);
        EXPECT_EQ(m.sampleWidth, 1);
        EXPECT_EQ(m.firstDelay, 1440);
        EXPECT_FALSE(m.eventsOn);
        EXPECT_NE(m.routine, nullptr);
        EXPECT_EQ(m.resets, 1);
    });
    ViReal64 volts = 0;
    EXPECT_EQ(lumex_set_porog_group_q(vi, 2, &volts), VI_SUCCESS);
    EXPECT_EQ(volts, 2.0);
    expectResetSettings(vi);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, InitWithoutResetKeepsTheModuleAndTellsTheTruthAboutThresholds)
{
    ViSession vi = VI_NULL;
    ASSERT_EQ(lumex_init(fake::kCarrier, 1, VI_FALSE, VI_FALSE, &vi), VI_SUCCESS);
    EXPECT_EQ(fake().log().front().name, "tarvo_m_init");
    for (const auto& call : fake().log())
        EXPECT_NE(call.name, "tarvo_m_reset");
    EXPECT_EQ(fake().reg(vi, RG_COM1), 0x7199);
    EXPECT_EQ(fake().reg(vi, RG_COM3), 0x7199);
    // The record says what the module holds, so a start writes it unchanged.
    ViReal64 volts = 0;
    EXPECT_EQ(lumex_set_porog_group_q(vi, 1, &volts), VI_SUCCESS);
    EXPECT_EQ(volts, 2.0);
    EXPECT_EQ(lumex_set_porog_group_q(vi, 2, &volts), VI_SUCCESS);
    EXPECT_EQ(volts, 2.0);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, WrongModuleTypeClosesTheSession)
{
    fake().setIdRegister(0x0107);
    ViSession vi = 55;
    EXPECT_EQ(lumex_init(fake::kCarrier, 2, VI_TRUE, VI_TRUE, &vi), VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(vi, VI_NULL);
    auto names = fake().callNames();
    EXPECT_EQ(names.back(), "tarvo_m_close");
}

TEST_F(FakeCarrierTest, IdentificationLooksAtTheLowByteOnly)
{
    fake().setIdRegister(0x5A09);
    ViSession vi = VI_NULL;
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, VI_TRUE, VI_FALSE, &vi), VI_SUCCESS);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    fake().setIdRegister(0x0007);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, VI_FALSE, VI_FALSE, &vi), VI_SUCCESS) << "no query, no check";
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, InitFailuresBeforeTheRecordHangsOnTheSession)
{
    ViSession vi = 55;
    fake().failCall("tarvo_m_init", fake::kIoError);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, 1, 1, &vi), fake::kIoError);
    EXPECT_EQ(vi, 55u);

    fake().failCall("tarvo_m_set_attribute", fake::kIoError, 1);
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, 1, 1, &vi), fake::kIoError);
    EXPECT_EQ(vi, VI_NULL);
    EXPECT_EQ(fake().callNames().back(), "tarvo_m_close");
}

TEST_F(FakeCarrierTest, LaterInitFailuresLeaveAUsableSessionWithAWarning)
{
    for (const char* step : {"tarvo_m_sample_width", "tarvo_m_reset", "tarvo_m_handler", "tarvo_m_first_delay"}) {
        SCOPED_TRACE(step);
        fake().clear();
        fake().failCall(step, fake::kIoError);
        ViSession vi = VI_NULL;
        ASSERT_EQ(lumex_init(fake::kCarrier, 1, VI_TRUE, VI_TRUE, &vi), LUMEX_WARN_INIT_ERRORS);
        ViInt16 mode = -1;
        ViInt32 samples = 0;
        EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
        // The steps after the failing one were skipped: no thresholds latched.
        EXPECT_TRUE(fake().writes(RG_LOAD3).empty() || std::string(step) == "tarvo_m_handler"
                    || std::string(step) == "tarvo_m_first_delay");
        EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    }
    fake().clear();
    fake().failCall("tarvo_m_in16", fake::kIoError, 0, 1, RG_ID);
    ViSession vi = VI_NULL;
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, VI_TRUE, VI_TRUE, &vi), LUMEX_WARN_INIT_ERRORS);
    EXPECT_EQ(fake().callNames().back(), "in16 0x02");
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, MemoryQueryFailureWithoutResetIsAnErrorWithTheSessionOpen)
{
    fake().failCall("tarvo_m_alloc_q", fake::kIoError);
    ViSession vi = VI_NULL;
    EXPECT_EQ(lumex_init(fake::kCarrier, 1, VI_TRUE, VI_FALSE, &vi), fake::kIoError);
    ASSERT_NE(vi, VI_NULL);
    ViInt16 mode = -1;
    ViInt32 samples = 0;
    EXPECT_EQ(lumex_mode_q(vi, &mode, &samples), VI_SUCCESS);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
}

TEST_F(OpenSessionTest, ResetRestoresTheRecordAndTheControlRegisters)
{
    ASSERT_EQ(lumex_set_porog(vi, 5.0), VI_SUCCESS);
    ASSERT_EQ(lumex_sample_period(vi, 0.5), VI_SUCCESS);
    ASSERT_EQ(lumex_mode_cycle(vi, 300), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    fake().setReg(vi, RG_COM1, 0x0333);
    fake().clearLog();

    ASSERT_EQ(lumex_reset(vi), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), resetCalls());
    EXPECT_EQ(reg(RG_COM1), 0x7199);
    EXPECT_EQ(reg(RG_COM3), 0x7199);
    EXPECT_EQ(reg(RG_IMASK), 1) << "the interrupt enable register is left alone";
    ViReal64 value = 0;
    ViBoolean mask = 9;
    EXPECT_EQ(lumex_set_porog_q(vi, &value), VI_SUCCESS);
    EXPECT_EQ(value, 2.0);
    expectResetSettings(vi);
    EXPECT_EQ(lumex_mask_interrupt_q(vi, &mask), VI_SUCCESS);
    EXPECT_EQ(mask, 0);
}

TEST_F(OpenSessionTest, ResetStopsAtTheFirstFailure)
{
    fake().failCall("tarvo_m_out16", fake::kIoError, 0, 1, RG_COM3);
    EXPECT_EQ(lumex_reset(vi), fake::kIoError);
    EXPECT_EQ(fake().callNames().back(), "out16 0x0C");

    fake().with(vi, [](fake::Mezzanine& m) { m.stuckClear[RG_COM1 / 2] = 0x1000; });
    EXPECT_EQ(lumex_reset(vi), LUMEX_ERROR_RG_COM1);
    fake().with(vi, [](fake::Mezzanine& m) {
        m.stuckClear[RG_COM1 / 2] = 0;
        m.stuckSet[RG_COM3 / 2] = 0x0004;
    });
    EXPECT_EQ(lumex_reset(vi), LUMEX_ERROR_RG_COM3) << "2.0 V code 0x199 has bit 2 clear";
}

TEST_F(OpenSessionTest, CloseSwitchesOffAndForgetsTheRecord)
{
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_mask_interrupt(vi, VI_TRUE), VI_SUCCESS);
    ViSession closed = vi;
    fake().clearLog();
    ASSERT_EQ(lumex_close(vi), VI_SUCCESS);
    auto names = fake().callNames();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[1], "tarvo_m_stop");
    EXPECT_EQ(fake().writes(RG_COM1), std::vector<ViUInt16>{0x7199});
    EXPECT_EQ(names.back(), "tarvo_m_close");
    auto log = fake().log();
    bool eventsOff = false;
    bool attributeCleared = false;
    for (const auto& call : log) {
        eventsOff |= call.name == "tarvo_m_config_event" && call.a == 0;
        attributeCleared |= call.name == "tarvo_m_set_attribute"
                            && call.a == static_cast<std::int64_t>(TARVO_ATTR_USER_DATA) && call.b == 0;
    }
    EXPECT_TRUE(eventsOff);
    EXPECT_TRUE(attributeCleared);
    EXPECT_EQ(lumex_close(closed), VI_ERROR_INV_SETUP);
    vi = VI_NULL;
}

TEST_F(OpenSessionTest, CloseReleasesTheRecordEvenWhenSwitchingOffFails)
{
    fake().failCall("tarvo_m_stop", fake::kIoError);
    fake().failCall("tarvo_m_out16", fake::kIoError);
    fake().failCall("tarvo_m_close", fake::kInvObject);
    EXPECT_EQ(lumex_close(vi), fake::kInvObject);
    EXPECT_EQ(lumex_reset(vi), VI_ERROR_INV_SETUP) << "record gone although the carrier kept the session";
    vi = VI_NULL;
}

TEST_F(FakeCarrierTest, SessionsWithoutARecordAreRefusedEverywhere)
{
    ViSession plain = VI_NULL;
    ASSERT_EQ(tarvo_m_init(fake::kCarrier, 1, &plain), VI_SUCCESS);
    ViReal64 real = 0;
    ViInt16 small = 0;
    ViInt32 count = 0;
    ViBoolean flag = 0;
    ViUInt32 word = 0;
    ViChar text[LUMEX_TEXT_SIZE];
    auto refusedEverywhere = [&] {
        EXPECT_EQ(lumex_close(plain), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_reset(plain), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_set_porog(plain, 1.0), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_set_porog_group(plain, 1.0, 1), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_set_porog_q(plain, &real), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_set_porog_group_q(plain, 1, &real), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_sample_period(plain, 0.01), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_sample_period_q(plain, &real), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mode_1(plain), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mode_block(plain, 10), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mode_cycle(plain, 10), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mode_q(plain, &small, &count), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_input_trigger(plain, 1), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_input_trigger_group(plain, 1, 1), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_config_trigger(plain, 0), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mask_interrupt(plain, 0), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_mask_interrupt_q(plain, &flag), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_set_user_ihandle(plain, nullptr), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_alloc(plain, 10), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_start(plain), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_stop(plain), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_state(plain, &small), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_read_sample(plain, &word, nullptr, nullptr), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_read_block(plain, 0, 1, &word), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_read_packet(plain, 1, &word, &count), VI_ERROR_INV_SETUP);
        EXPECT_EQ(lumex_self_test(plain, &small, text), VI_ERROR_INV_SETUP);
    };
    refusedEverywhere();
    // A value that is not a record of this driver is never dereferenced.
    ASSERT_EQ(tarvo_m_set_attribute(plain, TARVO_ATTR_USER_DATA, 0xDEADBEE0), VI_SUCCESS);
    refusedEverywhere();
    EXPECT_EQ(tarvo_m_close(plain), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, DriverTextsAreWindows1251)
{
    const std::pair<ViStatus, const char*> texts[] = {
        {0x3FFC0020, "Инициализация прошла с ошибками"},
        {0x3FFC0021, "Предупреждение : не включены входные реле"},
        {LUMEX_ERROR_NO_STOP_ACK, "Нет подтверждения \"Модуль остановлен\""},
        {LUMEX_ERROR_NO_CARRIER_MEMORY, "Не хватает памяти носителя"},
        {LUMEX_ERROR_NO_POLL_ACK, "Нет подтверждения \"Опрос произведен\""},
        {LUMEX_ERROR_RG_COM1, "Ошибка записи в RG_COM1"},
        {LUMEX_ERROR_INSTR_INTERRUPT, "Получено прерывание по ошибке инструмента"},
        {LUMEX_ERROR_RG_COM3, "Ошибка записи в RG_COM3"},
        {LUMEX_ERROR_SELF_TEST, "Ошибка самоконтроля"},
    };
    for (const auto& [status, utf8] : texts) {
        ViChar text[LUMEX_TEXT_SIZE] = {};
        EXPECT_EQ(lumex_error_message(VI_NULL, status, text), VI_SUCCESS);
        EXPECT_EQ(std::string(text), cp1251(utf8));
    }
    EXPECT_TRUE(fake().log().empty()) << "own texts need no carrier";
}

TEST_F(FakeCarrierTest, OtherTextsComeFromTheCarrier)
{
    ViChar text[LUMEX_TEXT_SIZE] = {};
    for (ViStatus status : {ViStatus(LUMEX_ERROR_RUNNING), ViStatus(LUMEX_ERROR_RG_PERIOD), ViStatus(0x12345)}) {
        EXPECT_EQ(lumex_error_message(VI_NULL, status, text), VI_WARN_UNKNOWN_STATUS);
        EXPECT_EQ(std::string(text), cp1251("Неизвестный код статуса"));
    }
    fake().setErrorText(LUMEX_ERROR_RUNNING, "carrier: busy");
    EXPECT_EQ(lumex_error_message(VI_NULL, LUMEX_ERROR_RUNNING, text), VI_SUCCESS);
    EXPECT_STREQ(text, "carrier: busy");
    EXPECT_EQ(fake().log().back().name, "tarvo_error_message");

    // A carrier text longer than the buffer is cut, never written past it.
    fake().setErrorText(fake::kIoError, std::string(590, 'x'));
    ViChar guarded[LUMEX_TEXT_SIZE + 16];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(lumex_error_message(VI_NULL, fake::kIoError, guarded), VI_SUCCESS);
    EXPECT_EQ(std::strlen(guarded), LUMEX_TEXT_SIZE - 1u);
    EXPECT_EQ(guarded[LUMEX_TEXT_SIZE], '#');
    EXPECT_EQ(lumex_error_message(VI_NULL, fake::kIoError, nullptr), VI_ERROR_PARAMETER3);
}

TEST_F(FakeCarrierTest, RevisionAndErrorQueriesAreStubs)
{
    ViChar driver[LUMEX_TEXT_SIZE] = {};
    ViChar instrument[LUMEX_TEXT_SIZE] = {};
    EXPECT_EQ(lumex_revision_query(12345, driver, instrument), VI_WARN_NSUP_REV_QUERY);
    EXPECT_STREQ(driver, "1.040");
    EXPECT_STREQ(instrument, "<not available>");
    EXPECT_EQ(lumex_revision_query(12345, nullptr, instrument), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_revision_query(12345, driver, nullptr), VI_ERROR_PARAMETER3);

    ViInt32 code = 42;
    ViChar text[LUMEX_TEXT_SIZE] = "untouched";
    EXPECT_EQ(lumex_error_query(12345, &code, text), VI_WARN_NSUP_ERROR_QUERY);
    EXPECT_EQ(code, 42);
    EXPECT_STREQ(text, "untouched");
    EXPECT_TRUE(fake().log().empty());
}

TEST_F(FakeCarrierTest, TwoCallOpeningEqualsTheFiveArgumentInit)
{
    ViChar resource[] = "VXI0::24::INSTR";
    ViSession vi = 99;
    EXPECT_EQ(lumex_init(resource, 2, VI_TRUE, &vi), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_init(resource, VI_TRUE, 2, &vi), VI_ERROR_PARAMETER3);
    EXPECT_EQ(lumex_init(nullptr, VI_TRUE, VI_TRUE, &vi), VI_ERROR_PARAMETER1);
    EXPECT_EQ(vi, 99u);
    ASSERT_EQ(lumex_init(resource, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    EXPECT_EQ(vi, VI_NULL);
    EXPECT_TRUE(fake().log().empty()) << "the first call touches no hardware";

    EXPECT_EQ(lumex_connect(vi, fake::kCarrier, 9, VI_TRUE, VI_TRUE), VI_ERROR_PARAMETER3);
    ASSERT_EQ(lumex_connect(vi, fake::kCarrier, 2, VI_TRUE, VI_TRUE), VI_SUCCESS);
    ASSERT_NE(vi, VI_NULL);
    const auto pairCalls = fake().callNames();
    EXPECT_EQ(fake().reg(vi, RG_COM1), 0x7199);

    // vi is the carrier's mezzanine session: raw register access works on it.
    ViUInt16 id = 0;
    EXPECT_EQ(tarvo_m_out16(vi, RG_COM3, 0x7123), VI_SUCCESS);
    EXPECT_EQ(tarvo_m_in16(vi, RG_ID, &id), VI_SUCCESS);
    EXPECT_EQ(id, 9);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);

    fake().clear();
    ViSession direct = VI_NULL;
    ASSERT_EQ(lumex_init(fake::kCarrier, 2, VI_TRUE, VI_TRUE, &direct), VI_SUCCESS);
    EXPECT_EQ(fake().callNames(), pairCalls);
    EXPECT_EQ(lumex_close(direct), VI_SUCCESS);
}

TEST_F(FakeCarrierTest, TwoCallOpeningReportsSetUpErrorsAsAWarning)
{
    ViChar resource[] = "TCPIP0::kubolt::INSTR";
    ViSession vi = VI_NULL;
    ASSERT_EQ(lumex_init(resource, VI_TRUE, VI_TRUE, &vi), VI_SUCCESS);
    fake().failCall("tarvo_m_first_delay", fake::kIoError);
    EXPECT_EQ(lumex_connect(vi, fake::kCarrier, 1, VI_TRUE, VI_TRUE), LUMEX_WARN_INIT_ERRORS);
    EXPECT_NE(vi, VI_NULL);
    EXPECT_EQ(lumex_close(vi), VI_SUCCESS);
    fake().setIdRegister(3);
    vi = VI_NULL;
    EXPECT_EQ(lumex_connect(vi, fake::kCarrier, 1, VI_TRUE, VI_TRUE), VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(vi, VI_NULL);
}

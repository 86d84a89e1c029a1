// Self-test results and messages for each way the module can fail, and the
// state the test leaves behind.
#include <cstring>

#include "acceptance_fixture.h"

using namespace acceptance;

namespace {

class SelfTestTest : public OpenSessionTest {
protected:
    ViStatus runSelfTest()
    {
        std::memset(text, '#', sizeof text);
        result = -1;
        return lumex_self_test(vi, &result, text);
    }
    std::string messageText() const { return std::string(text); }
    // The self-test fails with this result and this message (Windows-1251).
    ::testing::AssertionResult failsWith(ViInt16 expectedResult, const std::string& expectedText)
    {
        const ViStatus status = runSelfTest();
        if (status == LUMEX_ERROR_SELF_TEST && result == expectedResult && messageText() == expectedText)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "status " << status << ", result " << result << " (not "
                                             << expectedResult << "), message \"" << messageText() << '"';
    }
    void expectLeftReset()
    {
        EXPECT_EQ(reg(RG_COM1), 0x7199);
        EXPECT_EQ(reg(RG_COM3), 0x7199);
        ViReal64 volts = 0;
        EXPECT_EQ(lumex_set_porog_group_q(vi, 2, &volts), VI_SUCCESS);
        EXPECT_EQ(volts, 2.0);
        EXPECT_EQ(text[LUMEX_TEXT_SIZE], '#') << "message stays inside its buffer";
    }

    ViInt16 result = -1;
    ViChar text[LUMEX_TEXT_SIZE + 8] = {};
};

}  // namespace

TEST_F(SelfTestTest, HealthyModulePasses)
{
    ASSERT_EQ(lumex_config_trigger(vi, 5), VI_SUCCESS);
    ASSERT_EQ(lumex_input_trigger(vi, VI_TRUE), VI_SUCCESS);
    ASSERT_EQ(lumex_set_porog(vi, 7.0), VI_SUCCESS);
    fake().clearLog();
    EXPECT_EQ(runSelfTest(), VI_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(messageText(), cp1251("Самоконтроль завершен успешно"));
    expectLeftReset();

    // Trigger saved, switched off for the test, then given back.
    std::vector<std::int64_t> triggers;
    for (const auto& call : fake().log()) {
        if (call.name == "tarvo_m_config_trigger")
            triggers.push_back(call.b);
    }
    EXPECT_EQ(triggers, (std::vector<std::int64_t>{0, 5}));
    // The walking one over RG_COM1's twelve low bits, upper bits kept.
    auto com1 = fake().writes(RG_COM1);
    ASSERT_GE(com1.size(), 12u);
    for (int bit = 0; bit < 12; ++bit)
        EXPECT_EQ(com1[bit], 0x5000 | (1 << bit));
    auto period = fake().writes(RG_PERIOD);
    ASSERT_GE(period.size(), 11u);
    EXPECT_EQ(period[10], 0x0400);
}

TEST_F(SelfTestTest, WithoutCarrierMemoryNothingIsChecked)
{
    ASSERT_EQ(lumex_config_trigger(vi, 3), VI_SUCCESS);
    ASSERT_EQ(lumex_alloc(vi, 0), VI_SUCCESS);
    fake().clearLog();
    EXPECT_TRUE(failsWith(1, cp1251("Не заказана память базы")));
    auto names = fake().callNames();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[3], "tarvo_m_get_attribute") << "straight to the reset";
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.triggerConfig; }), 3);
    expectLeftReset();
}

TEST_F(SelfTestTest, RegisterBitFailuresNameTheRegister)
{
    const struct {
        ViUInt32 offset;
        ViUInt16 stuck;
        ViInt16 result;
        const char* utf8;
    } cases[] = {
        {RG_COM1, 0x0010, 0x25, "Ошибка записи в RG_COM1. Запуск измерения 12 В"},
        {RG_PERIOD, 0x0400, 0x2A, "Неизвестный код статуса. Запуск измерения 12 В"},
        {RG_COM3, 0x0001, 0x29, "Ошибка записи в RG_COM3. Запуск измерения 12 В"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        fake().with(vi, [&](fake::Mezzanine& m) { m.stuckClear[c.offset / 2] = c.stuck; });
        EXPECT_TRUE(failsWith(c.result, cp1251(c.utf8)));
        fake().with(vi, [&](fake::Mezzanine& m) { m.stuckClear[c.offset / 2] = 0; });
    }
    // A carrier error inside the check is still the register's failure.
    fake().failCall("tarvo_m_out16", fake::kIoError, 0, 1, RG_PERIOD);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 0x2A);
}

TEST_F(SelfTestTest, ChannelLevelsAreCheckedInThreeMeasurements)
{
    fake().with(vi, [](fake::Mezzanine& m) { m.stuckLow = 0x00000001; });
    EXPECT_TRUE(failsWith(3, cp1251("Не проходит сигнал логической 1. Прочитано 0xfffffffe")));
    expectLeftReset();

    fake().with(vi, [](fake::Mezzanine& m) {
        m.stuckLow = 0;
        m.stuckHigh = 0x00010000;
    });
    EXPECT_TRUE(failsWith(5, cp1251("Не проходит сигнал логического 0(в ЦАП записано 2В)")));

    fake().with(vi, [](fake::Mezzanine& m) {
        m.stuckHigh = 0;
        m.testHighVolts = 9.8;
    });
    EXPECT_TRUE(failsWith(6, cp1251("Не проходит сигнал логического 0(в ЦАП записано 9.5В)")));
    expectLeftReset();
}

TEST_F(SelfTestTest, CarrierFailuresCarryTheMeasurementUnderWay)
{
    fake().setErrorText(fake::kIoError, "I/O error");
    const struct {
        const char* call;
        int skip;
        const char* suffix;
    } cases[] = {
        {"tarvo_m_mode", 0, ". Запуск измерения 12 В"},
        {"tarvo_m_start", 0, ". Запуск измерения 12 В"},
        {"tarvo_m_start", 1, ". Запуск измерения 1.2 В"},
        {"tarvo_m_read_last", 2, ". Запуск измерения 9.5 В"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        fake().failCall(c.call, fake::kIoError, c.skip);
        EXPECT_TRUE(failsWith(0x3E, "I/O error" + cp1251(c.suffix)));
    }
    // Latching the 2.0 V threshold belongs to the preparation, the second
    // latch to the change to 9.5 V.
    fake().failCall("tarvo_m_out16", fake::kIoError, 0, 1, RG_LOAD1);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(messageText(), "I/O error" + cp1251(". Запуск измерения 12 В"));
    fake().failCall("tarvo_m_out16", fake::kIoError, 1, 1, RG_LOAD1);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(messageText(), "I/O error" + cp1251(". Запуск измерения 9.5 В"));
}

TEST_F(SelfTestTest, MissingPollAcknowledgeTimesOutAfterOneSecond)
{
    fake().with(vi, [](fake::Mezzanine& m) { m.pollAcknowledges = false; });
    const auto started = simulatedNow();
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    const auto waited = simulatedNow() - started;
    EXPECT_GE(waited, std::chrono::seconds(1)) << "a full second on the driver's clock";
    EXPECT_EQ(result, 0x23);
    EXPECT_EQ(messageText(), cp1251("Нет подтверждения \"Опрос произведен\". Запуск измерения 12 В"));
}

TEST_F(SelfTestTest, RunningModuleIsStoppedFirst)
{
    ASSERT_EQ(lumex_mode_cycle(vi, 10), VI_SUCCESS);
    ASSERT_GE(lumex_start(vi), VI_SUCCESS);
    EXPECT_EQ(runSelfTest(), VI_SUCCESS);
    EXPECT_FALSE(fake().with(vi, [](fake::Mezzanine& m) { return m.running; }));

    ASSERT_GE(lumex_start(vi), VI_SUCCESS);
    fake().with(vi, [](fake::Mezzanine& m) { m.keepsRunning = true; });
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 0x23);
}

TEST_F(SelfTestTest, InitErrorsFailAnOtherwiseGoodTest)
{
    fake().setErrorText(fake::kIoError, "I/O error");
    fake().failCall("tarvo_m_first_delay", fake::kIoError);
    ASSERT_EQ(reopen(VI_TRUE, VI_TRUE), LUMEX_WARN_INIT_ERRORS);
    ASSERT_EQ(lumex_alloc(vi, 100), VI_SUCCESS);
    EXPECT_TRUE(failsWith(0x3E, "I/O error" + cp1251("(ошибка инициализации)")));

    // Low 8 bits of zero must not read as a pass.
    fake().failCall("tarvo_m_first_delay", static_cast<ViStatus>(0xBFFF0100));
    ASSERT_EQ(reopen(VI_TRUE, VI_TRUE), LUMEX_WARN_INIT_ERRORS);
    ASSERT_EQ(lumex_alloc(vi, 100), VI_SUCCESS);
    EXPECT_TRUE(failsWith(100, cp1251("Ошибка самоконтроля")));
}

TEST_F(SelfTestTest, FailuresNeverReadAsAPass)
{
    // A status whose low 16 bits are zero.
    fake().failCall("tarvo_m_mode", static_cast<ViStatus>(0xBFFF0000));
    EXPECT_TRUE(failsWith(100, cp1251("Ошибка самоконтроля")));

    // The test passed, but the trigger could not be given back.
    ASSERT_EQ(lumex_config_trigger(vi, 4), VI_SUCCESS);
    fake().failCall("tarvo_m_config_trigger", fake::kIoError, 1);
    EXPECT_TRUE(failsWith(100, cp1251("Ошибка самоконтроля")));
}

// The closing reset and trigger restore: a failure of either turns a pass
// into a failure (the reset's, when both fail, as it came first), while a
// finding made before them stays the one reported.
TEST_F(SelfTestTest, ClosingResetAndRestoreFailuresAreReported)
{
    fake().setErrorText(fake::kIoError, "I/O error");
    fake().failCall("tarvo_m_reset", fake::kIoError);
    EXPECT_TRUE(failsWith(0x003E, "I/O error"));

    ASSERT_EQ(lumex_config_trigger(vi, 4), VI_SUCCESS);
    fake().failCall("tarvo_m_reset", fake::kInvObject);
    fake().failCall("tarvo_m_config_trigger", fake::kIoError, 1);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 0x000E);

    fake().with(vi, [](fake::Mezzanine& m) { m.stuckLow = 0x00000001; });
    ASSERT_EQ(lumex_config_trigger(vi, 4), VI_SUCCESS);
    fake().failCall("tarvo_m_reset", fake::kIoError);
    fake().failCall("tarvo_m_config_trigger", fake::kIoError, 1);
    EXPECT_TRUE(failsWith(3, cp1251("Не проходит сигнал логической 1. Прочитано 0xfffffffe")));

    fake().with(vi, [](fake::Mezzanine& m) { m.stuckLow = 0; });
    EXPECT_EQ(runSelfTest(), VI_SUCCESS);
    EXPECT_EQ(result, 0);
}

TEST_F(SelfTestTest, TriggerHandlingFailures)
{
    ASSERT_EQ(lumex_config_trigger(vi, 6), VI_SUCCESS);
    fake().failCall("tarvo_m_config_trigger_q", fake::kIoError);
    fake().clearLog();
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 100);
    for (const auto& call : fake().log())
        EXPECT_NE(call.name, "tarvo_m_config_trigger") << "nothing saved, nothing restored";
    expectLeftReset();

    fake().failCall("tarvo_m_config_trigger", fake::kIoError);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 100);
    EXPECT_EQ(fake().with(vi, [](fake::Mezzanine& m) { return m.triggerConfig; }), 6) << "restored on the way out";
}

TEST_F(SelfTestTest, LongCarrierTextsAreCutToTheBuffer)
{
    fake().setErrorText(fake::kIoError, std::string(400, 'e'));
    fake().failCall("tarvo_m_trig_length", fake::kIoError);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(messageText().size(), LUMEX_TEXT_SIZE - 1u);
    EXPECT_EQ(text[LUMEX_TEXT_SIZE], '#');
    EXPECT_EQ(lumex_self_test(vi, nullptr, text), VI_ERROR_PARAMETER2);
    EXPECT_EQ(lumex_self_test(vi, &result, nullptr), VI_ERROR_PARAMETER3);
}

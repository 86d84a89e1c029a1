// The self-test against the faults the bench can inject (real time: the
// polls of the self-test run on the bench's own clock).
#include "bench_fixture.h"
#include "visa.h"

using namespace on_bench;

namespace {

class BenchSelfTest : public BenchTest {
protected:
    void SetUp() override { open(false); }
    ViStatus runSelfTest()
    {
        result = -1;
        message[0] = '\0';
        return lumex_self_test(vi, &result, message);
    }
    void expectLeftReset()
    {
        EXPECT_EQ(reg(RG_COM1) & 0x2FFF, 0x2199);
        EXPECT_EQ(reg(RG_COM3) & 0x2FFF, 0x2199);
    }

    ViInt16 result = -1;
    ViChar message[LUMEX_TEXT_SIZE] = {};
};

}  // namespace

TEST_F(BenchSelfTest, StuckChannels)
{
    ASSERT_TRUE(bench::testing::setStuckChannels(kCarrier, 1, 0, 0x00000001));
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(std::string(message), cp1251("Не проходит сигнал логической 1. Прочитано 0xfffffffe"));
    expectLeftReset();

    ASSERT_TRUE(bench::testing::setStuckChannels(kCarrier, 1, 0x80000000, 0));
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 5);
    EXPECT_EQ(std::string(message), cp1251("Не проходит сигнал логического 0(в ЦАП записано 2В)"));
    expectLeftReset();
}

TEST_F(BenchSelfTest, StuckRegisterBits)
{
    const struct {
        ViUInt32 offset;
        ViInt16 result;
    } cases[] = {{RG_COM1, 0x25}, {RG_PERIOD, 0x2A}, {RG_COM3, 0x29}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        ASSERT_TRUE(bench::testing::setStuckRegisterBits(kCarrier, 1, c.offset, 0x0020, 0));
        EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
        EXPECT_EQ(result, c.result);
        ViChar text[LUMEX_TEXT_SIZE] = {};
        lumex_error_message(vi, static_cast<ViStatus>(0xBFFC0000 | c.result), text);
        EXPECT_EQ(std::string(message), std::string(text) + cp1251(". Запуск измерения 12 В"));
        ASSERT_TRUE(bench::testing::setStuckRegisterBits(kCarrier, 1, c.offset, 0, 0));
    }
    EXPECT_EQ(runSelfTest(), VI_SUCCESS);
}

TEST_F(BenchSelfTest, MissingPollAcknowledge)
{
    ASSERT_TRUE(bench::testing::setNoPollAck(kCarrier, 1, true));
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 0x23);
    EXPECT_EQ(std::string(message), cp1251("Нет подтверждения \"Опрос произведен\". Запуск измерения 12 В"));
    expectLeftReset();
}

TEST_F(BenchSelfTest, TriggerQueryFailureAndInitErrors)
{
    bench::testing::failNext("tarvo_m_config_trigger_q", VI_ERROR_IO);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 100);
    EXPECT_EQ(std::string(message), cp1251("Ошибка самоконтроля"));

    ASSERT_EQ(lumex_close(vi), VI_SUCCESS);
    bench::testing::failNext("tarvo_m_first_delay", VI_ERROR_IO);
    ASSERT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), LUMEX_WARN_INIT_ERRORS);
    ASSERT_EQ(lumex_alloc(vi, 1000), VI_SUCCESS);
    EXPECT_EQ(runSelfTest(), LUMEX_ERROR_SELF_TEST);
    EXPECT_EQ(result, 0x3E);
    ViChar text[LUMEX_TEXT_SIZE] = {};
    lumex_error_message(vi, VI_ERROR_IO, text);
    EXPECT_EQ(std::string(message), std::string(text) + cp1251("(ошибка инициализации)"));
}

TEST_F(BenchSelfTest, WrongModuleTypeIsRefusedAtOpening)
{
    ASSERT_EQ(lumex_close(vi), VI_SUCCESS);
    ASSERT_TRUE(bench::testing::setModuleId(kCarrier, 1, 7));
    vi = 123;
    EXPECT_EQ(lumex_init(carrier, 1, VI_TRUE, VI_TRUE, &vi), VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(vi, VI_NULL);
    // Position 2 holds another kind of module.
    EXPECT_EQ(lumex_init(carrier, 2, VI_TRUE, VI_FALSE, &vi), VI_ERROR_FAIL_ID_QUERY);
    EXPECT_EQ(vi, VI_NULL);
}

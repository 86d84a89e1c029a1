// One table of status codes and texts. The texts are written in UTF-8 here
// and converted once, on first use, to the Windows-1251 bytes callers get.
#include "lumex_status.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

#include "status_texts.h"

namespace lumex {
namespace {

constexpr sorvi::StatusText kStatusTexts[] = {
    {LUMEX_WARN_INIT_ERRORS, "Инициализация прошла с ошибками"},
    {LUMEX_WARN_RELAYS_OFF, "Предупреждение : не включены входные реле"},
    {LUMEX_ERROR_NO_STOP_ACK, "Нет подтверждения \"Модуль остановлен\""},
    {LUMEX_ERROR_NO_CARRIER_MEMORY, "Не хватает памяти носителя"},
    {LUMEX_ERROR_NO_POLL_ACK, "Нет подтверждения \"Опрос произведен\""},
    {LUMEX_ERROR_RG_COM1, "Ошибка записи в RG_COM1"},
    {LUMEX_ERROR_INSTR_INTERRUPT, "Получено прерывание по ошибке инструмента"},
    {LUMEX_ERROR_RG_COM3, "Ошибка записи в RG_COM3"},
    {LUMEX_ERROR_SELF_TEST, "Ошибка самоконтроля"},
};

struct ConvertedTable {
    std::vector<std::pair<ViStatus, std::string>> entries;
    ConvertedTable()
    {
        for (const auto& entry : kStatusTexts)
            entries.emplace_back(entry.status, toCp1251(entry.text));
    }
};

const ConvertedTable& convertedTable()
{
    static const ConvertedTable table;
    return table;
}

}  // namespace

std::string toCp1251(const char* utf8)
{
    std::string result;
    iconv_t converter = iconv_open("CP1251//TRANSLIT", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return utf8;
    std::string input(utf8);
    char* in = input.data();
    size_t inLeft = input.size();
    std::vector<char> out(input.size() + 8);
    while (inLeft > 0) {
        char* outPtr = out.data();
        size_t outLeft = out.size();
        size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        result.append(out.data(), outPtr);
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            // Skip one undecodable byte and mark it.
            result.push_back('?');
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return result;
}

const char* driverStatusText(ViStatus status)
{
    for (const auto& [code, text] : convertedTable().entries) {
        if (code == status)
            return text.c_str();
    }
    return nullptr;
}

void copyText(ViChar* buffer, const char* text)
{
    size_t length = std::strlen(text);
    if (length > LUMEX_TEXT_SIZE - 1)
        length = LUMEX_TEXT_SIZE - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

namespace text {
#define LUMEX_TEXT(name, utf8)                               \
    const std::string& name()                                \
    {                                                        \
        static const std::string converted = toCp1251(utf8); \
        return converted;                                    \
    }

LUMEX_TEXT(selfTestPassed, "Самоконтроль завершен успешно")
LUMEX_TEXT(noCarrierMemory, "Не заказана память базы")
LUMEX_TEXT(noLogicOne, "Не проходит сигнал логической 1. Прочитано 0x%x")
LUMEX_TEXT(noLogicZeroAt2V, "Не проходит сигнал логического 0(в ЦАП записано 2В)")
LUMEX_TEXT(noLogicZeroAt9V5, "Не проходит сигнал логического 0(в ЦАП записано 9.5В)")
LUMEX_TEXT(suffix12V, ". Запуск измерения 12 В")
LUMEX_TEXT(suffix1V2, ". Запуск измерения 1.2 В")
LUMEX_TEXT(suffix9V5, ". Запуск измерения 9.5 В")
LUMEX_TEXT(initErrorSuffix, "(ошибка инициализации)")
LUMEX_TEXT(unknownStatus, "Неизвестный код статуса")

#undef LUMEX_TEXT

// The same text as the self-test status, from the one table.
const std::string& selfTestFailed()
{
    static const std::string copy = driverStatusText(LUMEX_ERROR_SELF_TEST);
    return copy;
}
}  // namespace text

}  // namespace lumex

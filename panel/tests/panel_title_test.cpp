// Window titles: the product name is added unless the title already starts
// with its first four characters (characters, not bytes), then the position.
#include <gtest/gtest.h>

#include "sorvi_plugin.h"

TEST(PanelTitle, ProductNameAddedOnlyWhenMissing) {
    EXPECT_EQ(buildPanelTitle("СОРВИ", 0, 3, 1), "СОРВИ крейт 0, слот 3, М-Модуль 1");
    EXPECT_EQ(buildPanelTitle("Ошибка", 10, 11, 2), "Ошибка СОРВИ крейт 10, слот 11, М-Модуль 2");
    EXPECT_EQ(buildPanelTitle("", 10, 11, 4), " СОРВИ крейт 10, слот 11, М-Модуль 4");
    EXPECT_EQ(buildPanelTitle("Параметры", 0, 0, 3), "Параметры СОРВИ крейт 0, слот 0, М-Модуль 3");
}

TEST(PanelTitle, FourCharactersDecideNotFourBytes) {
    // "СО" is four bytes of UTF-8 but only two characters.
    EXPECT_EQ(buildPanelTitle("СО", 1, 2, 3), "СО СОРВИ крейт 1, слот 2, М-Модуль 3");
    EXPECT_EQ(buildPanelTitle("СОР", 1, 2, 3), "СОР СОРВИ крейт 1, слот 2, М-Модуль 3");
    EXPECT_EQ(buildPanelTitle("СОРВ", 1, 2, 3), "СОРВ крейт 1, слот 2, М-Модуль 3");
    EXPECT_EQ(buildPanelTitle("СОРВА", 1, 2, 3), "СОРВА крейт 1, слот 2, М-Модуль 3");
    EXPECT_EQ(buildPanelTitle("Сорви", 1, 2, 3), "Сорви СОРВИ крейт 1, слот 2, М-Модуль 3");
    EXPECT_EQ(buildPanelTitle("SORV", 1, 2, 3), "SORV СОРВИ крейт 1, слот 2, М-Модуль 3");
}

TEST(PanelTitle, NegativeAndLargeNumbersAreWrittenInFull) {
    EXPECT_EQ(buildPanelTitle("СОРВИ", -1, 65535, 4), "СОРВИ крейт -1, слот 65535, М-Модуль 4");
}

// The research window's formula items: their codes and exact texts.

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "decode/decode_dan.h"
#include "decode/formula_list.h"

namespace tervolin {
namespace {

TEST(FormulaList, ItemsNameCatalogueCodesExceptTwo) {
  const auto items = formulaListItems();
  ASSERT_EQ(items.size(), 86u);
  for (std::size_t k = 0; k < items.size(); ++k) {
    const std::string_view code = items[k].substr(0, 2);
    const std::string value = DecodeDan("C8 10 20 30 40", "", "0000", code, DecodeOptions{});
    const std::size_t number = k + 1;
    if (number == 68 || number == 82)
      EXPECT_EQ(value, "") << number;  // Cyrillic ES in "С2", and "W4"
    else
      EXPECT_NE(value, "") << number << " " << code;
  }
}

TEST(FormulaList, TextsAreKeptExactly) {
  const auto items = formulaListItems();
  EXPECT_EQ(items[0], "FT: A-40 (-40.. 215`C) Температура воздуха или жидкости"_w);
  EXPECT_EQ(items[67].substr(0, 1), "\xD1");  // Cyrillic capital ES in Windows-1251
  EXPECT_EQ(items[67], "С2: A/256*95+10 Атмосферное давление"_w);
  EXPECT_EQ(items[32].substr(0, 4), "X4:C");  // Latin C after the colon
  EXPECT_EQ(items[35], "N0: A*2 (км\\ч) Скорость Ниссан (1 байт)"_w);
  EXPECT_EQ(items[69], "V1: A*40  Обороты двигателя"_w);
  EXPECT_EQ(items[85], "B8: Флаги.  Определяются значения каждого бита в 8 байтном значении"_w);
  for (std::size_t k = 0; k < items.size(); ++k) {
    const bool trailingBlank = items[k].ends_with(' ');
    const std::size_t number = k + 1;
    EXPECT_EQ(trailingBlank, number == 6 || number == 28 || number == 41 || number == 64) << number;
  }
}

}  // namespace
}  // namespace tervolin

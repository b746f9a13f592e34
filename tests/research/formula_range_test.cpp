// The range written in a formula item: every item of the formula list, and
// the corner cases of the bracket search.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#include "common/text.h"
#include "decode/formula_list.h"
#include "research/formula_range.h"

namespace tervolin {
namespace {

TEST(FormulaRange, EveryListItemGivesItsRangeOrNone) {
  // Code of the item and the minimum and maximum it fills; items without ".."
  // are not listed and must leave the fields alone.
  const struct {
    std::string_view code;
    const char* minimum;
    const char* maximum;
  } ranges[] = {
      {"FT", "-40", "215"},  {"FK", "-100", "9922"}, {"FP", "0", "765"},       {"FR", "0", "16383"},
      {"FZ", "-64", "64"},   {"FL", "0", "2"},       {"FV", "0", "8"},         {"FA", "-128", "128"},
      {"F1", "0", "100"},    {"F3", "0", "655350"},  {"F6", "-100", "9922"},   {"F7", "-8192", "8192"},
      {"F4", "-40", ""},     {"F8", "0", "65535"},   {"F9", "0", "25700"},     {"FO", "0", "65535"},
      {"X8", "-80", "175"},  {"X5", "-65", "195"},
  };
  std::size_t withRange = 0;
  for (const std::string_view item : formulaListItems()) {
    const std::optional<RangeTexts> got = rangeFromFormulaText(item);
    const auto* expected = std::find_if(std::begin(ranges), std::end(ranges),
                                        [&](const auto& r) { return item.substr(0, 2) == r.code; });
    if (expected == std::end(ranges)) {
      EXPECT_FALSE(got) << cp1251ToUtf8(item);
      continue;
    }
    ++withRange;
    ASSERT_TRUE(got) << cp1251ToUtf8(item);
    EXPECT_EQ(got->minimum, expected->minimum) << cp1251ToUtf8(item);
    EXPECT_EQ(got->maximum, expected->maximum) << cp1251ToUtf8(item);
  }
  EXPECT_EQ(withRange, std::size(ranges));
}

TEST(FormulaRange, BracketSearchReachAndFallbacks) {
  const struct {
    const char* what;
    const char* text;
    const char* minimum;
    const char* maximum;
  } cases[] = {
      {"no opening bracket: everything before the dots", "A1 -5..7)", "1-5", "7"},
      {"opening bracket nine characters before the first dot is found", "x(12345678..1)", "12345678", "1"},
      {"opening bracket ten characters before the first dot is too far", "x(123456789..1)", "123456789", "1"},
      {"closing bracket nine characters after the first dot is found", "(1..1234567)", "1", "1234567"},
      {"closing bracket ten characters after the first dot is too far", "(1..12345678)", "1", ""},
      {"the nearest brackets count", "((1..2))", "1", "2"},
      {"only the first dots count", "(1..2) (3..4)", "1", "2"},
      {"three dots", "(1...2)", "1", "2"},
      {"dots at the very start", "..5)", "", "5"},
      {"dots at the very end", "(5..", "5", ""},
      {"nothing but digits and minus survive", "(-1,5 `C..+2.5e3)", "-15", "253"},
  };
  for (const auto& c : cases) {
    const std::optional<RangeTexts> got = rangeFromFormulaText(c.text);
    ASSERT_TRUE(got) << c.what;
    EXPECT_EQ(got->minimum, c.minimum) << c.what;
    EXPECT_EQ(got->maximum, c.maximum) << c.what;
  }
  EXPECT_FALSE(rangeFromFormulaText(""));
  EXPECT_FALSE(rangeFromFormulaText("FD: A*0.005 (0.1)"));
}

}  // namespace
}  // namespace tervolin

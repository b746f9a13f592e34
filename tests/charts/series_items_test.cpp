#include "charts/series_items.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace tervolin {
namespace {

TEST(SeriesItem, CodeFromItsThirdCharacterThenPositionAndName) {
  struct Case {
    std::string_view code, position, name;
    int width;
    std::string_view item;
  } cases[] = {
      {"2101", "0C01", "N", 4, "01/0C01 N"},
      {"21A1", "0200", "Обороты"_w, 4, "A1/0200 Обороты"_w},
      {"221234", "0000", "Tw", 6, "1234/0000 Tw"},
      {"21", "0000", "short", 4, "/0000 short"},   // a code without identifier
      {"2101", "0000", "", 4, "01/0000 "},
      {"210102", "0300", "x", 4, "01/0300 x"},      // a longer code is cut to W-2
  };
  for (const Case& c : cases) EXPECT_EQ(seriesItem(c.code, c.position, c.name, c.width), c.item) << c.item;
}

TEST(BelongsToItem, ServiceByteIgnoredAndPositionFieldWhole) {
  struct Case {
    std::string_view item, code, position;
    int width;
    bool belongs;
  } cases[] = {
      {"01/0C01 N", "2101", "0C01", 4, true},
      {"01/0C01 N", "1A01", "0C01", 4, true},   // another service byte, same identifier
      {"01/0C01 N", "2102", "0C01", 4, false},
      {"01/0C01 N", "2101", "0C00", 4, false},
      {"01/0C01 N", "2101", "0C0", 4, false},   // a short position field never matches
      {"01/0C0 ", "2101", "0C0", 4, false},     // not even the item made from it
      {"01/0C01", "2101", "0C01", 4, true},     // the name plays no part
      {"1234/0000 Tw", "221234", "0000", 6, true},
      {"1234/0000 Tw", "211234", "0000", 6, true},
      {"1234/0000 Tw", "221235", "0000", 6, false},
      {"1234/0000 Tw", "2212", "0000", 6, false},
      {"Нет"_w, "2101", "0000", 4, false},
      {"", "2101", "0000", 4, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(belongsToItem(c.item, c.code, c.position, c.width), c.belongs) << c.item << " " << c.code << " " << c.position;
}

TEST(SourceMasks, OneBitPerSeriesDecidedPerSource) {
  std::vector<RecordSource> sources = {
      {"2101", "0000", "C", "Tw"}, {"2101", "0100", "C", "Ta"}, {"1A01", "0000", "C", "Tw2"}, {"2102", "0000", "", "x"}};
  const std::vector<std::string> items = {"01/0000 Tw", std::string("Нет"_w), "", "01/0100 Ta", "01/0000 other", "09/0000 none"};
  const std::vector<std::uint8_t> masks = sourceMasks(sources, items, 4);
  EXPECT_EQ(masks, (std::vector<std::uint8_t>{0b010001, 0b001000, 0b010001, 0}));
}

}  // namespace
}  // namespace tervolin

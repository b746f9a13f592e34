#include "charts/dependency_graphs.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;
using Points = std::vector<std::pair<double, double>>;

// A table in the Table view's shape: two heading rows, data from row 2.
Grid table(const std::vector<std::vector<std::string>>& columns) {
  Grid g;
  g.setColumnCount(static_cast<int>(columns.size()));
  std::size_t rows = 0;
  for (const auto& c : columns) rows = std::max(rows, c.size());
  g.setRowCount(static_cast<int>(rows));
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (std::size_t r = 0; r < columns[c].size(); ++r) g.setCell(int(c), int(r), columns[c][r]);
  return g;
}

Points points(const DependencyChart& chart) {
  Points out;
  for (std::size_t i = 0; i < chart.x.size(); ++i) out.emplace_back(chart.x[i], chart.y[i]);
  return out;
}

const std::string kNo(std::string("Нет"_w));

TEST(CellNumber, KindDecidedByTheFirstTwoCharacters) {
  struct Case {
    std::string_view cell;
    char mark;
    std::optional<double> value;
  } cases[] = {
      {"", ',', 0},         {"12,5", ',', 12.5}, {"-3", ',', -3},   {"-0,5", ',', 0},  {"abc", ',', 0},
      {"Да"_w, ',', 1},     {"да"_w, ',', 1},    {"Yes", ',', 1},   {"y", ',', 1},     {"Нет"_w, ',', 0},
      {"No", ',', 0},       {"-", ',', 0},       {"0", ',', 0},     {"7", '.', 7},     {"12.5", ',', std::nullopt},
      {"1 2", '.', std::nullopt}, {"-9x", '.', std::nullopt}, {"1e3", '.', 1000},
  };
  for (const Case& c : cases) EXPECT_EQ(cellNumber(c.cell, c.mark), c.value) << c.cell;
}

TEST(DependencyItems, NoParameterThenHeadingsOfEveryColumn) {
  const Grid g = table({{"2101/0000", "Tw (C)", "1"}, {"2101/0100", "Ta (C)", "2"}});
  EXPECT_EQ(dependencyItems(g), (std::vector<std::string>{kNo, "2101/0000 Tw (C)", "2101/0100 Ta (C)"}));
}

TEST(PaintGraf, YAgainstPointNumberSkipsEmptyCells) {
  std::vector<std::string> y = {"2101/0000", "Tw (C)"};
  for (int i = 0; i < 100; ++i) y.push_back(i % 10 == 3 ? "" : std::to_string(i));
  const Grid g = table({y});
  DependencyChoice choice{{kNo, "2101/0000 Tw (C)", "", ""}};
  ScriptedChannel channel;
  const auto charts = PaintGraf(g, choice, '.', channel);
  ASSERT_EQ(charts[0].x.size(), 90u);
  EXPECT_EQ(charts[0].x.front(), 0);
  EXPECT_EQ(charts[0].x.back(), 89);
  EXPECT_EQ(charts[0].y[3], 4);  // row of 3 skipped, no x used up
  EXPECT_EQ(charts[0].title, "График параметра 2101/0000 Tw (C)"_w);
  EXPECT_EQ(choice.list[0], "");  // "Нет" is emptied
  EXPECT_EQ(charts[1].title, "График параметра "_w);
  EXPECT_TRUE(charts[1].x.empty());
  EXPECT_TRUE(channel.events.empty());
}

TEST(PaintGraf, YAgainstXInAscendingXOrder) {
  const Grid g = table({{"n", "N", "3000", "", "1000", "2000", "1000", "x"},
                        {"t", "T", "3,5", "9", "1", "", "1,5", "2"}});
  DependencyChoice choice{{"", "", "n N", "t T"}};
  ScriptedChannel channel;
  const auto charts = PaintGraf(g, choice, ',', channel);
  // Rows with an empty cell add nothing; equal x keep their row order; "x" is 0.
  EXPECT_EQ(points(charts[1]), (Points{{0, 2}, {1000, 1}, {1000, 1.5}, {3000, 3.5}}));
  EXPECT_EQ(charts[1].title, "График зависимости параметра t T от параметра n N"_w);
  EXPECT_EQ(charts[0].title, "График параметра "_w);  // only chart 2 chosen
  EXPECT_TRUE(charts[0].x.empty());
  EXPECT_TRUE(channel.events.empty());
}

TEST(PaintGraf, EachFailedConversionIsToldAndGivesNoPoint) {
  const Grid g = table({{"a", "A", "1.5", "2", "3"}, {"b", "B", "4", "5x", "6"}});
  DependencyChoice choice{{"a A", "b B", kNo, kNo}};
  ScriptedChannel channel;
  const auto charts = PaintGraf(g, choice, ',', channel);
  EXPECT_EQ(points(charts[0]), (Points{{3, 6}}));
  EXPECT_EQ(channel.texts(Event::Message),
            (std::vector<std::string>{
                std::string("Ошибка преобразования типов данных при вычислении значения графика -1.5"_w),
                std::string("Ошибка преобразования типов данных при вычислении значения графика -5x"_w)}));
}

TEST(PaintGraf, NothingChosenIsToldAndUnknownTextsNameColumnZero) {
  const Grid g = table({{"a", "A", "1"}, {"b", "B", "2"}});
  DependencyChoice none{{kNo, "", kNo, ""}};
  ScriptedChannel channel;
  auto charts = PaintGraf(g, none, '.', channel);
  EXPECT_EQ(channel.texts(Event::Message), std::vector<std::string>{std::string("Нужно указать параметр"_w)});
  EXPECT_EQ(none.list, (std::array<std::string, 4>{"", "", "", ""}));

  DependencyChoice typed{{"", "typed text", "", ""}};
  charts = PaintGraf(g, typed, '.', channel);
  EXPECT_EQ(points(charts[0]), (Points{{0, 1}}));  // column 0
}

}  // namespace
}  // namespace tervolin

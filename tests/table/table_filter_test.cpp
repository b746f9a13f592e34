// The filter: the numeric-cell rule, the four operators on numbers and
// texts, sequential filters, failures and what they leave, the filter
// column after columns were deleted, and that no cell text is copied.

#include "table/table_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"
#include "table/numeric_cell.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

TEST(NumericCell, FirstCharacterRule) {
  for (std::string_view yes : {"0", "12.5", "9abc", "-1", "-9.5", "1 км"})
    EXPECT_TRUE(isNumericCell(yes)) << yes;
  for (std::string_view no : {"", "-", "-0.5", "-.5", " 1", "+1", ".5", "abc", "-a"})
    EXPECT_FALSE(isNumericCell(no)) << no;
}

TEST(RowCount, GroupsThousands) {
  EXPECT_EQ(rowCountText(1234, 500000), w("Строк: 1 234 из 500 000"));
  EXPECT_EQ(rowCountText(0, 999), w("Строк: 0 из 999"));
  EXPECT_EQ(rowCountText(1000, 1000000), w("Строк: 1 000 из 1 000 000"));
}

// Columns: speed (км/ч), valve (unit "%"), lambda (unit "В"); one row per
// entry of `speeds`, `valves`, `lambdas`.
class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.definitions = {
        {"2101", w("Скорость"), w("км/ч"), "0000", "FT", 0},
        {"2101", w("Клапан"), "%", "0100", "FT", 1},
        {"2102", w("Лямбда"), w("В"), "0000", "FT", 2},
    };
    const std::vector<std::string> speeds = {"10", "55", "70", "99.5", "100", "", w("нет"), "-0.5", "-3", "120"};
    const std::vector<std::string> valves = {w("Открыт"), w("Открыт %"), w("Закрыт"), w("Закрыт"), "",
                                             w("открыт"), w("Закрыт"), w("Открыт"), w("Открыт  %"), w("Закрыт %")};
    grid.setColumnCount(3);
    grid.setRowCount(2 + static_cast<int>(speeds.size()));
    grid.setFixedRows(2);
    for (int c = 0; c < 3; ++c) {
      const ParamDef& d = state.definitions[static_cast<std::size_t>(c)];
      grid.setCell(c, 0, d.requestCode + "/" + d.positionField);
      grid.setCell(c, 1, d.name + " (" + d.unit + ")");
    }
    for (std::size_t r = 0; r < speeds.size(); ++r) {
      grid.setCell(0, static_cast<int>(r) + 2, speeds[r]);
      grid.setCell(1, static_cast<int>(r) + 2, valves[r]);
      grid.setCell(2, static_cast<int>(r) + 2, "r" + std::to_string(r));  // which row it was
    }
  }

  std::string item(int i) const { return filterParameterItems(state.definitions)[static_cast<std::size_t>(i)]; }

  // The original row numbers left, from the third column.
  std::vector<std::string> rowsLeft() const {
    std::vector<std::string> out;
    for (int r = 2; r < grid.rowCount(); ++r) out.emplace_back(grid.cell(2, r));
    return out;
  }

  void filter(const std::string& parameter, std::string_view op, std::string_view value) {
    ApplyFiltr(state, channel, grid, {parameter, std::string(op), std::string(value)});
  }

  AppState state;
  Grid grid;
  ScriptedChannel channel;
};

TEST_F(FilterTest, ParameterListItems) {
  EXPECT_EQ(item(0), w("Скорость  2101"));
  EXPECT_EQ(item(2), w("Лямбда  2102"));
}

TEST_F(FilterTest, OperatorsOnNumbersAndTexts) {
  const struct {
    const char* what;
    int column;
    std::string_view op;
    std::string value;
    std::vector<std::string> left;
  } cases[] = {
      {"> drops empty, letter and -0.5 cells", 0, ">", "50", {"r1", "r2", "r3", "r4", "r9"}},
      {"< keeps negative numbers", 0, "<", "60", {"r0", "r1", "r8"}},
      {"= on numbers", 0, "=", "99.5", {"r3"}},
      {"= compares -0.5 as text", 0, "=", "-0.5", {"r7"}},
      {"<> on numbers keeps every text", 0, "<>", "100", {"r0", "r1", "r2", "r3", "r5", "r6", "r7", "r8", "r9"}},
      {"= on texts, with and without the unit", 1, "=", w("Открыт"), {"r0", "r1", "r7"}},
      {"<> on texts drops both forms", 1, "<>", w("Закрыт"), {"r0", "r1", "r4", "r5", "r7", "r8"}},
      {"an empty value matches empty cells", 1, "=", "", {"r4"}},
  };
  for (const auto& c : cases) {
    SetUp();
    channel.events.clear();
    filter(item(c.column), c.op, c.value);
    EXPECT_EQ(rowsLeft(), c.left) << c.what;
    EXPECT_TRUE(channel.events.empty()) << c.what;
    EXPECT_EQ(grid.cell(0, 0), "2101/0000") << c.what;
    EXPECT_EQ(grid.cell(0, 1), w("Скорость (км/ч)")) << c.what;
  }
}

TEST_F(FilterTest, SequentialFiltersNarrowEachOther) {
  filter(item(0), ">", "50");
  filter(item(0), "<", "100");
  EXPECT_EQ(rowsLeft(), (std::vector<std::string>{"r1", "r2", "r3"}));
  EXPECT_EQ(grid.rowCount(), 5);
}

TEST_F(FilterTest, FailuresAndWhatTheyLeave) {
  // A value in the other notation: the first numeric cell fails.
  filter(item(0), ">", "12,5");
  EXPECT_EQ(rowsLeft(), std::vector<std::string>{});
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message), std::vector<std::string>{w("Ошибка загрузки из массива")});

  // A cell that starts like a number but is not: the rows that passed
  // before it stay, the rest are gone.
  SetUp();
  grid.setCell(0, 5, "99x");  // row r3
  filter(item(0), ">", "50");
  EXPECT_EQ(rowsLeft(), (std::vector<std::string>{"r1", "r2"}));

  // A text value where the column holds numbers fails at the first number.
  SetUp();
  filter(item(0), "=", w("Открыт"));
  EXPECT_EQ(rowsLeft(), std::vector<std::string>{});

  // An unknown operator: one message, the heading rows alone.
  SetUp();
  channel.events.clear();
  filter(item(0), ">=", "1");
  EXPECT_EQ(grid.rowCount(), 2);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{w("Ошибочное выражение! Допустимы знаки \"<\",\">\",\"=\"")});

  // A table without data rows keeps its headings, whatever the operator.
  grid.setRowCount(2);
  channel.events.clear();
  filter(item(0), "?", "1");
  EXPECT_EQ(grid.rowCount(), 2);
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(FilterTest, TheFilterColumn) {
  // A text naming no definition filters column 0.
  filter(w("Нет такого  2101"), ">", "99");
  EXPECT_EQ(rowsLeft(), (std::vector<std::string>{"r3", "r4", "r9"}));

  // After a column was deleted, the column is found by its heading key.
  SetUp();
  grid.deleteColumn(0);  // speed gone: valve is column 0, the row numbers column 1
  filter(item(1), "=", w("Закрыт"));
  ASSERT_EQ(grid.rowCount(), 6);
  EXPECT_EQ(grid.cell(1, 2), "r2");
  EXPECT_EQ(grid.cell(1, 5), "r9");
  // The deleted parameter's column is not there: nothing changes.
  const int rows = grid.rowCount();
  channel.events.clear();
  filter(item(0), ">", "0");
  EXPECT_EQ(grid.rowCount(), rows);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{w("Столбец параметра скрыт, фильтр не применён")});
}

TEST_F(FilterTest, PassingRowsKeepTheirTextsWithoutCopies) {
  const char* before = grid.cell(1, 5).data();  // r3's valve "5"
  filter(item(0), "=", "99.5");
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(grid.cell(1, 2).data(), before);
}

}  // namespace
}  // namespace tervolin

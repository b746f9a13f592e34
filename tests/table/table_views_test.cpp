#include "table/table_views.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

// Position field of the i-th demo parameter: byte i, whole byte.
std::string positionOf(int i) {
  std::string field = std::to_string(i);
  field.insert(field.begin(), '0');
  return field + "00";
}

// A program folder holding pids.ini and the formula file; records are built
// directly so that each case states the polling order it tests.
class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.definitionFileName = std::string(kPidsIni);
    test::writeFile(dir / "formules.ini", "21010000FT\r\n");
  }

  // Definitions "A", "B", "C", ... with request code 2101 and positions 0000,
  // 0100, 0200, ...
  void writeDefinitions(int count) {
    std::vector<ParamDef> defs;
    for (int i = 0; i < count; ++i)
      defs.push_back({"2101", std::string(1, char('A' + i)), "u", positionOf(i), "", i});
    test::writeFile(dir / "pids.ini", definitionFileText(defs));
  }

  // Appends one record per letter, with value = letter + ordinal.
  void poll(std::string_view letters) {
    for (char letter : letters) {
      const int i = letter - 'A';
      const std::uint32_t source =
          state.records.addSource({"2101", positionOf(i), "u", std::string(1, letter)});
      ++ordinal;
      std::string value(1, letter);
      value += std::to_string(ordinal);
      state.records.append(ordinal, source, value);
    }
  }

  std::vector<std::string> row(int r) const {
    std::vector<std::string> out;
    for (int c = 0; c < grid.columnCount(); ++c) out.emplace_back(grid.cell(c, r));
    return out;
  }

  test::TempDir dir;
  AppState state;
  ScriptedChannel channel;
  Grid grid;
  int ordinal = 0;
};

using Row = std::vector<std::string>;

TEST_F(ViewsTest, TableRowsFollowThePollingCycle) {
  struct Case {
    std::string_view polled;
    std::vector<Row> dataRows;
  };
  const std::vector<Case> cases = {
      {"ABCABC", {{"A1", "B2", "C3"}, {"A4", "B5", "C6"}}},
      {"AAB", {{"A2", "B3", ""}}},                 // the second A overwrites the first
      {"CA", {{"", "", "C1"}, {"A2", "", ""}}},    // A runs back to an earlier column
      {"", {{"", "", ""}}},                        // no records: one empty data row
      {"BBAC", {{"", "B2", ""}, {"A3", "", "C4"}}},
  };
  writeDefinitions(3);
  for (const Case& k : cases) {
    state.records.clear();
    ordinal = 0;
    poll(k.polled);
    TablSG(state, channel, grid);
    ASSERT_EQ(grid.rowCount(), 2 + static_cast<int>(k.dataRows.size())) << k.polled;
    EXPECT_EQ(grid.fixedRows(), 2);
    for (std::size_t r = 0; r < k.dataRows.size(); ++r) EXPECT_EQ(row(2 + static_cast<int>(r)), k.dataRows[r]) << k.polled;
  }
  for (const auto& e : channel.events) ADD_FAILURE() << cp1251ToUtf8(e.text);
}

TEST_F(ViewsTest, HeadingsNameCodePositionNameAndUnit) {
  test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                        {"21 01", "Обороты"_w.data(), "об/мин"_w.data(), "0 100", "", 0},
                                        {"2102", "T", "C", "0300", "", 1}}));
  TablSG(state, channel, grid);
  ASSERT_EQ(grid.columnCount(), 2);
  EXPECT_EQ(grid.cell(0, 0), "2101/0100");
  EXPECT_EQ(grid.cell(0, 1), std::string("Обороты (об/мин)"_w));
  EXPECT_EQ(grid.cell(1, 0), "2102/0300");
  EXPECT_EQ(grid.cell(1, 1), "T (C)");
}

TEST_F(ViewsTest, UnmatchedRecordsAndUnusedDefinitionsLeaveCellsEmpty) {
  writeDefinitions(3);
  const std::uint32_t stranger = state.records.addSource({"2199", "0000", "u", "X"});
  poll("A");
  state.records.append(99, stranger, "lost");
  poll("C");
  // Same code, other position: no definition matches either.
  state.records.append(100, state.records.addSource({"2101", "0900", "u", "Z"}), "lost too");
  TablSG(state, channel, grid);
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(row(2), (Row{"A1", "", "C2"}));
}

TEST_F(ViewsTest, DefinitionsSharingCodeAndPositionAllGetTheValue) {
  test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                        {"2101", "A", "u", "0000", "", 0},
                                        {"2101", "B", "u", "0100", "", 1},
                                        {"2101", "A again", "v", "0000", "", 2}}));
  poll("ABAB");
  TablSG(state, channel, grid);
  // Each A fills columns 0 and 2; p is then column 2, so B starts a new row.
  ASSERT_EQ(grid.rowCount(), 6);
  EXPECT_EQ(row(2), (Row{"A1", "", "A1"}));
  EXPECT_EQ(row(3), (Row{"", "B2", ""}));
  EXPECT_EQ(row(4), (Row{"A3", "", "A3"}));
  EXPECT_EQ(row(5), (Row{"", "B4", ""}));
}

TEST_F(ViewsTest, RunningOutOfRowsAsksWhetherToStop) {
  // Room for the headings and two data rows: the third A finds no row.
  struct Case {
    bool stop;
    Row lastRow;
  };
  const std::vector<Case> cases = {
      {true, {"A3", "B4"}},   // Yes: nothing more is placed
      {false, {"A3", "B6"}},  // No: A5 is skipped, B6 lands in the current row
  };
  writeDefinitions(2);
  poll("ABABAB");
  for (const Case& k : cases) {
    ScriptedChannel asked;
    asked.yesNoAnswers = {k.stop};
    grid.setMaxRows(4);
    TablSG(state, asked, grid);
    const auto questions = asked.texts(ScriptedChannel::Event::YesNo);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], std::string("Ошибка построения таблицы! Записей 6 Строк 4 Записано 3 строк и 4записей. "
                                        "Хотите прервать?"_w));
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(row(2), (Row{"A1", "B2"}));
    EXPECT_EQ(row(3), k.lastRow);
  }
}

TEST_F(ViewsTest, LogViewShowsTheLinesAsTheReaderSeesThem) {
  // Enough lines to grow the grid by several steps.
  std::string manyLines;
  std::vector<std::string> many;
  for (int i = 0; i < 25000; ++i) many.push_back("line " + std::to_string(i));
  for (const std::string& line : many) manyLines += line + "\n";
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {" \r\n\t\n", {}},
      {"one\r\ntwo", {"one", "two"}},
      {"\n\n   indented line\r\n\r\n\tTxD 82 10 F1 21 01 A5\rlast \n", {"indented line", "TxD 82 10 F1 21 01 A5", "last "}},
      {std::string("Ответ"_w) + "\n", {std::string("Ответ"_w)}},
      {manyLines, many},
  };
  writeDefinitions(1);
  for (const Case& k : cases) {
    test::writeFile(dir / "demo.log", k.text);
    buildLogView(state, channel, dir / "demo.log", grid);
    ASSERT_EQ(grid.rowCount(), static_cast<int>(k.lines.size()) + 2) << k.text;
    EXPECT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(grid.columnWidth(0), 250);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.cell(0, 0), std::string("Log как он есть"_w));
    EXPECT_EQ(grid.cell(0, 1), "");
    for (std::size_t k2 = 0; k2 < k.lines.size(); ++k2) EXPECT_EQ(grid.cell(0, static_cast<int>(k2) + 2), k.lines[k2]);
  }
  EXPECT_EQ(state.definitions.size(), 1u);  // pids.ini was loaded for the explanation
}

TEST_F(ViewsTest, LogViewStopsAtTheCellBudgetAndSaysSo) {
  std::string log;
  for (int i = 0; i < 10000; ++i) log += "line " + std::to_string(i) + "\n";
  writeDefinitions(1);
  test::writeFile(dir / "demo.log", log);
  grid.setMaxCellBytes(64 << 10);  // two blocks of 4096 rows
  buildLogView(state, channel, dir / "demo.log", grid);
  ASSERT_EQ(grid.rowCount(), 4097);
  EXPECT_EQ(grid.cell(0, 4096), "line 4094");
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{std::string("Лог слишком велик для таблицы: показаны первые 4095 строк."_w)});
}

TEST_F(ViewsTest, UnreadableLogLeavesTheHeadingAndSaysSo) {
  writeDefinitions(1);
  // The message names the file in the program's own text, Cyrillic included.
  const std::filesystem::path missing = dir / "журнал.log";
  buildLogView(state, channel, missing, grid);
  EXPECT_EQ(grid.rowCount(), 2);
  EXPECT_EQ(grid.cell(0, 0), std::string("Log как он есть"_w));
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{std::string("Не удалось прочитать файл "_w) + utf8ToCp1251(missing.string())});
}

TEST(LongestCell, FirstLongestRowBelowTheHeadings) {
  Grid grid;
  grid.setColumnCount(2);
  grid.setRowCount(6);
  grid.setFixedRows(1);
  EXPECT_EQ(longestCellRow(grid, 0), 1);  // all empty: the first row below the headings
  grid.setCell(0, 0, "a heading longer than any line");
  grid.setCell(0, 2, "TxD 82");
  grid.setCell(0, 3, "RxD 84 F1");
  grid.setCell(0, 5, "RxD 84 F2");
  grid.setCell(1, 4, "x");
  EXPECT_EQ(longestCellRow(grid, 0), 3);
  EXPECT_EQ(longestCellRow(grid, 1), 4);
  grid.setRowCount(1);
  EXPECT_EQ(longestCellRow(grid, 0), -1);
}

}  // namespace
}  // namespace tervolin

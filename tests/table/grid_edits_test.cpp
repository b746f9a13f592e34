// Row and column edits on the recorded cell: deletions with the cell to
// select next, the failure message, the column average and the keys.

#include "table/grid_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

// Six columns; data rows hold "c<column>r<row>" as built.
Grid table(int dataRows) {
  Grid grid;
  grid.setColumnCount(6);
  grid.setRowCount(2 + dataRows);
  grid.setFixedRows(2);
  for (int c = 0; c < 6; ++c)
    for (int r = 0; r < 2 + dataRows; ++r) grid.setCell(c, r, "c" + std::to_string(c) + "r" + std::to_string(r));
  return grid;
}

AppState selected(int column, int row) {
  AppState state;
  state.selectedColumn = column;
  state.selectedRow = row;
  return state;
}

TEST(RecordedCellEdits, DeletingRowsSelectsTheRowThatMovedUpOrTheNewLast) {
  Grid grid = table(4);
  AppState state = selected(1, 3);
  auto next = deleteRecordedRow(state, grid);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->row, 3);
  EXPECT_EQ(next->column, 1);
  EXPECT_EQ(grid.cell(1, 3), "c1r4");
  // Repeated deletions go on with the following rows, then the new last.
  state.selectedRow = next->row;
  next = deleteRecordedRow(state, grid);
  ASSERT_TRUE(next);
  EXPECT_EQ(grid.cell(0, 3), "c0r5");
  state.selectedRow = next->row;
  next = deleteRecordedRow(state, grid);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->row, 2);
  state.selectedRow = next->row;
  EXPECT_FALSE(deleteRecordedRow(state, grid));  // no data row left to select
  EXPECT_EQ(grid.rowCount(), 2);
}

TEST(RecordedCellEdits, NothingHappensBeforeADataCellWasSelected) {
  Grid grid = table(2);
  ScriptedChannel channel;
  const AppState none;  // recorded cell 0, 0
  EXPECT_FALSE(deleteRecordedRow(none, grid));
  EXPECT_FALSE(deleteRecordedColumn(none, channel, grid));
  EXPECT_EQ(columnAverageText(none, grid), "");
  EXPECT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(grid.columnCount(), 6);
  // A recorded row past the end (after a filter) deletes nothing.
  EXPECT_FALSE(deleteRecordedRow(selected(0, 9), grid));
  EXPECT_EQ(grid.rowCount(), 4);
}

TEST(RecordedCellEdits, DeletingColumnsMovesLeftwards) {
  Grid grid = table(2);
  ScriptedChannel channel;
  auto next = deleteRecordedColumn(selected(5, 2), channel, grid);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->column, 4);
  EXPECT_EQ(next->row, 2);
  next = deleteRecordedColumn(selected(0, 2), channel, grid);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->column, 0);
  EXPECT_EQ(grid.cell(0, 2), "c1r2");
  EXPECT_EQ(grid.columnCount(), 4);

  // A recorded column outside the grid: the message, nothing deleted.
  EXPECT_FALSE(deleteRecordedColumn(selected(7, 2), channel, grid));
  EXPECT_EQ(grid.columnCount(), 4);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{w("Ошибка при удалении столбца7; всего столбцов-4;Активный столбец-7")});
}

TEST(RecordedCellEdits, ColumnAverage) {
  const struct {
    std::vector<std::string> cells;
    char mark;
    std::string shown;
  } cases[] = {
      {{"10", "20", "30"}, '.', "20.00"},
      {{"10", "20", w("Открыт")}, '.', "10.00"},
      {{"10", "-0.5", "20"}, '.', "10.00"},
      {{"1,5", "2,25"}, ',', "1,88"},
      {{"1.5", "12x"}, '.', "0.75"},  // a cell that does not convert is skipped
      {{"-3", "", "6"}, '.', "1.00"},
      {{}, '.', "0.00"},
  };
  for (const auto& c : cases) {
    Grid grid = table(static_cast<int>(c.cells.size()));
    for (std::size_t r = 0; r < c.cells.size(); ++r) grid.setCell(2, static_cast<int>(r) + 2, c.cells[r]);
    AppState state = selected(2, 2);
    state.decimalMark = c.mark;
    EXPECT_EQ(columnAverageText(state, grid), w("Среднее значение по колонке: ") + c.shown) << c.shown;
  }
}

TEST(RecordedCellEdits, KeysWithCtrl) {
  EXPECT_EQ(gridKeyCommand('H', true), GridKeyCommand::DeleteColumn);
  EXPECT_EQ(gridKeyCommand('y', true), GridKeyCommand::DeleteRow);
  EXPECT_EQ(gridKeyCommand('F', true), GridKeyCommand::Research);
  EXPECT_EQ(gridKeyCommand('H', false), GridKeyCommand::None);
  EXPECT_EQ(gridKeyCommand('X', true), GridKeyCommand::None);
}

}  // namespace
}  // namespace tervolin

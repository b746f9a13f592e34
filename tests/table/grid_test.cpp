#include "table/grid.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tervolin {
namespace {

// "c<column>r<row>": the text every cell of a labelled grid starts with.
std::string label(int c, int r) {
  char text[32];
  std::snprintf(text, sizeof text, "c%dr%d", c, r);
  return text;
}

// Fills every cell with its label so that moves show up.
Grid labelledGrid(int columns, int rows) {
  Grid grid;
  grid.setColumnCount(columns);
  grid.setRowCount(rows);
  for (int c = 0; c < columns; ++c)
    for (int r = 0; r < rows; ++r) grid.setCell(c, r, label(c, r));
  return grid;
}

TEST(GridCells, OwnSharedAndBufferTextsReadBackAfterTheirOwnersGo) {
  Grid grid;
  grid.setColumnCount(3);
  grid.setRowCount(2);
  {
    // The grid keeps the arena and the buffer alive.
    auto arena = std::make_shared<TextArena>();
    auto buffer = FileBytes::hold("first line\nsecond line");
    grid.setCell(0, 0, "own");
    grid.setCellRef(1, 0, arena, arena->add("12.5"));
    grid.setCellInBuffer(2, 1, buffer, buffer->view().substr(11, 6));
  }
  EXPECT_EQ(grid.cell(0, 0), "own");
  EXPECT_EQ(grid.cell(1, 0), "12.5");
  EXPECT_EQ(grid.cell(2, 1), "second");
  EXPECT_EQ(grid.cell(2, 0), "");
  // A text that does not lie in the buffer is copied, not named.
  const std::string elsewhere = "copied";
  grid.setCellInBuffer(0, 1, FileBytes::hold("other"), elsewhere);
  EXPECT_EQ(grid.cell(0, 1), "copied");
}

TEST(GridCells, ManyArenasStayReadable) {
  // More arenas than a cell can name at once: texts stay right either way.
  Grid grid;
  grid.setColumnCount(40);
  grid.setRowCount(1);
  for (int c = 0; c < 40; ++c) {
    auto arena = std::make_shared<TextArena>();
    grid.setCellRef(c, 0, arena, arena->add(label(c, 0)));
  }
  for (int c = 0; c < 40; ++c) EXPECT_EQ(grid.cell(c, 0), label(c, 0));
}

TEST(GridCells, AccessOutsideTheGridIsHarmless) {
  Grid grid = labelledGrid(2, 2);
  for (auto [c, r] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {1 << 30, 1 << 30}}) {
    grid.setCell(c, r, "x");
    EXPECT_EQ(grid.cell(c, r), "") << c << "," << r;
  }
  EXPECT_EQ(grid.cell(1, 1), "c1r1");
}

TEST(GridGrowth, CellsSurviveGrowthAcrossBlocks) {
  Grid grid;
  grid.setColumnCount(2);
  for (int r = 0; r < 10000; ++r) {
    grid.setRowCount(r + 1);
    grid.setCell(r % 2, r, std::to_string(r));
  }
  grid.setColumnCount(3);
  EXPECT_EQ(grid.rowCount(), 10000);
  for (int r : {0, 4095, 4096, 4097, 8191, 9999}) {
    EXPECT_EQ(grid.cell(r % 2, r), std::to_string(r));
    EXPECT_EQ(grid.cell(2, r), "");
  }
  EXPECT_EQ(grid.columnWidth(2), Grid::kDefaultColumnWidth);
}

TEST(GridGrowth, ShrinkingForgetsTheRemovedCells) {
  Grid grid = labelledGrid(2, 5000);
  grid.setRowCount(4097);
  grid.setRowCount(5000);
  EXPECT_EQ(grid.cell(1, 4096), "c1r4096");
  EXPECT_EQ(grid.cell(1, 4097), "");
  EXPECT_EQ(grid.cell(0, 4999), "");
  grid.setColumnCount(1);
  grid.setColumnCount(2);
  EXPECT_EQ(grid.cell(1, 0), "");
  grid.setRowCount(-5);
  EXPECT_EQ(grid.rowCount(), 0);
}

TEST(GridGrowth, RowLimitCapsTheRowCount) {
  Grid grid;
  grid.setMaxRows(10);
  grid.setRowCount(50);
  EXPECT_EQ(grid.rowCount(), 10);
  grid.setMaxRows(Grid::kMaxRows + 1);
  EXPECT_EQ(grid.maxRows(), Grid::kMaxRows);
}

TEST(GridEdits, DeleteRowMovesLaterRowsUp) {
  struct Case {
    int rows, deleted;
  };
  for (const Case& k : std::vector<Case>{{5, 0}, {5, 2}, {5, 4}, {9000, 4095}, {9000, 4096}, {9000, 8999}}) {
    Grid grid = labelledGrid(2, k.rows);
    grid.deleteRow(k.deleted);
    ASSERT_EQ(grid.rowCount(), k.rows - 1);
    for (int r : {0, k.deleted - 1, k.deleted, k.deleted + 1, k.rows - 2}) {
      if (r < 0 || r >= k.rows - 1) continue;
      const int from = r < k.deleted ? r : r + 1;
      EXPECT_EQ(grid.cell(1, r), label(1, from)) << k.rows << "/" << k.deleted << " row " << r;
    }
    // The freed last row is empty when it comes back.
    grid.setRowCount(k.rows);
    EXPECT_EQ(grid.cell(0, k.rows - 1), "");
  }
}

TEST(GridEdits, DeleteColumnMovesLaterColumnsLeftWithTheirWidths) {
  Grid grid = labelledGrid(4, 3);
  for (int c = 0; c < 4; ++c) grid.setColumnWidth(c, 10 + c);
  grid.deleteColumn(1);
  ASSERT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(grid.cell(0, 2), "c0r2");
  EXPECT_EQ(grid.cell(1, 2), "c2r2");
  EXPECT_EQ(grid.cell(2, 0), "c3r0");
  EXPECT_EQ(grid.columnWidth(1), 12);
  grid.deleteColumn(7);
  grid.deleteRow(-1);
  EXPECT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(grid.rowCount(), 3);
}

TEST(GridEdits, KeptRowsShowTheirOwnCellsAndEditsLandInThem) {
  Grid grid = labelledGrid(3, 9000);
  const std::vector<int> keep = {0, 1, 7, 4095, 4096, 8999, 8999, 3, 12000};  // out of order and past the end skipped
  grid.keepRows(keep);
  ASSERT_EQ(grid.rowCount(), 6);
  const int shown[] = {0, 1, 7, 4095, 4096, 8999};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(grid.cell(2, r), label(2, shown[r])) << r;
  grid.setCell(1, 3, "edited");
  EXPECT_EQ(grid.cell(1, 3), "edited");
  EXPECT_EQ(grid.cell(1, 4), "c1r4096");
  // A second filter narrows the first; deletions work on the rows shown.
  const std::vector<int> again = {0, 1, 3, 5};
  grid.keepRows(again);
  grid.deleteRow(2);
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(grid.cell(0, 2), "c0r8999");
  // Rows added afterwards are empty, also where stored rows were left behind.
  grid.setRowCount(5);
  EXPECT_EQ(grid.cell(0, 3), "");
  EXPECT_EQ(grid.cell(2, 4), "");
  // A copy keeps the rows as shown.
  const Grid copy = grid;
  EXPECT_EQ(copy.cell(2, 2), "c2r8999");
  // clrSG keeps row 0 as shown and empties the rest.
  grid.clrSG();
  EXPECT_EQ(grid.cell(0, 0), "c0r0");
  EXPECT_EQ(grid.cell(0, 2), "");
  EXPECT_EQ(grid.rowCount(), 5);
}

TEST(GridEdits, RepeatedDeletionsAndGrowthKeepEveryRowRight) {
  // Deleting and appending rows many times makes the grid reclaim the rows
  // left behind: the rows shown must not change when it does.
  Grid grid = labelledGrid(2, 100);
  std::vector<std::string> expected;
  for (int r = 0; r < 100; ++r) expected.push_back(label(1, r));
  for (int round = 0; round < 20000; ++round) {
    const int victim = (round * 37) % grid.rowCount();
    grid.deleteRow(victim);
    expected.erase(expected.begin() + victim);
    grid.setRowCount(grid.rowCount() + 1);
    const std::string text = "n" + std::to_string(round);
    grid.setCell(1, grid.rowCount() - 1, text);
    expected.push_back(text);
  }
  ASSERT_EQ(grid.rowCount(), 100);
  for (int r = 0; r < 100; ++r) EXPECT_EQ(grid.cell(1, r), expected[static_cast<std::size_t>(r)]) << r;
  EXPECT_LT(grid.memoryBytes(), std::size_t{1} << 22);
}

TEST(GridEdits, ClrSGKeepsRowZeroAndResetsWidths) {
  Grid grid = labelledGrid(3, 6);
  auto arena = std::make_shared<TextArena>();
  grid.setCellRef(2, 0, arena, arena->add("shared heading"));
  grid.setColumnWidth(1, 333);
  grid.clrSG();
  EXPECT_EQ(grid.rowCount(), 6);
  EXPECT_EQ(grid.cell(0, 0), "c0r0");
  EXPECT_EQ(grid.cell(2, 0), "shared heading");
  for (int r = 1; r < 6; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.cell(c, r), "");
  EXPECT_EQ(grid.columnWidth(1), 100);
  EXPECT_EQ(grid.defaultColumnWidth(), 100);
  EXPECT_EQ(grid.defaultRowHeight(), 24);
}

TEST(GridEdits, CopiesAreIndependent) {
  Grid grid = labelledGrid(2, 2);
  Grid copy = grid;
  copy.setCell(0, 0, "changed");
  EXPECT_EQ(grid.cell(0, 0), "c0r0");
  Grid moved = std::move(copy);
  EXPECT_EQ(moved.cell(0, 0), "changed");
  EXPECT_EQ(copy.rowCount(), 0);  // NOLINT: a moved-from grid is empty and usable
  copy.setColumnCount(1);
  EXPECT_EQ(copy.cell(0, 0), "");
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

// Cells of one arena are kept as 4-byte refs; writing another kind of text
// into such a band (an edit, a line of a log, a second arena) widens it, and
// every cell reads the same before and after, cell by cell and a column
// run at a time, also with rows deleted and copies made.
TEST(GridCells, NarrowBandsWidenWhenOtherTextsArrive) {
  auto arena = std::make_shared<TextArena>();
  auto other = std::make_shared<TextArena>();
  auto buffer = FileBytes::hold("a line of a log");
  Grid grid;
  grid.setColumnCount(3);
  grid.setRowCount(10000);
  std::vector<std::vector<std::string>> expected(3, std::vector<std::string>(10000));
  {
    Grid::RefWriter writer(grid, arena);
    ASSERT_TRUE(writer.direct());
    for (int r = 0; r < 10000; r += 3) {
      const std::string text = "v" + std::to_string(r % 101);
      writer.put(r % 3, r, arena->add(text));
      expected[static_cast<std::size_t>(r % 3)][static_cast<std::size_t>(r)] = text;
    }
    // Straight into a band, past its first row.
    std::uint32_t* band = writer.band(1, 4100);
    ASSERT_NE(band, nullptr);
    band[4100 % Grid::RefWriter::kBandRows] = arena->add("banded");
    expected[1][4100] = "banded";
  }
  const auto edit = [&](int c, int r, std::string_view text) {
    expected[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] = std::string(text);
  };
  grid.setCell(0, 5000, "edited");
  edit(0, 5000, "edited");
  grid.setCellInBuffer(1, 7, buffer, buffer->view().substr(2, 4));
  edit(1, 7, "line");
  grid.setCellRef(2, 8191, other, other->add("second arena"));
  edit(2, 8191, "second arena");
  grid.setCell(0, 9, "");
  edit(0, 9, "");
  const auto check = [&](const Grid& g, const std::vector<std::vector<std::string>>& want) {
    std::vector<std::string_view> run(static_cast<std::size_t>(g.rowCount()));
    for (int c = 0; c < g.columnCount(); ++c) {
      g.columnTexts(c, 0, run);
      for (int r = 0; r < g.rowCount(); ++r) {
        ASSERT_EQ(g.cell(c, r), want[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]) << c << "," << r;
        ASSERT_EQ(run[static_cast<std::size_t>(r)], g.cell(c, r)) << c << "," << r;
      }
    }
  };
  check(grid, expected);
  check(Grid(grid), expected);
  grid.deleteRow(3);
  for (auto& column : expected) column.erase(column.begin() + 3);
  check(grid, expected);
  // A run that reaches past the grid reads empty texts there.
  std::vector<std::string_view> past(5, "x");
  grid.columnTexts(0, grid.rowCount() - 2, past);
  EXPECT_EQ(past[4], "");
  EXPECT_GT(grid.memoryBytes(), 0u);
}

}  // namespace
}  // namespace tervolin

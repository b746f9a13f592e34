#pragma once
// The main grid: cells addressed by column and row, fixed heading rows,
// per-column widths, row and column counts that grow. Cells are compact:
// each names its text in a shared TextArena (the record list's values are
// placed without copying); texts written by edits go to the grid's own arena.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "common/text_arena.h"

namespace tervolin {

class Grid {
 public:
  static constexpr int kDefaultColumnWidth = 100;
  static constexpr int kDefaultRowHeight = 24;

  Grid();

  int rowCount() const { return rows_; }
  int columnCount() const { return columns_; }
  int fixedRows() const { return fixedRows_; }
  void setRowCount(int rows);
  void setColumnCount(int columns);
  void setFixedRows(int rows) { fixedRows_ = rows; }

  std::string_view cell(int column, int row) const;
  // Copies the text into the grid's own arena.
  void setCell(int column, int row, std::string_view text);
  // Names a text already held by `arena` (which the grid keeps alive).
  void setCellRef(int column, int row, const std::shared_ptr<TextArena>& arena, TextRef ref);

  int columnWidth(int column) const;
  void setColumnWidth(int column, int width);
  int defaultColumnWidth() const { return defaultColumnWidth_; }
  int defaultRowHeight() const { return defaultRowHeight_; }

  void deleteRow(int row);
  void deleteColumn(int column);

  // clrSG: empties every row from row 1 on, default width 100, height 24.
  void clrSG();
  // Removes everything (no rows, no columns).
  void reset();

  // Changes whenever the content changes (for views that cache).
  std::uint64_t revision() const { return revision_; }

 private:
  // Implementation detail: see grid.cpp.
  struct Impl;
  std::shared_ptr<Impl> impl_;
  int rows_ = 0;
  int columns_ = 0;
  int fixedRows_ = 0;
  int defaultColumnWidth_ = kDefaultColumnWidth;
  int defaultRowHeight_ = kDefaultRowHeight;
  std::uint64_t revision_ = 0;
};

}  // namespace tervolin

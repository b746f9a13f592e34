#pragma once
// The main grid: cells addressed by column and row, fixed heading rows,
// per-column widths, row and column counts that grow. Cells are compact:
// each names its text in a shared TextArena (the record list's values are
// placed without copying); texts written by edits go to the grid's own arena.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_bytes.h"
#include "common/text_arena.h"

namespace tervolin {

class Grid {
 public:
  static constexpr int kDefaultColumnWidth = 100;
  static constexpr int kDefaultRowHeight = 24;
  // Rows a grid can hold unless a lower limit is set.
  static constexpr int kMaxRows = 100'000'000;

  Grid();
  ~Grid();
  Grid(const Grid& other);
  Grid& operator=(const Grid& other);
  // A moved-from grid is left empty and usable.
  Grid(Grid&& other);
  Grid& operator=(Grid&& other);

  int rowCount() const { return rows_; }
  int columnCount() const { return columns_; }
  int fixedRows() const { return fixedRows_; }
  // Negative counts become 0; a row count above maxRows() is cut to it.
  // Cells of removed rows and columns are emptied.
  void setRowCount(int rows);
  void setColumnCount(int columns);
  int maxRows() const { return maxRows_; }
  // Lowers (or restores) the row limit; never above kMaxRows.
  void setMaxRows(int rows);
  void setFixedRows(int rows) { fixedRows_ = rows; }
  // Bytes the cells hold, and the budget that builds of many rows keep to
  // (gridMemoryBudget() unless set). The grid itself never refuses a cell.
  std::size_t cellBytes() const;
  std::size_t maxCellBytes() const { return maxCellBytes_; }
  void setMaxCellBytes(std::size_t bytes) { maxCellBytes_ = bytes; }
  // The bytes of a band of rows of one column holding texts of any kind.
  static constexpr std::size_t kWideBandBytes = 4096 * sizeof(std::uint64_t);

  std::string_view cell(int column, int row) const;
  // The texts of out.size() cells of `column` from `firstRow` down, as
  // cell() gives them: a walk over millions of cells reads them in the
  // order they are stored (read a band of rows column by column, then
  // use it row by row).
  void columnTexts(int column, int firstRow, std::span<std::string_view> out) const;
  // Copies the text into the grid's own arena.
  void setCell(int column, int row, std::string_view text);
  // Names a text already held by `arena` (which the grid keeps alive).
  void setCellRef(int column, int row, const std::shared_ptr<TextArena>& arena, TextRef ref);
  // Names `text`, which must lie inside `*buffer` (which the grid keeps
  // alive): one shared buffer can hold the texts of millions of cells.
  void setCellInBuffer(int column, int row, const std::shared_ptr<const FileBytes>& buffer, std::string_view text);
  // Writes outside the grid are ignored; reads outside it give "".

  // Writes many cells naming texts of one arena, for builds that fill
  // millions of them: the arena is taken once, and a cell costs a store.
  // Several threads may write through one writer at once when each writes
  // columns of its own and nothing else changes the grid meanwhile.
  class RefWriter {
   public:
    RefWriter(Grid& grid, const std::shared_ptr<TextArena>& arena);
    // As setCellRef.
    void put(int column, int row, TextRef ref);
    // The refs of the band of kBandRows rows that holds `row` (the cell of
    // row r is at r % kBandRows), for storing refs straight into them; null
    // when the band holds other texts too (then put() each cell). Rows
    // must exist; stored refs must be refs of the writer's arena.
    static constexpr int kBandRows = 4096;
    std::uint32_t* band(int column, int row);
    // Makes room in every column for the bands of `rows` rows (allocating
    // no cells), so that threads writing different bands never move a
    // column's list of bands.
    void reserveRows(int rows);
    // Readies the band holding `row` for writers on several threads at
    // once: afterwards band() hands out its refs, or put() only stores.
    void shareBand(int column, int row);
    // False when the arena could not be given a slot: every cell then
    // copies its text into the grid (one thread only).
    bool direct() const { return slot_ != 0; }

   private:
    Grid& grid_;
    std::shared_ptr<TextArena> arena_;
    int slot_ = 0;
  };

  int columnWidth(int column) const;
  void setColumnWidth(int column, int width);
  int defaultColumnWidth() const { return defaultColumnWidth_; }
  int defaultRowHeight() const { return defaultRowHeight_; }

  // Deleting rows and columns copies no cell: a row deletion moves the row
  // numbers after it (4 bytes each), a column deletion the columns' block
  // lists.
  void deleteRow(int row);
  void deleteColumn(int column);
  // Keeps only the rows named (current row indices, in increasing order;
  // others are skipped), in that order, as a filter does; the cells stay
  // where they are stored.
  void keepRows(std::span<const int> rows);

  // clrSG: empties every row from row 1 on, default width 100, height 24.
  void clrSG();
  // Removes everything (no rows, no columns).
  void reset();

  // Bytes held by the cell blocks and the grid's own arena (for figures).
  std::size_t memoryBytes() const;

 private:
  // Implementation detail: see grid.cpp.
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int maxRows_ = kMaxRows;
  std::size_t maxCellBytes_;
  int rows_ = 0;
  int columns_ = 0;
  int fixedRows_ = 0;
  int defaultColumnWidth_ = kDefaultColumnWidth;
  int defaultRowHeight_ = kDefaultRowHeight;
};

}  // namespace tervolin

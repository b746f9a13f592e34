#pragma once
// The spreadsheet export: any rows × columns of Windows-1251 texts written
// as sheet 1 of a new .xlsx workbook. The main grid is one source of cells
// (GridSheet); other tables hand theirs over through CellSource.

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "common/text.h"
#include "table/export_file.h"
#include "table/grid.h"

namespace tervolin {

// A table of texts: rows and columns from 0, every cell Windows-1251.
class CellSource {
 public:
  virtual ~CellSource() = default;
  virtual std::size_t rowCount() const = 0;
  virtual std::size_t columnCount() const = 0;
  virtual std::string_view cell(std::size_t row, std::size_t column) const = 0;
};

// The main grid as the spreadsheet receives it: grid rows 1 to last (the
// headings, then the data), every column; grid row 0 is left out.
class GridSheet final : public CellSource {
 public:
  explicit GridSheet(const Grid& grid) : grid_(grid) {}
  std::size_t rowCount() const override;
  std::size_t columnCount() const override;
  std::string_view cell(std::size_t row, std::size_t column) const override;

 private:
  const Grid& grid_;
};

// Rows and columns one sheet holds.
inline constexpr std::size_t kSheetRows = 1'048'576;
inline constexpr std::size_t kSheetColumns = 16'384;
// Characters one cell holds.
inline constexpr std::size_t kCellCharacters = 32'767;

// How a text goes into a cell: its first ',' becomes '.'; when it is then a
// number in point notation it is written as that number, otherwise as the
// text. Empty texts leave the cell empty.
struct SheetCell {
  enum Kind { Empty, Number, Text } kind = Empty;
  double number = 0;
  std::string text;  // Windows-1251, for Text
};
SheetCell sheetCell(std::string_view text);

// Told, followed by the path, when no program on the desktop opens a
// written workbook.
inline constexpr std::string_view kNoWorkbookViewer = "Нет программы для открытия книги Excel. Книга записана в файл "_w;

// Writes source row r into sheet row r + 1 and column c into column c + 1 of
// the first sheet ("Лист1") of a workbook at `target`, in constant memory.
// The file appears whole or not at all: a cancelled or failed export leaves
// no file (and an existing target untouched). Rows or columns beyond what a
// sheet holds are left out and named in the result's message; texts longer
// than a cell holds are cut. Progress counts rows; a cancel throws Cancelled.
ExportResult writeXlsx(const CellSource& cells, const std::filesystem::path& target,
                       Progress& progress = noProgress());

}  // namespace tervolin

#pragma once
// The matrix grid of tab "Матрица": nY + 2 rows and nX + 2 columns of 50
// pixels; row 0 holds the X bin centres from column 1 on, column 0 the Y bin
// centres from row 1 on (fixed, 2 decimals); cell (xb + 1, yb + 1) the value
// of the aggregation mode for the samples in X bin xb and Y bin yb, empty
// when the cell has no samples (or fewer than the minimum hits).

#include <cstdint>
#include <string>

#include "charts/matrix_bins.h"
#include "charts/matrix_cells.h"
#include "table/grid.h"
#include "table/xlsx_export.h"

namespace tervolin {

inline constexpr int kMatrixColumnWidth = 50;

// The empty grid with its headers, as the build lays it out.
void layOutMatrixGrid(const MatrixAxes& axes, char decimalMark, Grid& grid);

// Writes the cells of `mode` into a grid laid out for `axes`.
void fillMatrixGrid(const MatrixCells& cells, int mode, std::uint32_t minHits, char decimalMark, Grid& grid);

// The whole grid as tab-separated text, rows ended by CR LF: what a
// spreadsheet takes from the clipboard. Windows-1251, as the grid holds it.
std::string matrixClipboardText(const Grid& grid);

// The whole matrix grid, headers included, as the cells of the spreadsheet
// export ("Экспорт в Excel"): grid row r is sheet row r + 1.
class MatrixSheet final : public CellSource {
 public:
  explicit MatrixSheet(const Grid& grid) : grid_(grid) {}
  std::size_t rowCount() const override { return static_cast<std::size_t>(grid_.rowCount()); }
  std::size_t columnCount() const override { return static_cast<std::size_t>(grid_.columnCount()); }
  std::string_view cell(std::size_t row, std::size_t column) const override {
    return grid_.cell(static_cast<int>(column), static_cast<int>(row));
  }

 private:
  const Grid& grid_;
};

}  // namespace tervolin

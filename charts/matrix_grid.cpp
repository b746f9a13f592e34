#include "charts/matrix_grid.h"

namespace tervolin {

void layOutMatrixGrid(const MatrixAxes& axes, char decimalMark, Grid& grid) {
  grid.reset();
  grid.setColumnCount(axes.x.count() + 1);
  grid.setRowCount(axes.y.count() + 1);
  grid.setFixedRows(1);
  for (int c = 0; c < grid.columnCount(); ++c) grid.setColumnWidth(c, kMatrixColumnWidth);
  for (int k = 0; k < axes.y.count(); ++k) grid.setCell(0, k + 1, fixed2(axes.y.centre(k), decimalMark));
  for (int k = 0; k < axes.x.count(); ++k) grid.setCell(k + 1, 0, fixed2(axes.x.centre(k), decimalMark));
}

void fillMatrixGrid(const MatrixCells& cells, int mode, std::uint32_t minHits, char decimalMark, Grid& grid) {
  for (int yb = 0; yb < cells.rows(); ++yb)
    for (int xb = 0; xb < cells.columns(); ++xb)
      grid.setCell(xb + 1, yb + 1, cellText(cells.at(xb, yb), mode, decimalMark, minHits));
}

std::string matrixClipboardText(const Grid& grid) {
  std::string out;
  for (int r = 0; r < grid.rowCount(); ++r) {
    for (int c = 0; c < grid.columnCount(); ++c) {
      if (c > 0) out += '\t';
      out += grid.cell(c, r);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace tervolin

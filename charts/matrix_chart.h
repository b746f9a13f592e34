#pragma once
// The points of tab "График": in 3D one series per Y row, titled by its Y
// value, with a point (X bin centre, value of the mode) for every cell with
// samples; in 2D the same points of the one row the track bar chooses.

#include <string>
#include <vector>

#include "charts/matrix_bins.h"
#include "charts/matrix_cells.h"

namespace tervolin {

struct ChartPoint {
  double x, y;
  bool operator==(const ChartPoint&) const = default;
};

struct ChartSeries {
  std::string title;  // the row's Y value, fixed with 2 decimals
  std::vector<ChartPoint> points;
};

// The points of Y row `yBin` (none for a row outside the matrix).
std::vector<ChartPoint> rowPoints(const MatrixAxes& axes, const MatrixCells& cells, int yBin, int mode);

// One series per Y row, in row order.
std::vector<ChartSeries> chartSeries(const MatrixAxes& axes, const MatrixCells& cells, int mode, char decimalMark);

}  // namespace tervolin

#include "charts/matrix_chart.h"

namespace tervolin {

std::vector<ChartPoint> rowPoints(const MatrixAxes& axes, const MatrixCells& cells, int yBin, int mode) {
  std::vector<ChartPoint> points;
  if (yBin < 0 || yBin >= cells.rows()) return points;
  for (int xb = 0; xb < cells.columns(); ++xb)
    if (const auto v = cellValue(cells.at(xb, yBin), mode)) points.push_back({axes.x.centre(xb), *v});
  return points;
}

std::vector<ChartSeries> chartSeries(const MatrixAxes& axes, const MatrixCells& cells, int mode, char decimalMark) {
  std::vector<ChartSeries> series;
  series.reserve(static_cast<std::size_t>(cells.rows()));
  for (int yb = 0; yb < cells.rows(); ++yb)
    series.push_back({fixed2(axes.y.centre(yb), decimalMark), rowPoints(axes, cells, yb, mode)});
  return series;
}

}  // namespace tervolin

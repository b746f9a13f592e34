#include "charts/matrix_heat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tervolin {

std::optional<HeatScale> heatScale(const MatrixCells& cells, int mode, std::uint32_t minHits) {
  std::optional<HeatScale> scale;
  for (int yb = 0; yb < cells.rows(); ++yb) {
    for (int xb = 0; xb < cells.columns(); ++xb) {
      const auto v = cellValue(cells.at(xb, yb), mode, minHits);
      if (!v) continue;
      if (!scale) scale = HeatScale{*v, *v};
      scale->low = std::min(scale->low, *v);
      scale->high = std::max(scale->high, *v);
    }
  }
  return scale;
}

namespace {
// Stops of the ramp at fractions 0, 1/4, 1/2, 3/4, 1: blue, cyan, green,
// yellow, red, mixed with white so that black text reads on every one.
constexpr std::array<Rgb, 5> kStops = {{
    {110, 150, 255},
    {120, 230, 245},
    {140, 235, 140},
    {250, 240, 110},
    {255, 120, 110},
}};
}  // namespace

Rgb heatColour(double value, const HeatScale& scale) {
  const double span = scale.high - scale.low;
  double t = span > 0 ? (value - scale.low) / span : 0.5;
  if (!(t >= 0)) t = 0;  // also NaN
  if (t > 1) t = 1;
  const double at = t * (kStops.size() - 1);
  const auto k = std::min(static_cast<std::size_t>(at), kStops.size() - 2);
  const double f = at - static_cast<double>(k);
  auto mix = [f](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
  };
  return {mix(kStops[k].r, kStops[k + 1].r), mix(kStops[k].g, kStops[k + 1].g), mix(kStops[k].b, kStops[k + 1].b)};
}

}  // namespace tervolin

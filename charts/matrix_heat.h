#pragma once
// The heat map of the matrix tab: every shown cell coloured by its value on
// a scale from the smallest shown value (blue) through green and yellow to
// the largest (red). Colours are light, so the cell texts stay readable.

#include <cstdint>
#include <optional>

#include "charts/matrix_cells.h"

namespace tervolin {

struct HeatScale {
  double low = 0, high = 0;
};

// The smallest and largest value of `mode` over the cells shown (those with
// at least `minHits` samples); nothing when no cell is shown.
std::optional<HeatScale> heatScale(const MatrixCells& cells, int mode, std::uint32_t minHits);

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// The colour of `value` on the scale; a scale of one value gives the middle
// colour.
Rgb heatColour(double value, const HeatScale& scale);

}  // namespace tervolin

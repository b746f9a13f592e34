#pragma once
// A lighter copy of a long series for drawing it whole: of every run of
// `chunk` points only the first, the lowest, the highest and the last are
// kept, in their order. Drawn over a few thousand pixel columns, each column
// then shows the same extremes as with every point, at a fraction of the
// work; a zoomed-in view draws the full series.

#include <cstddef>
#include <vector>

#include "charts/series_build.h"

namespace tervolin {

// Indexes into the point list of the points kept, ascending; every index
// when the series has no more than `chunk` points per chunk to spare.
std::vector<std::size_t> envelopeIndexes(const SeriesData& series, std::size_t chunk);

// How many points of the series lie in [xLo, xHi] (binary search).
std::size_t pointsBetween(const SeriesData& series, double xLo, double xHi);

}  // namespace tervolin

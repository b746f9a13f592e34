#include "charts/series_detail.h"

#include <algorithm>

namespace tervolin {

std::vector<std::size_t> envelopeIndexes(const SeriesData& series, std::size_t chunk) {
  const std::size_t n = series.count();
  std::vector<std::size_t> kept;
  if (chunk <= 4) {
    kept.resize(n);
    for (std::size_t i = 0; i < n; ++i) kept[i] = i;
    return kept;
  }
  kept.reserve(n / chunk * 4 + 4);
  for (std::size_t begin = 0; begin < n; begin += chunk) {
    const std::size_t end = std::min(n, begin + chunk);
    std::size_t low = begin, high = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
      if (series.raw[i] < series.raw[low]) low = i;
      if (series.raw[i] > series.raw[high]) high = i;
    }
    std::size_t four[] = {begin, low, high, end - 1};
    std::sort(std::begin(four), std::end(four));
    for (const std::size_t i : four)
      if (kept.empty() || kept.back() != i) kept.push_back(i);
  }
  return kept;
}

std::size_t pointsBetween(const SeriesData& series, double xLo, double xHi) {
  const auto first = std::lower_bound(series.x.begin(), series.x.end(), xLo);
  const auto last = std::upper_bound(first, series.x.end(), xHi);
  return static_cast<std::size_t>(last - first);
}

}  // namespace tervolin

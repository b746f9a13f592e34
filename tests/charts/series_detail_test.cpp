#include "charts/series_detail.h"

#include <gtest/gtest.h>

#include <random>

namespace tervolin {
namespace {

TEST(EnvelopeIndexes, FirstLowestHighestLastOfEveryChunkInOrder) {
  SeriesData s;
  s.x = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  s.raw = {5, 9, 1, 5, 5, 5, 7, 7, 0, 7, 3};
  EXPECT_EQ(envelopeIndexes(s, 5), (std::vector<std::size_t>{0, 1, 2, 4, 5, 6, 8, 9, 10}));
  EXPECT_EQ(envelopeIndexes(s, 4).size(), s.count());  // short chunks keep every point
  EXPECT_TRUE(envelopeIndexes(SeriesData{}, 64).empty());
}

TEST(EnvelopeIndexes, KeepTheExtremesOfAnyRangeOfWholeChunks) {
  std::mt19937 rng(7);
  SeriesData s;
  for (int i = 0; i < 10000; ++i) {
    s.x.push_back(i);
    s.raw.push_back(static_cast<double>(rng() % 1000));
  }
  const std::vector<std::size_t> kept = envelopeIndexes(s, 64);
  EXPECT_LT(kept.size(), s.count() / 10);
  for (std::size_t from = 0; from + 64 * 5 <= s.count(); from += 64 * 7) {
    const std::size_t to = from + 64 * 5;
    double lo = 1e9, hi = -1e9, keptLo = 1e9, keptHi = -1e9;
    for (std::size_t i = from; i < to; ++i) lo = std::min(lo, s.raw[i]), hi = std::max(hi, s.raw[i]);
    for (const std::size_t i : kept)
      if (i >= from && i < to) keptLo = std::min(keptLo, s.raw[i]), keptHi = std::max(keptHi, s.raw[i]);
    EXPECT_EQ(lo, keptLo);
    EXPECT_EQ(hi, keptHi);
  }
}

TEST(PointsBetween, CountsByBinarySearch) {
  SeriesData s;
  s.x = {1, 2, 2, 3, 5};
  s.raw.assign(5, 0);
  EXPECT_EQ(pointsBetween(s, 2, 3), 3u);
  EXPECT_EQ(pointsBetween(s, 0, 10), 5u);
  EXPECT_EQ(pointsBetween(s, 3.5, 4.5), 0u);
}

}  // namespace
}  // namespace tervolin

#include "charts/series_readout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/text.h"

namespace tervolin {
namespace {

SeriesData series(std::vector<double> x, std::vector<double> raw, std::string unit = "C") {
  SeriesData s;
  s.x = std::move(x);
  s.raw = std::move(raw);
  s.unit = std::move(unit);
  s.multiplier = 1;
  s.plotted = true;
  return s;
}

// The label walk as first described: the first point right of xv gives the
// mean with the point before, a point at xv gives its own value.
double walkedLabel(const SeriesData& s, double xv) {
  for (std::size_t i = 0; i < s.count(); ++i) {
    if (s.x[i] > xv) return i == 0 ? s.raw[0] : (s.raw[i] + s.raw[i - 1]) / 2;
    if (s.x[i] == xv) return s.raw[i];
  }
  return 0;
}

TEST(LabelValue, ExactPointMeanBetweenAndTheEnds) {
  const SeriesData s = series({1, 2, 2, 4}, {10, 20, 30, 40});
  struct Case {
    double xv, value;
  } cases[] = {
      {1, 10}, {2, 20},   // a duplicated x: the first of them
      {3, 35},            // between 2 (30) and 4 (40)
      {1.5, 15}, {4, 40},
      {0, 10},            // left of the first point: its own value
      {4.5, 0},           // right of the last point
      {NAN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(labelValue(s, c.xv), c.value) << c.xv;
    EXPECT_EQ(walkedLabel(s, c.xv), c.value) << c.xv;
  }
  EXPECT_EQ(labelValue(SeriesData{}, 1), 0);
}

TEST(LabelValue, BinarySearchEqualsTheWalk) {
  SeriesData s;
  for (int i = 0; i < 500; ++i) {
    s.x.push_back((i / 3) * 0.05);
    s.raw.push_back(i * 1.5 - 100);
  }
  for (double xv = -1; xv < 10; xv += 0.0173) EXPECT_EQ(labelValue(s, xv), walkedLabel(s, xv)) << xv;
  for (double xv : s.x) EXPECT_EQ(labelValue(s, xv), walkedLabel(s, xv)) << xv;
}

TEST(Readouts, TextsAsFormatted) {
  const SeriesData s = series({1, 2}, {1.5, 2.25}, std::string("об/мин"_w));
  EXPECT_EQ(labelText(s, 1.5, ','), "1,875 об/мин"_w);
  EXPECT_EQ(labelText(SeriesData{}, 1.5, '.'), "0.000 ");
  SeriesData fit = s;
  fit.multiplier = 4;
  fit.offset = 10;
  EXPECT_EQ(fitReadoutText(fit, 2, '.'), "10.500 об/мин"_w);
  fit.multiplier = 0;
  EXPECT_EQ(fitReadoutText(fit, 2, '.'), "10.000 об/мин"_w);
  EXPECT_EQ(timeReadoutText(12.345, 1, ','), "12,3 с"_w);
  EXPECT_EQ(timeReadoutText(12.345, -1, '.'), "12.3 ");
  EXPECT_EQ(axisReadoutText("x", -0.0004, '.'), "x:=0.000");
  EXPECT_EQ(axisReadoutText("y", 1234.5678, ','), "y:=1234,568");
}

TEST(Readouts, MarkerTexts) {
  const std::array<std::string, kSeriesCount> labels = {"1.000 C", "2.000 %", "0.000 ", "0.000 ", "0.000 ", "0.000 "};
  EXPECT_EQ(firstMarkerText(labels, 1.005, 1, '.'),
            "Параметры под маркером 1:1.000 C;2.000 %;0.000 ;0.000 ;0.000 ;0.000 ;x1=1.00с"_w);
  EXPECT_EQ(secondMarkerText(labels, 1.25, 3.5, 2, ','),
            "Параметры под маркером 2:1.000 C;2.000 %;0.000 ;0.000 ;0.000 ;0.000 ;x2=3,50мин x2-x1=2,25мин"_w);
}

TEST(SeriesUnder, LineThroughTheBox) {
  SeriesData s = series({0, 10, 20}, {0, 100, 0});
  struct Case {
    double xLo, xHi, yLo, yHi;
    bool under;
  } cases[] = {
      {9, 11, 95, 105, true},     // the peak point
      {4, 6, 45, 55, true},       // between points: on the line
      {4, 6, 80, 90, false},      // above the line there
      {-5, -1, -10, 10, false},   // left of every point
      {21, 25, 0, 1, false},      // right of every point
      {19, 21, 0, 3, true},
      {4.9, 5.1, 49, 51, true},   // no point inside: the segment alone
  };
  for (const Case& c : cases) EXPECT_EQ(seriesUnder(s, c.xLo, c.xHi, c.yLo, c.yHi), c.under) << c.xLo;
  s.multiplier = 2;  // plotted y is what counts
  EXPECT_TRUE(seriesUnder(s, 9, 11, 195, 205));
  EXPECT_FALSE(seriesUnder(SeriesData{}, 0, 1, 0, 1));
}

}  // namespace
}  // namespace tervolin

#include "charts/matrix_bins.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "common/text.h"

namespace tervolin {
namespace {

MatrixAxes axesOf(const QuantTexts& t, char mark = '.') {
  auto read = readAxes(t, mark);
  EXPECT_TRUE(std::holds_alternative<MatrixAxes>(read)) << cp1251ToUtf8(std::get<std::string>(read));
  return std::get<MatrixAxes>(read);
}

TEST(MatrixBins, BinCountRoundsHalvesToTheEvenNeighbour) {
  struct Case {
    const char *min, *step, *max;
    int last;
  };
  const Case cases[] = {
      {"500", "500", "6500", 12},  // 13 columns centred on 500 … 6500
      {"0", "1", "2.5", 2},        // a half goes to the even neighbour
      {"0", "1", "3.5", 4},
      {"0", "1", "2.4999", 2},
      {"0", "1", "2.5001", 3},
      {"0", "375", "6000", 16},
      {"7", "3", "7", 0},          // one bin
      {"10", "-2", "0", 5},        // a negative step over a falling range
      {"-5", "0.5", "-4", 2},
  };
  for (const Case& c : cases) {
    const MatrixAxes a = axesOf({c.min, c.step, c.max, "0", "1", "1"});
    EXPECT_EQ(a.x.last(), c.last) << c.min << " " << c.step << " " << c.max;
    EXPECT_EQ(a.y.last(), 1);
  }
}

TEST(MatrixBins, LowerBoundIncludedUpperExcludedOutsideNone) {
  const AxisBins bins = axesOf({"500", "500", "6500", "0", "1", "0"}).x;
  struct Case {
    double v;
    int bin;
  };
  const Case cases[] = {
      {749.99, 0}, {750, 1},  {500, 0},     {250, 0},  {249.999, -1}, {6749.99, 12},
      {6750, -1},  {6500, 12}, {1249.999, 1}, {1250, 2}, {-1e300, -1},  {1e300, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(bins.binOf(c.v), c.bin) << c.v;
  EXPECT_DOUBLE_EQ(bins.centre(12), 6500);
}

TEST(MatrixBins, ANegativeStepHoldsNothing) {
  const AxisBins bins = axesOf({"10", "-2", "0", "0", "1", "0"}).x;
  for (const double v : {10.0, 9.0, 8.0, 0.0, 11.0, -1.0}) EXPECT_EQ(bins.binOf(v), -1) << v;
}

TEST(MatrixBins, BoundsAreComputedPerBinAsWritten) {
  // 0.1 steps do not add up exactly: the bounds are Min + b·Step ± Step/2
  // computed for each bin, not running sums.
  const AxisBins bins = axesOf({"0", "0.1", "1", "0", "1", "0"}).x;
  for (int b = 0; b <= 10; ++b) {
    const double lower = 0 + b * 0.1 - 0.1 / 2;
    EXPECT_EQ(bins.binOf(lower), b) << b;
  }
}

TEST(MatrixBins, TextsThatEndTheBuild) {
  struct Case {
    QuantTexts texts;
    const char* says;  // part of the message, UTF-8
  };
  const Case cases[] = {
      {{"0", "1", "abc", "0", "1", "1"}, "оси X: \"abc\" - не число"},
      {{"0", "1", "10", "", "1", "1"}, "оси Y: \"\" - не число"},
      {{"0", "1", "1,5", "0", "1", "1"}, "\"1,5\" - не число"},  // the mark is '.'
      {{"0", "0", "10", "0", "1", "1"}, "оси X: шаг равен 0"},
      {{"0", "1", "1", "0", "-0", "1"}, "оси Y: шаг равен 0"},
      {{"10", "1", "0", "0", "1", "1"}, "меньше 0"},
      {{"0", "0.0001", "10", "0", "1", "1"}, "больше 10000 ячеек"},
      {{"0", "1e-300", "1e300", "0", "1", "1"}, "больше 10000 ячеек"},
      {{"0", "1", "1999", "0", "1", "999"}, "Слишком много ячеек матрицы: 2000000"},
  };
  for (const Case& c : cases) {
    const auto read = readAxes(c.texts, '.');
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.says;
    EXPECT_NE(cp1251ToUtf8(std::get<std::string>(read)).find(c.says), std::string::npos)
        << cp1251ToUtf8(std::get<std::string>(read));
  }
  // The largest matrices accepted.
  EXPECT_EQ(axesOf({"0", "1", "9999", "0", "1", "99"}).cellCount(), 1'000'000u);
  EXPECT_EQ(axesOf({"0,5", "0,25", "1,5", "0", "1", "1"}, ',').x.last(), 4);
}

}  // namespace
}  // namespace tervolin

#include "charts/series_readout.h"

#include <algorithm>

#include "common/number_format.h"

namespace tervolin {
namespace {

constexpr int kPrecision = 8;
constexpr std::string_view kMarker1 = "Параметры под маркером 1:"_w;
constexpr std::string_view kMarker2 = "Параметры под маркером 2:"_w;

std::string joinedLabels(std::string_view heading, const std::array<std::string, kSeriesCount>& labels) {
  std::string text(heading);
  for (const std::string& label : labels) text.append(label).append(";");
  return text;
}

}  // namespace

double labelValue(const SeriesData& series, double xv) {
  const auto at = std::lower_bound(series.x.begin(), series.x.end(), xv);
  if (at == series.x.end()) return 0;
  const auto i = static_cast<std::size_t>(at - series.x.begin());
  if (*at == xv) return series.raw[i];
  if (!(*at > xv)) return 0;  // xv is not a number: no point compares
  if (i == 0) return series.raw[0];
  return (series.raw[i] + series.raw[i - 1]) / 2;
}

std::string labelText(const SeriesData& series, double xv, char decimalMark) {
  return fixedText(labelValue(series, xv), kPrecision, 3, decimalMark) + " " + series.unit;
}

std::string fitReadoutText(const SeriesData& series, double pointerY, char decimalMark) {
  const double value =
      series.multiplier == 0 ? series.offset : pointerY / static_cast<double>(series.multiplier) + series.offset;
  return fixedText(value, kPrecision, 3, decimalMark) + " " + series.unit;
}

std::string timeReadoutText(double x, int unit, char decimalMark) {
  return fixedText(x, kPrecision, 1, decimalMark) + " " + std::string(timeUnitText(unit));
}

std::string axisReadoutText(std::string_view name, double value, char decimalMark) {
  return std::string(name) + ":=" + fixedText(value, kPrecision, 3, decimalMark);
}

std::string firstMarkerText(const std::array<std::string, kSeriesCount>& labels, double x1, int unit,
                            char decimalMark) {
  return joinedLabels(kMarker1, labels) + "x1=" + fixedText(x1, kPrecision, 2, decimalMark) +
         std::string(timeUnitText(unit));
}

std::string secondMarkerText(const std::array<std::string, kSeriesCount>& labels, double x1, double x2,
                             int unit, char decimalMark) {
  const std::string unitText(timeUnitText(unit));
  return joinedLabels(kMarker2, labels) + "x2=" + fixedText(x2, kPrecision, 2, decimalMark) + unitText +
         " x2-x1=" + fixedText(x2 - x1, kPrecision, 2, decimalMark) + unitText;
}

bool seriesUnder(const SeriesData& series, double xLo, double xHi, double yLo, double yHi) {
  const std::size_t n = series.count();
  if (n == 0) return false;
  const auto begin = series.x.begin();
  const auto first = static_cast<std::size_t>(std::lower_bound(begin, series.x.end(), xLo) - begin);
  const auto last = static_cast<std::size_t>(std::upper_bound(begin, series.x.end(), xHi) - begin);
  double lo = 0, hi = 0;
  bool any = false;
  auto take = [&](double y) {
    if (!any || y < lo) lo = y;
    if (!any || y > hi) hi = y;
    any = true;
  };
  // The line between a point outside and the first (last) one inside, cut
  // at the edge of the box.
  auto edge = [&](std::size_t a, std::size_t b, double at) {
    const double xa = series.x[a], xb = series.x[b];
    if (xb == xa) return take(series.y(b));
    take(series.y(a) + (series.y(b) - series.y(a)) * (at - xa) / (xb - xa));
  };
  for (std::size_t i = first; i < last; ++i) take(series.y(i));
  if (first > 0 && first < n) edge(first - 1, first, xLo);
  if (last > 0 && last < n) edge(last - 1, last, xHi);
  return any && hi >= yLo && lo <= yHi;
}

}  // namespace tervolin

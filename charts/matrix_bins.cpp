#include "charts/matrix_bins.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {

AxisBins::AxisBins(double min, double step, int last) : min_(min), step_(step), last_(last) {
  lower_.reserve(static_cast<std::size_t>(last) + 1);
  upper_.reserve(static_cast<std::size_t>(last) + 1);
  for (int b = 0; b <= last; ++b) {
    lower_.push_back(min + b * step - step / 2);
    upper_.push_back(min + b * step + step / 2);
  }
}

namespace {

// Joins message pieces (Windows-1251 texts).
std::string join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (const std::string_view p : parts) out += p;
  return out;
}

struct AxisRead {
  std::optional<AxisBins> bins;
  std::string error;
};

AxisRead readAxis(std::string_view axis, std::string_view minText, std::string_view stepText,
                  std::string_view maxText, char mark) {
  const std::string prefix = join({"Параметры квантования оси "_w, axis, ": "});
  const std::string_view texts[] = {minText, stepText, maxText};
  double values[3];
  for (int k = 0; k < 3; ++k) {
    const auto v = parseNumber(texts[k], mark);
    if (!v) return {std::nullopt, join({prefix, "\"", texts[k], "\" - не число"_w})};
    values[k] = *v;
  }
  const double min = values[0], step = values[1], max = values[2];
  if (step == 0) return {std::nullopt, join({prefix, "шаг равен 0"_w})};
  const double n = std::nearbyint((max - min) / step);
  if (!std::isfinite(n) || n > kMaxAxisBins - 1)
    return {std::nullopt, join({prefix, "больше "_w, intText(kMaxAxisBins), " ячеек"_w})};
  if (n < 0) return {std::nullopt, join({prefix, "(Max - Min) / Шаг меньше 0"_w})};
  return {AxisBins(min, step, static_cast<int>(n)), {}};
}

}  // namespace

std::variant<MatrixAxes, std::string> readAxes(const QuantTexts& t, char decimalMark) {
  AxisRead x = readAxis("X", t.minX, t.stepX, t.maxX, decimalMark);
  if (!x.bins) return x.error;
  AxisRead y = readAxis("Y", t.minY, t.stepY, t.maxY, decimalMark);
  if (!y.bins) return y.error;
  MatrixAxes axes{std::move(*x.bins), std::move(*y.bins)};
  if (axes.cellCount() > kMaxMatrixCells)
    return join({"Слишком много ячеек матрицы: "_w, intText(static_cast<std::int64_t>(axes.cellCount())),
                 " (не больше "_w, intText(static_cast<std::int64_t>(kMaxMatrixCells)), ")"});
  return axes;
}

}  // namespace tervolin

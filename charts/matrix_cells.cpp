#include "charts/matrix_cells.h"

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {

MatrixCells::MatrixCells(std::span<const Sample> samples, int columns, int rows)
    : columns_(columns), rows_(rows), cells_(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows)) {
  const auto cols = static_cast<std::uint32_t>(columns);
  const auto rws = static_cast<std::uint32_t>(rows);
  for (const Sample& s : samples) {
    // Negative bins turn into large unsigned ones and fall outside as well.
    const auto xb = static_cast<std::uint32_t>(s.xBin), yb = static_cast<std::uint32_t>(s.yBin);
    if (xb >= cols || yb >= rws) continue;
    CellStats& c = cells_[static_cast<std::size_t>(yb) * cols + xb];
    const double z = s.z;
    if (c.count == 0) c.first = z;
    ++c.count;
    if (z != 0) ++c.nonZero;
    c.sum += z;
    if (z > c.largest) c.largest = z;
    if (z < c.smallest) c.smallest = z;
  }
}

namespace {
double firstValue(const CellStats& c) { return c.first; }
double largestValue(const CellStats& c) { return c.largest; }
double smallestValue(const CellStats& c) { return c.smallest; }
double meanValue(const CellStats& c) { return c.sum / c.count; }
double countValue(const CellStats& c) { return c.count; }
double nonZeroValue(const CellStats& c) { return c.nonZero; }
double sumValue(const CellStats& c) { return c.sum; }
}  // namespace

const std::array<AggregationMode, 7> kAggregationModes = {{
    {"Первое значение"_w, &firstValue, false},
    {"Максимальные значения"_w, &largestValue, false},
    {"Минимальные значения"_w, &smallestValue, false},
    {"Среднее значение"_w, &meanValue, false},
    {"Кол-во значений"_w, &countValue, true},
    {"Кол-во ненулевых значений"_w, &nonZeroValue, true},
    {"Сумма значений"_w, &sumValue, false},
}};

std::optional<double> cellValue(const CellStats& cell, int mode, std::uint32_t minHits) {
  if (mode < 0 || mode >= static_cast<int>(kAggregationModes.size())) return std::nullopt;
  if (cell.count == 0 || cell.count < minHits) return std::nullopt;
  return kAggregationModes[static_cast<std::size_t>(mode)].value(cell);
}

std::string cellText(const CellStats& cell, int mode, char decimalMark, std::uint32_t minHits) {
  const auto v = cellValue(cell, mode, minHits);
  if (!v) return {};
  if (kAggregationModes[static_cast<std::size_t>(mode)].wholeNumber) return intText(static_cast<std::int64_t>(*v));
  return fixed2(*v, decimalMark);
}

std::string fixed2(double value, char decimalMark) { return fixedText(value, kMatrixPrecision, 2, decimalMark); }

}  // namespace tervolin

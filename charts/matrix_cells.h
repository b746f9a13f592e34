#pragma once
// The aggregates of every matrix cell, gathered in one pass over the samples
// in sample order: each cell keeps exactly what a walk of the whole sample
// list for that cell alone would find (the first value, the count, the
// non-zero count, the sum and the extremes from their start values), so
// every aggregation mode reads its value from the cell without another walk.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "charts/matrix_samples.h"

namespace tervolin {

struct CellStats {
  std::uint32_t count = 0;
  std::uint32_t nonZero = 0;  // samples whose data value is not 0
  double sum = 0;
  double largest = -65535;
  double smallest = 65535;
  double first = 0;  // data value of the earliest sample (when count > 0)
};

class MatrixCells {
 public:
  MatrixCells() = default;
  // Gathers `samples` into (columns × rows) cells; a sample whose bins lie
  // outside them counts nowhere.
  MatrixCells(std::span<const Sample> samples, int columns, int rows);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  bool empty() const { return cells_.empty(); }
  const CellStats& at(int xBin, int yBin) const {
    return cells_[static_cast<std::size_t>(yBin) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(xBin)];
  }

 private:
  int columns_ = 0, rows_ = 0;
  std::vector<CellStats> cells_;
};

// The aggregation modes of the list "Что показать", in list order.
struct AggregationMode {
  std::string_view item;              // the list text (Windows-1251)
  double (*value)(const CellStats&);  // the cell value, for cells with samples
  bool wholeNumber;                   // written as an integer, else fixed with 2 decimals
};
extern const std::array<AggregationMode, 7> kAggregationModes;

// The value of `mode` (0 … 6) for a cell, or nothing when the cell has
// fewer than `minHits` samples (and never for a cell without samples).
std::optional<double> cellValue(const CellStats& cell, int mode, std::uint32_t minHits = 1);

// The cell text of `mode`: fixed with 2 decimals, whole numbers for the
// counts; empty when cellValue gives nothing.
std::string cellText(const CellStats& cell, int mode, char decimalMark, std::uint32_t minHits = 1);

// The matrix writes its numbers in fixed notation with every integer digit a
// double can carry (exponent form only beyond that).
inline constexpr int kMatrixPrecision = 18;

// Fixed notation with 2 decimals: cells, headers, Min and Max.
std::string fixed2(double value, char decimalMark);

}  // namespace tervolin

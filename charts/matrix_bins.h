#pragma once
// The quantisation of one matrix axis: n + 1 bins centred on Min, Min + Step,
// …, Min + n·Step, bin b covering [Min + b·Step − Step/2, Min + b·Step +
// Step/2) (lower bound included, upper excluded), with n = (Max − Min) / Step
// rounded to the nearest whole number, a half going to the even neighbour.
// The axes are read from the six texts of the quantisation grid.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tervolin {

class AxisBins {
 public:
  AxisBins() = default;
  // Bins 0 … last; `last` must be at least 0.
  AxisBins(double min, double step, int last);

  double min() const { return min_; }
  double step() const { return step_; }
  int last() const { return last_; }
  int count() const { return last_ + 1; }
  // Min + b·Step: the centre of bin b, written in the headers.
  double centre(int b) const { return min_ + b * step_; }

  // The last bin whose bounds hold v, or -1 when none does.
  int binOf(double v) const {
    // Min + b·Step never decreases with b when Step > 0, so both bounds
    // rise with b: the bins holding v are a run ending at the last bin whose
    // lower bound is at most v. The arithmetic guess is only a start: the
    // bounds as computed decide. With Step < 0 every lower bound lies above
    // its upper one and no bin holds anything.
    if (!(step_ > 0)) return -1;
    const double guess = (v - min_) / step_ + 0.5;
    int b = !(guess > 0) ? 0 : guess >= last_ ? last_ : static_cast<int>(guess);
    while (b < last_ && lower_[static_cast<std::size_t>(b) + 1] <= v) ++b;
    while (b >= 0 && lower_[static_cast<std::size_t>(b)] > v) --b;
    return b >= 0 && v < upper_[static_cast<std::size_t>(b)] ? b : -1;
  }

 private:
  double min_ = 0, step_ = 0;
  int last_ = 0;
  std::vector<double> lower_, upper_;
};

// The six cells of the quantisation grid as typed: row 1 MinX, StepX, MaxX;
// row 2 MinY, StepY, MaxY.
struct QuantTexts {
  std::string minX, stepX, maxX, minY, stepY, maxY;
};

struct MatrixAxes {
  AxisBins x, y;
  std::size_t cellCount() const { return static_cast<std::size_t>(x.count()) * static_cast<std::size_t>(y.count()); }
};

// Bins per axis and cells in all that a build accepts; beyond them a grid of
// 50-pixel columns means nothing to read and would only exhaust memory.
inline constexpr int kMaxAxisBins = 10'000;
inline constexpr std::size_t kMaxMatrixCells = 1'000'000;

// The axes of the six texts, or the message that ends the build (a text that
// is not a number, a step of 0, Max below Min, too many cells).
std::variant<MatrixAxes, std::string> readAxes(const QuantTexts& texts, char decimalMark);

}  // namespace tervolin

#include "charts/dependency_graphs.h"

#include <algorithm>
#include <numeric>

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {
namespace {

constexpr std::string_view kNoParameter = "Нет"_w;
constexpr std::string_view kConversionFailed = "Ошибка преобразования типов данных при вычислении значения графика -"_w;
constexpr std::string_view kNoChoice = "Нужно указать параметр"_w;
constexpr std::string_view kTitleXY = "График зависимости параметра "_w;
constexpr std::string_view kTitleAgainst = " от параметра "_w;
constexpr std::string_view kTitleY = "График параметра "_w;
constexpr int kFirstDataRow = 2;

// Letters that make a non-numeric cell count as 1.
constexpr std::string_view kTrueLetters = "YyДд"_w;

std::string itemOf(const Grid& grid, int column) {
  std::string item(grid.cell(column, 0));
  item += ' ';
  item += grid.cell(column, 1);
  return item;
}

// The first column whose item is the list's text; column 0 when none is.
int columnOf(const Grid& grid, std::string_view text) {
  for (int c = 0; c < grid.columnCount(); ++c)
    if (itemOf(grid, c) == text) return c;
  return 0;
}

class ChartFiller {
 public:
  ChartFiller(const Grid& grid, char decimalMark, UserChannel& channel)
      : grid_(grid), mark_(decimalMark), channel_(channel) {}

  // The number of a cell, telling the user when it does not convert.
  std::optional<double> number(int column, int row) {
    const std::string_view cell = grid_.cell(column, row);
    const std::optional<double> value = cellNumber(cell, mark_);
    if (!value) channel_.similarMessage("conversion failure", std::string(kConversionFailed) + std::string(cell));
    return value;
  }

  DependencyChart fill(std::string_view xText, std::string_view yText, int xColumn, int yColumn) {
    DependencyChart chart;
    chart.title = xText.empty() ? std::string(kTitleY).append(yText)
                                : std::string(kTitleXY).append(yText).append(kTitleAgainst).append(xText);
    if (yText.empty()) return chart;
    for (int r = kFirstDataRow; r < grid_.rowCount(); ++r) {
      if (grid_.cell(yColumn, r).empty()) continue;
      if (xText.empty()) {
        if (const auto y = number(yColumn, r)) {
          chart.x.push_back(static_cast<double>(chart.y.size()));
          chart.y.push_back(*y);
        }
        continue;
      }
      if (grid_.cell(xColumn, r).empty()) continue;
      const auto x = number(xColumn, r);
      const auto y = number(yColumn, r);
      if (!x || !y) continue;
      chart.x.push_back(*x);
      chart.y.push_back(*y);
    }
    if (!xText.empty()) sortByX(chart);
    return chart;
  }

 private:
  // Ascending x; points of equal x keep their row order.
  static void sortByX(DependencyChart& chart) {
    if (std::is_sorted(chart.x.begin(), chart.x.end())) return;
    std::vector<std::size_t> order(chart.x.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return chart.x[a] < chart.x[b]; });
    std::vector<double> x(order.size()), y(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      x[i] = chart.x[order[i]];
      y[i] = chart.y[order[i]];
    }
    chart.x = std::move(x);
    chart.y = std::move(y);
  }

  const Grid& grid_;
  char mark_;
  UserChannel& channel_;
};

}  // namespace

std::vector<std::string> dependencyItems(const Grid& grid) {
  std::vector<std::string> items{std::string(kNoParameter)};
  for (int c = 0; c < grid.columnCount(); ++c) items.push_back(itemOf(grid, c));
  return items;
}

std::optional<double> cellNumber(std::string_view cell, char decimalMark) {
  if (cell.empty()) return 0.0;
  const auto digit = [](char c, char from) { return c >= from && c <= '9'; };
  if (digit(cell[0], '0') || (cell[0] == '-' && cell.size() > 1 && digit(cell[1], '1')))
    return parseNumber(cell, decimalMark);
  return kTrueLetters.find(cell[0]) != std::string_view::npos ? 1.0 : 0.0;
}

std::array<DependencyChart, 2> PaintGraf(const Grid& grid, DependencyChoice& choice, char decimalMark,
                                         UserChannel& channel) {
  std::array<int, 4> column{};
  for (std::size_t i = 0; i < column.size(); ++i) column[i] = columnOf(grid, choice.list[i]);
  for (std::string& text : choice.list)
    if (text == kNoParameter) text.clear();

  ChartFiller filler(grid, decimalMark, channel);
  std::array<DependencyChart, 2> charts = {
      filler.fill(choice.list[0], choice.list[1], column[0], column[1]),
      filler.fill(choice.list[2], choice.list[3], column[2], column[3]),
  };
  if (std::all_of(choice.list.begin(), choice.list.end(), [](const std::string& t) { return t.empty(); }))
    channel.message(kNoChoice);
  return charts;
}

}  // namespace tervolin

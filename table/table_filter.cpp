#include "table/table_filter.h"

#include <new>
#include <optional>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"
#include "table/column_layout.h"
#include "table/numeric_cell.h"

namespace tervolin {
namespace {

constexpr int kFirstDataRow = 2;
constexpr std::string_view kCopyFailure = "Ошибка загрузки в массив"_w;
constexpr std::string_view kConversionFailure = "Ошибка загрузки из массива"_w;
constexpr std::string_view kBadOperator = "Ошибочное выражение! Допустимы знаки \"<\",\">\",\"=\""_w;
constexpr std::string_view kColumnGone = "Столбец параметра скрыт, фильтр не применён"_w;

enum class Op { Greater, Less, Equal, NotEqual };
struct OpText {
  std::string_view text;
  Op op;
};
constexpr std::array<OpText, 4> kOps = {{{">", Op::Greater}, {"<", Op::Less}, {"=", Op::Equal}, {"<>", Op::NotEqual}}};

std::optional<Op> opOf(std::string_view text) {
  for (const OpText& o : kOps)
    if (o.text == text) return o.op;
  return std::nullopt;
}

// The grid column of definition `index` and its unit, or -1 when its column
// is not in the grid any more.
int columnOf(const DefinitionTable& definitions, const Grid& grid, std::size_t index) {
  const bool intact = static_cast<std::size_t>(grid.columnCount()) == definitions.size();
  if (intact) return static_cast<int>(index);
  const std::string key = headingKey(definitions[index]);
  for (int c = 0; c < grid.columnCount(); ++c)
    if (grid.cell(c, 0) == key) return c;
  return -1;
}

// The unit of the parameter shown in grid column `column`.
std::string unitOfColumn(const DefinitionTable& definitions, const Grid& grid, int column) {
  if (static_cast<std::size_t>(grid.columnCount()) == definitions.size())
    return column < static_cast<int>(definitions.size()) ? definitions[static_cast<std::size_t>(column)].unit : "";
  for (const ParamDef& def : definitions)
    if (headingKey(def) == grid.cell(column, 0)) return def.unit;
  return {};
}

std::string grouped(int n) { return groupedIntText(n < 0 ? 0 : n); }

}  // namespace

std::vector<std::string> filterParameterItems(const DefinitionTable& definitions) {
  std::vector<std::string> items;
  items.reserve(definitions.size());
  for (const ParamDef& def : definitions) items.push_back(def.name + "  " + def.requestCode);
  return items;
}

void ApplyFiltr(const AppState& state, UserChannel& channel, Grid& grid, const FilterCondition& condition) {
  const DefinitionTable& definitions = state.definitions;
  int column = 0;
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    if (definitions[i].name + "  " + definitions[i].requestCode != condition.parameter) continue;
    column = columnOf(definitions, grid, i);
    break;
  }
  if (column < 0) {
    channel.message(kColumnGone);
    return;
  }
  const std::string unit = unitOfColumn(definitions, grid, column);
  const std::string textWithUnit = condition.value + " " + unit;
  const std::optional<Op> op = opOf(condition.op);

  // The rows kept: the two heading rows, then every passing data row.
  std::vector<int> kept;
  try {
    kept.reserve(static_cast<std::size_t>(std::max(grid.rowCount(), kFirstDataRow)));
  } catch (const std::bad_alloc&) {
    channel.message(kCopyFailure);
    return;
  }
  kept.push_back(0);
  kept.push_back(1);
  const char mark = state.decimalMark;
  for (int r = kFirstDataRow; r < grid.rowCount(); ++r) {
    if (!op) {
      channel.message(kBadOperator);
      break;
    }
    const std::string_view cell = grid.cell(column, r);
    bool passes = false;
    if (isNumericCell(cell)) {
      const std::optional<double> c = parseNumber(cell, mark);
      const std::optional<double> v = parseNumber(condition.value, mark);
      if (!c || !v) {
        channel.message(kConversionFailure);
        break;
      }
      switch (*op) {
        case Op::Greater: passes = *c > *v; break;
        case Op::Less: passes = *c < *v; break;
        case Op::Equal: passes = *c == *v; break;
        case Op::NotEqual: passes = *c != *v; break;
      }
    } else if (*op == Op::Equal || *op == Op::NotEqual) {
      // A text equals the typed value with or without the unit; "<>" keeps
      // exactly the rows "=" drops.
      const bool equal = cell == textWithUnit || cell == condition.value;
      passes = (*op == Op::Equal) == equal;
    }
    if (passes) kept.push_back(r);
  }
  grid.keepRows(kept);
}

std::string rowCountText(int rows, int total) {
  std::string text("Строк: "_w);
  text += grouped(rows);
  text += " из "_w;
  text += grouped(total);
  return text;
}

}  // namespace tervolin

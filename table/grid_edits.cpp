#include "table/grid_edits.h"

#include <algorithm>
#include <array>

#include "common/number_format.h"
#include "common/text.h"
#include "table/numeric_cell.h"

namespace tervolin {
namespace {

constexpr int kFirstDataRow = 2;
constexpr int kAveragePrecision = 15;
constexpr int kAverageDecimals = 2;

struct KeyCommand {
  char letter;
  GridKeyCommand command;
};
constexpr std::array<KeyCommand, 3> kKeyCommands = {{
    {'H', GridKeyCommand::DeleteColumn},
    {'Y', GridKeyCommand::DeleteRow},
    {'F', GridKeyCommand::Research},
}};

}  // namespace

bool dataCellRecorded(const AppState& state, const Grid& grid) {
  return state.selectedRow >= std::max(grid.fixedRows(), 1) && state.selectedColumn >= 0;
}

std::optional<GridCell> deleteRecordedRow(const AppState& state, Grid& grid) {
  if (!dataCellRecorded(state, grid) || state.selectedRow >= grid.rowCount()) return std::nullopt;
  grid.deleteRow(state.selectedRow);
  const int row = std::min(state.selectedRow, grid.rowCount() - 1);
  if (row < grid.fixedRows() || grid.columnCount() == 0) return std::nullopt;
  return GridCell{std::min(state.selectedColumn, grid.columnCount() - 1), row};
}

std::optional<GridCell> deleteRecordedColumn(const AppState& state, UserChannel& channel, Grid& grid) {
  if (!dataCellRecorded(state, grid)) return std::nullopt;
  const int column = state.selectedColumn;
  if (column >= grid.columnCount()) {
    std::string text("Ошибка при удалении столбца"_w);
    text += intText(column);
    text += "; всего столбцов-"_w;
    text += intText(grid.columnCount());
    text += ";Активный столбец-"_w;
    text += intText(column);
    channel.message(text);
    return std::nullopt;
  }
  grid.deleteColumn(column);
  if (grid.columnCount() == 0 || state.selectedRow >= grid.rowCount()) return std::nullopt;
  return GridCell{std::max(column - 1, 0), state.selectedRow};
}

std::string columnAverageText(const AppState& state, const Grid& grid) {
  if (!dataCellRecorded(state, grid)) return {};
  const int rows = grid.rowCount() - kFirstDataRow;
  double sum = 0;
  for (int r = kFirstDataRow; r < grid.rowCount(); ++r) {
    const std::string_view cell = grid.cell(state.selectedColumn, r);
    if (!isNumericCell(cell)) continue;
    if (const auto value = parseNumber(cell, state.decimalMark)) sum += *value;
  }
  const double average = rows > 0 ? sum / rows : 0.0;
  return std::string("Среднее значение по колонке: "_w) +
         fixedText(average, kAveragePrecision, kAverageDecimals, state.decimalMark);
}

GridKeyCommand gridKeyCommand(char letter, bool ctrl) {
  if (!ctrl) return GridKeyCommand::None;
  const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
  for (const KeyCommand& k : kKeyCommands)
    if (k.letter == upper) return k.command;
  return GridKeyCommand::None;
}

}  // namespace tervolin

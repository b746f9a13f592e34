#include "table/table_views.h"

#include <algorithm>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "common/text.h"
#include "logs/log_lines.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

constexpr int kHeadingRows = 2;
constexpr int kLogColumnWidth = 250;
constexpr int kLogGrowth = 10000;

// Raised when a value would need a row past the grid's row limit or its
// cells have used up their memory budget.
struct GridFull : std::runtime_error {
  GridFull() : std::runtime_error("the grid holds no more rows") {}
};

bool roomForRow(const Grid& grid, int row) {
  return row + 1 < grid.maxRows() && grid.cellBytes() < grid.maxCellBytes();
}

// For every record source, the definitions (indices in table order) whose
// request code and position field both equal the source's. Built once per
// build, so placing a record costs a look-up, not a pass over the table.
std::vector<std::vector<int>> matchSources(const std::vector<RecordSource>& sources,
                                           const DefinitionTable& definitions) {
  std::map<std::pair<std::string_view, std::string_view>, std::vector<int>> byKey;
  for (std::size_t i = 0; i < definitions.size(); ++i)
    byKey[{definitions[i].requestCode, definitions[i].positionField}].push_back(static_cast<int>(i));
  std::vector<std::vector<int>> matches(sources.size());
  for (std::size_t s = 0; s < sources.size(); ++s) {
    const auto found = byKey.find({sources[s].requestCode, sources[s].positionField});
    if (found != byKey.end()) matches[s] = found->second;
  }
  return matches;
}

void fillHeadings(const DefinitionTable& definitions, UserChannel& channel, Grid& grid) {
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    const int column = static_cast<int>(i);
    try {
      const ParamDef& def = definitions[i];
      grid.setCell(column, 0, delspace(def.requestCode + "/" + def.positionField));
      grid.setCell(column, 1, def.name + " (" + def.unit + ")");
    } catch (const std::exception&) {
      channel.similarMessage("heading failure",
                             std::string("Ошибка заполнения заголовка таблицы в столбце "_w) + intText(column));
    }
  }
}

std::string placementFailureText(std::size_t records, int gridRows, int row, std::size_t index) {
  std::string text("Ошибка построения таблицы! Записей "_w);
  text += intText(static_cast<std::int64_t>(records));
  text += " Строк "_w;
  text += intText(gridRows);
  text += " Записано "_w;
  text += intText(row);
  text += " строк и "_w;
  text += intText(static_cast<std::int64_t>(index));
  text += "записей. Хотите прервать?"_w;
  return text;
}

}  // namespace

void TablSG(AppState& state, UserChannel& channel, Grid& grid) {
  rIniF(state, channel, state.definitionFileName);
  const DefinitionTable& definitions = state.definitions;
  const RecordList& records = state.records;

  grid.clrSG();
  grid.setColumnCount(static_cast<int>(definitions.size()));
  grid.setRowCount(kHeadingRows + 1);
  grid.setFixedRows(kHeadingRows);
  fillHeadings(definitions, channel, grid);

  // Per source, the grid columns its records go to with their definitions'
  // column numbers, in one flat array, so that placing a record reads no
  // definition.
  struct Target {
    int index;   // grid column (definition index)
    int column;  // the definition's column number
  };
  struct Targets {
    std::uint32_t begin = 0, end = 0;
  };
  const std::vector<std::vector<int>> matches = matchSources(records.sources(), definitions);
  std::vector<Target> targets;
  std::vector<Targets> bySource(matches.size());
  for (std::size_t s = 0; s < matches.size(); ++s) {
    bySource[s].begin = static_cast<std::uint32_t>(targets.size());
    for (int i : matches[s]) targets.push_back({i, definitions[static_cast<std::size_t>(i)].column});
    bySource[s].end = static_cast<std::uint32_t>(targets.size());
  }

  const std::shared_ptr<TextArena>& arena = records.arena();
  int r = kHeadingRows;
  int p = 0;
  // Once the grid is full and the user chose to go on, every further record
  // that needs a new row is skipped without asking again: no row can be had.
  bool full = false;
  for (std::size_t j = 0; j < records.size(); ++j) {
    const LogRecord& record = records.at(j);
    if (record.source >= bySource.size()) continue;
    const Targets range = bySource[record.source];
    if (range.begin == range.end) continue;
    try {
      bool skipped = false;
      for (std::uint32_t t = range.begin; t < range.end && !skipped; ++t) {
        const Target target = targets[t];
        if (target.column < p) {
          if (!roomForRow(grid, r)) {
            if (!full) throw GridFull();
            skipped = true;
            continue;
          }
          ++r;
          grid.setRowCount(r + 1);
        }
        grid.setCellRef(target.index, r, arena, record.value);
      }
      if (!skipped) p = targets[range.end - 1].column;
    } catch (const GridFull&) {
      // Out of rows or of the cells' budget: ask once whether to stop; the
      // grid keeps what was placed either way.
      if (channel.yesNo(placementFailureText(records.size(), grid.rowCount(), r, j))) break;
      full = true;
    } catch (const std::exception&) {
      if (channel.yesNo(placementFailureText(records.size(), grid.rowCount(), r, j))) break;
    }
  }
}

void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile, Grid& grid) {
  auto text = std::make_shared<std::string>();
  const bool readable = readWholeFile(logFile, *text);

  grid.clrSG();
  grid.setColumnCount(1);
  grid.setColumnWidth(0, kLogColumnWidth);
  grid.setRowCount(2);
  grid.setCell(0, 0, "Log как он есть"_w);
  grid.setFixedRows(1);

  rIniF(state, channel, kPidsIni);

  if (!readable) {
    channel.message(std::string("Не удалось прочитать файл "_w) + pathText(logFile));
    return;
  }

  const std::shared_ptr<const std::string> buffer = std::move(text);
  LogLines lines(*buffer);
  std::string_view line;
  int row = 1;
  while (lines.next(line)) {
    if (!roomForRow(grid, row)) {
      // The grid shows no more lines: say so rather than pass the rest by.
      channel.message(std::string("Лог слишком велик для таблицы: показаны первые "_w) + intText(row - 1) +
                      std::string(" строк."_w));
      break;
    }
    ++row;
    if (row >= grid.rowCount()) grid.setRowCount(grid.rowCount() + kLogGrowth);
    grid.setCellInBuffer(0, row, buffer, line);
  }
  grid.setRowCount(row + 1);
}

int longestCellRow(const Grid& grid, int column) {
  int longest = -1;
  std::size_t length = 0;
  for (int r = std::max(0, grid.fixedRows()); r < grid.rowCount(); ++r) {
    const std::size_t size = grid.cell(column, r).size();
    if (longest < 0 || size > length) {
      longest = r;
      length = size;
    }
  }
  return longest;
}

}  // namespace tervolin

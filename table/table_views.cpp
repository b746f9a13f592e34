#include "table/table_views.h"

#include <algorithm>
#include <map>
#include <optional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/parallel.h"
#include "common/file_bytes.h"
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

namespace {

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

struct PlacementPlan {
  std::vector<Target> targets;
  std::vector<Targets> bySource;
};

PlacementPlan planPlacement(const RecordList& records, const DefinitionTable& definitions) {
  PlacementPlan plan;
  const std::vector<std::vector<int>> matches = matchSources(records.sources(), definitions);
  plan.bySource.resize(matches.size());
  for (std::size_t s = 0; s < matches.size(); ++s) {
    plan.bySource[s].begin = static_cast<std::uint32_t>(plan.targets.size());
    for (int i : matches[s]) plan.targets.push_back({i, definitions[static_cast<std::size_t>(i)].column});
    plan.bySource[s].end = static_cast<std::uint32_t>(plan.targets.size());
  }
  return plan;
}

// Where the placement stands before a record: its row and the column of the
// last definition the records before it matched.
struct Placed {
  std::size_t record = 0;
  int row = kHeadingRows;
  int previous = 0;
};

constexpr std::size_t kProgressRecords = 65536;

// The placement of every record from `from` on, by the rule: a target whose
// column is left of the previous record's last one starts a new row. A
// failure (no more rows, no memory) asks whether to stop; Yes stops, No
// goes on with the next record. Once the grid is full and the user chose to
// go on, every further record that needs a new row is skipped without
// asking again: no row can be had.
void placeInOrder(const RecordList& records, const PlacementPlan& plan, Placed from, Grid& grid,
                  Grid::RefWriter& writer, UserChannel& channel, Progress& progress) {
  int r = from.row;
  int p = from.previous;
  bool full = false;
  grid.setRowCount(r + 1);
  for (std::size_t j = from.record; j < records.size(); ++j) {
    if (j % kProgressRecords == 0) {
      throwIfCancelled(progress);
      progress.report(j, records.size());
    }
    const LogRecord record = records.at(j);
    if (record.source >= plan.bySource.size()) continue;
    const Targets range = plan.bySource[record.source];
    if (range.begin == range.end) continue;
    try {
      bool skipped = false;
      for (std::uint32_t t = range.begin; t < range.end && !skipped; ++t) {
        const Target target = plan.targets[t];
        if (target.column < p) {
          if (!roomForRow(grid, r)) {
            if (!full) throw GridFull();
            skipped = true;
            continue;
          }
          ++r;
          grid.setRowCount(r + 1);
        }
        writer.put(target.index, r, record.value);
      }
      if (!skipped) p = plan.targets[range.end - 1].column;
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

// The placement of the records of blocks [first, last) from row `row` with
// previous column `previous`, by the rule of placeInOrder; `place` gets
// (grid column, row, value) of every cell. Returns the row reached.
template <class Place>
int walkPlacement(const RecordList& records, const PlacementPlan& plan, std::size_t first, std::size_t last, int row,
                  int previous, Progress& progress, bool reports, Place&& place) {
  const Target* const targets = plan.targets.data();
  const Targets* const bySource = plan.bySource.data();
  const std::size_t sources = plan.bySource.size();
  int r = row;
  int p = previous;
  std::size_t done = 0;
  for (std::size_t k = first; k < last; ++k) {
    throwIfCancelled(progress);
    if (reports) progress.report(done, records.size());
    const RecordBlock block = records.block(k);
    done += block.size();
    for (const LogRecord record : block) {
      if (record.source >= sources) continue;
      const Targets range = bySource[record.source];
      if (range.end - range.begin == 1) [[likely]] {
        const Target target = targets[range.begin];
        r += target.column < p;
        place(target.index, r, record.value);
        p = target.column;
        continue;
      }
      if (range.begin == range.end) continue;
      for (std::uint32_t t = range.begin; t < range.end; ++t) {
        const Target target = targets[t];
        r += target.column < p;
        place(target.index, r, record.value);
      }
      p = targets[range.end - 1].column;
    }
  }
  return r;
}

// The column of the last definition matched before record `j`: where the
// placement stands when it reaches j (0 before the first match).
int previousColumnBefore(const RecordList& records, const PlacementPlan& plan, std::size_t j) {
  while (j > 0) {
    const LogRecord record = records.at(--j);
    if (record.source >= plan.bySource.size()) continue;
    const Targets range = plan.bySource[record.source];
    if (range.begin != range.end) return plan.targets[range.end - 1].column;
  }
  return 0;
}

// The same placement by `parts` threads at once, each placing a run of the
// records: first every run counts the rows it starts (its previous column
// is that of the last record before it that matched), which gives the row
// each run starts in; then every run writes its cells straight into the
// grid's bands of rows. The row a run starts in is also the last row of the
// run before it: the cells a run puts there are written after both, in
// order. False when the rows would run out: nothing useful was written,
// and the placement in order finds where.
bool placeAtOnce(const RecordList& records, const PlacementPlan& plan, std::size_t parts, Grid& grid,
                 Grid::RefWriter& writer, Progress& progress, int& lastRow) {
  constexpr int kBand = Grid::RefWriter::kBandRows;
  const std::size_t n = records.size();
  // Runs of whole blocks: first[k] is run k's first block.
  const std::size_t blocks = records.blockCount();
  std::vector<std::size_t> first(parts + 1);
  for (std::size_t k = 0; k <= parts; ++k) first[k] = blocks * k / parts;
  std::vector<std::size_t> firstRecord(parts, 0);
  for (std::size_t b = 0, k = 1, at = 0; b < blocks && k < parts; ++b) {
    while (k < parts && first[k] == b) firstRecord[k++] = at;
    at += records.block(b).size();
  }
  std::vector<int> previous(parts), rows(parts);
  runParts(parts, [&](std::size_t k) {
    previous[k] = previousColumnBefore(records, plan, firstRecord[k]);
    rows[k] = walkPlacement(records, plan, first[k], first[k + 1], 0, previous[k], progress, false,
                            [](int, int, TextRef) {});
  });
  std::vector<int> startRow(parts);
  long long r = kHeadingRows;
  for (std::size_t k = 0; k < parts; ++k) {
    startRow[k] = static_cast<int>(r);
    r += rows[k];
    if (r >= grid.maxRows()) return false;
  }
  lastRow = static_cast<int>(r);
  // The cells can take no more than every band of every column a record
  // goes to: within the budget, no row start in order could find it used up.
  std::vector<bool> target(static_cast<std::size_t>(grid.columnCount()), false);
  std::size_t targetColumns = 0;
  for (const Target& t : plan.targets)
    if (!target[static_cast<std::size_t>(t.index)]) {
      target[static_cast<std::size_t>(t.index)] = true;
      ++targetColumns;
    }
  const std::size_t bands = static_cast<std::size_t>(lastRow) / kBand + 1;
  if (grid.cellBytes() + targetColumns * bands * Grid::kWideBandBytes >= grid.maxCellBytes()) return false;
  grid.setRowCount(lastRow + 1);
  writer.reserveRows(lastRow + 1);
  // The bands two runs share are made ready before either writes.
  for (std::size_t k = 1; k < parts; ++k)
    for (int c = 0; c < grid.columnCount(); ++c)
      if (target[static_cast<std::size_t>(c)]) writer.shareBand(c, startRow[k]);

  struct Cell {
    int index;
    TextRef value;
  };
  std::vector<std::vector<Cell>> shared(parts);
  runParts(
      parts,
      [&](std::size_t k) {
        const auto columns = static_cast<std::size_t>(grid.columnCount());
        std::vector<std::uint32_t*> band(columns, nullptr);
        std::vector<int> bandStart(columns, -1);
        const int sharedRow = k > 0 ? startRow[k] : -1;
        walkPlacement(records, plan, first[k], first[k + 1], startRow[k], previous[k], progress, k == 0,
                      [&](int index, int row, TextRef value) {
                        if (row == sharedRow) [[unlikely]] {
                          shared[k].push_back({index, value});
                          return;
                        }
                        const auto c = static_cast<std::size_t>(index);
                        const int start = row & ~(kBand - 1);
                        if (bandStart[c] != start) [[unlikely]] {
                          band[c] = writer.band(index, start);
                          bandStart[c] = start;
                        }
                        if (std::uint32_t* cells = band[c]) [[likely]]
                          cells[row - start] = value;
                        else
                          writer.put(index, row, value);
                      });
      },
      [&] { progress.report(firstRecord[1], n); });
  for (std::size_t k = 1; k < parts; ++k)
    for (const Cell& cell : shared[k]) writer.put(cell.index, startRow[k], cell.value);
  return true;
}

}  // namespace

void TablSG(AppState& state, UserChannel& channel, Grid& grid, Progress& progress, const ReadSplit& split) {
  rIniF(state, channel, state.definitionFileName);
  const DefinitionTable& definitions = state.definitions;
  const RecordList& records = state.records;

  grid.clrSG();
  grid.setColumnCount(static_cast<int>(definitions.size()));
  grid.setRowCount(kHeadingRows + 1);
  grid.setFixedRows(kHeadingRows);
  fillHeadings(definitions, channel, grid);

  const PlacementPlan plan = planPlacement(records, definitions);
  Grid::RefWriter writer(grid, records.arena());
  const std::size_t parts =
      records.size() > split.above && writer.direct() ? (split.parts ? split.parts : processorParts()) : 1;
  if (parts > 1) {
    int lastRow = kHeadingRows;
    bool placed = false;
    try {
      placed = placeAtOnce(records, plan, parts, grid, writer, progress, lastRow);
    } catch (const Cancelled&) {
      throw;
    } catch (const std::exception&) {
      // Out of memory on the way: the placement in order writes the same
      // cells again and asks where it fails.
    }
    if (placed) {
      progress.report(records.size(), records.size());
      return;
    }
  }
  placeInOrder(records, plan, Placed{}, grid, writer, channel, progress);
  progress.report(records.size(), records.size());
}

void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile, Grid& grid,
                  Progress& progress) {
  buildLogView(state, channel, logFile, FileBytes::read(logFile), grid, progress);
}

void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile,
                  const std::shared_ptr<const FileBytes>& bytes, Grid& grid, Progress& progress) {
  grid.clrSG();
  grid.setColumnCount(1);
  grid.setColumnWidth(0, kLogColumnWidth);
  grid.setRowCount(2);
  grid.setCell(0, 0, "Log как он есть"_w);
  grid.setFixedRows(1);

  rIniF(state, channel, kPidsIni);

  if (!bytes) {
    channel.message(std::string("Не удалось прочитать файл "_w) + pathText(logFile));
    return;
  }

  const std::string_view text = bytes->view();
  LogLines lines(text);
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
    if (row >= grid.rowCount()) {
      grid.setRowCount(grid.rowCount() + kLogGrowth);
      throwIfCancelled(progress);
      progress.report(lines.offset(), text.size());
    }
    grid.setCellInBuffer(0, row, bytes, line);
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

#include "table/csv_export.h"

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {
namespace {

constexpr std::string_view kHeader = "LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,";
constexpr std::string_view kEmptyFields = ",,,,,";
constexpr std::string_view kLineEnd = "\r\n";
// Rows between two progress reports.
constexpr int kProgressRows = 4096;

// Appends the converted cell and its ",".
void appendCell(ChunkedOutput& out, std::string_view cell) {
  if (cell == kYesText) {
    out.append("1,");
    return;
  }
  if (cell == kNoText) {
    out.append("0,");
    return;
  }
  // One pass copies and turns the first comma into a point: cells are short,
  // so a plain loop beats library calls here.
  char* to = out.put(cell.size() + 1);
  std::size_t i = 0;
  for (; i < cell.size() && cell[i] != ','; ++i) to[i] = cell[i];
  if (i < cell.size()) to[i++] = '.';
  for (; i < cell.size(); ++i) to[i] = cell[i];
  to[i] = ',';
}

// Appends a non-negative row number in decimal.
void appendNumber(ChunkedOutput& out, int value) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char* to = out.put(static_cast<std::size_t>(n));
  while (n > 0) *to++ = digits[--n];
}

}  // namespace

std::string csvCellText(std::string_view cell) {
  std::string text;
  ChunkedOutput out([&](std::string_view piece) {
    text.append(piece);
    return true;
  });
  appendCell(out, cell);
  out.flush();
  text.pop_back();
  return text;
}

ExportStatus writeCsvExport(const Grid& grid, ChunkedOutput& out, Progress& progress) {
  const int columns = grid.columnCount();
  const int rows = grid.rowCount();
  const auto total = static_cast<std::uint64_t>(rows > 2 ? rows - 2 : 0);
  out.append(kHeader);
  for (int c = 0; c < columns; ++c) appendCell(out, grid.cell(c, 1));
  out.append(kLineEnd);
  for (int r = 2; r < rows; ++r) {
    if ((r - 2) % kProgressRows == 0) {
      progress.report(static_cast<std::uint64_t>(r - 2), total);
      throwIfCancelled(progress);
    }
    appendNumber(out, r - 2);
    out.append(kEmptyFields);
    for (int c = 0; c < columns; ++c) appendCell(out, grid.cell(c, r));
    out.append(kLineEnd);
    if (!out.flushIfFull()) return ExportStatus::Failed;
  }
  progress.report(total, total);
  return ExportStatus::Written;
}

ExportResult exportCsvFile(const Grid& grid, const std::filesystem::path& target, Progress& progress) {
  return writeTextFile(target, [&](ChunkedOutput& out) { return writeCsvExport(grid, out, progress); });
}

}  // namespace tervolin

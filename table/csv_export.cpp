#include "table/csv_export.h"

#include <cstring>

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
void appendCell(std::string& out, std::string_view cell) {
  if (cell == kYesText) {
    out += "1,";
    return;
  }
  if (cell == kNoText) {
    out += "0,";
    return;
  }
  const std::size_t start = out.size();
  out.append(cell);
  if (const void* comma = std::memchr(out.data() + start, ',', cell.size()))
    out[static_cast<std::size_t>(static_cast<const char*>(comma) - out.data())] = '.';
  out += ',';
}

// Appends a non-negative row number in decimal.
void appendNumber(std::string& out, int value) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

}  // namespace

std::string csvCellText(std::string_view cell) {
  std::string out;
  appendCell(out, cell);
  out.pop_back();
  return out;
}

ExportStatus writeCsvExport(const Grid& grid, ChunkedOutput& out, const ExportProgress& progress) {
  const int columns = grid.columnCount();
  const int rows = grid.rowCount();
  const auto total = static_cast<std::uint64_t>(rows > 2 ? rows - 2 : 0);
  std::string& text = out.text();
  text += kHeader;
  for (int c = 0; c < columns; ++c) appendCell(text, grid.cell(c, 1));
  text += kLineEnd;
  for (int r = 2; r < rows; ++r) {
    if ((r - 2) % kProgressRows == 0) {
      if (progress && !progress(static_cast<std::uint64_t>(r - 2), total)) return ExportStatus::Cancelled;
    }
    appendNumber(text, r - 2);
    text += kEmptyFields;
    for (int c = 0; c < columns; ++c) appendCell(text, grid.cell(c, r));
    text += kLineEnd;
    if (!out.flushIfFull()) return ExportStatus::Failed;
  }
  if (progress) progress(total, total);
  return ExportStatus::Written;
}

ExportResult exportCsvFile(const Grid& grid, const std::filesystem::path& target, const ExportProgress& progress) {
  return writeTextFile(target, [&](ChunkedOutput& out) { return writeCsvExport(grid, out, progress); });
}

}  // namespace tervolin

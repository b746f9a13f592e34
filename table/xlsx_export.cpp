#include "table/xlsx_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>

#include "common/atomic_file.h"
#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"

namespace tervolin {
namespace {

// Rows between two progress reports.
constexpr std::size_t kProgressRows = 256;
constexpr const char* kSheetName = "Лист1";
// Above this many cells a sheet's XML may pass 4 GB and the zip container
// needs its 64-bit extensions (which some spreadsheet programs warn about,
// so small workbooks go without).
constexpr std::size_t kZip64Cells = 40'000'000;

std::string cutNotice(std::size_t rows, std::size_t columns, std::size_t cutTexts) {
  std::string text;
  if (rows > 0 || columns > 0) {
    text += "Лист вмещает не более 1048576 строк и 16384 столбцов: не записано строк "_w;
    text += intText(static_cast<std::int64_t>(rows));
    text += ", столбцов "_w;
    text += intText(static_cast<std::int64_t>(columns));
    text += ".";
  }
  if (cutTexts > 0) {
    if (!text.empty()) text += ' ';
    text += "Ячейка вмещает не более 32767 знаков: укорочено текстов "_w;
    text += intText(static_cast<std::int64_t>(cutTexts));
    text += ".";
  }
  return text;
}

// A cell text as the sheet's XML holds it. The XML cannot hold character 0
// (and libxlsxwriter takes C strings, which would end there), and
// spreadsheets read "_xHHHH_" as character HHHH (the library writes the
// other control characters so). Character 0 becomes "_x0000_", and the "_"
// of a text that itself reads "_xHHHH_" becomes "_x005F_", so the sheet
// gives back exactly the cell's text.
std::string sheetXmlText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const std::string_view rest = utf8.substr(i);
    if (utf8[i] == '\0') {
      out += "_x0000_";
    } else if (rest.size() >= 7 && rest[0] == '_' && rest[1] == 'x' && isHexDigit(rest[2]) && isHexDigit(rest[3]) &&
               isHexDigit(rest[4]) && isHexDigit(rest[5]) && rest[6] == '_') {
      out += "_x005F_";
    } else {
      out += utf8[i];
    }
  }
  return out;
}

// Owns a workbook until it is closed; a workbook never closed is freed
// without writing anything.
struct Workbook {
  lxw_workbook* book = nullptr;
  ~Workbook() {
    if (book) lxw_workbook_free(book);
  }
  lxw_error close() {
    lxw_workbook* b = book;
    book = nullptr;
    return workbook_close(b);
  }
};

}  // namespace

std::size_t GridSheet::rowCount() const {
  return grid_.rowCount() > 1 ? static_cast<std::size_t>(grid_.rowCount() - 1) : 0;
}

std::size_t GridSheet::columnCount() const { return static_cast<std::size_t>(grid_.columnCount()); }

std::string_view GridSheet::cell(std::size_t row, std::size_t column) const {
  return grid_.cell(static_cast<int>(column), static_cast<int>(row + 1));
}

SheetCell sheetCell(std::string_view text) {
  SheetCell cell;
  if (text.empty()) return cell;
  cell.text = firstCommaToPoint(text);
  if (const auto number = parseNumber(cell.text, '.'); number && std::isfinite(*number)) {
    cell.kind = SheetCell::Number;
    cell.number = *number;
    cell.text.clear();
    return cell;
  }
  cell.kind = SheetCell::Text;
  return cell;
}

ExportResult writeXlsx(const CellSource& cells, const std::filesystem::path& target, Progress& progress) {
  AtomicFile file(target);
  if (!file.ok()) return {ExportStatus::Failed, writeFailureText(target, systemErrorText(file.error()))};

  const std::size_t sourceRows = cells.rowCount();
  const std::size_t sourceColumns = cells.columnCount();
  const std::size_t rows = std::min(sourceRows, kSheetRows);
  const std::size_t columns = std::min(sourceColumns, kSheetColumns);

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = rows * columns > kZip64Cells ? LXW_TRUE : LXW_FALSE;
  Workbook workbook;
  const std::string name = file.temporary().string();
  workbook.book = workbook_new_opt(name.c_str(), &options);
  lxw_worksheet* sheet = workbook.book ? workbook_add_worksheet(workbook.book, kSheetName) : nullptr;
  if (!sheet) return {ExportStatus::Failed, writeFailureText(target, systemErrorText(ENOMEM))};
  std::size_t cutTexts = 0;
  std::string utf8;
  for (std::size_t r = 0; r < rows; ++r) {
    if (r % kProgressRows == 0) {
      progress.report(r, rows);
      throwIfCancelled(progress);
    }
    for (std::size_t c = 0; c < columns; ++c) {
      const SheetCell cell = sheetCell(cells.cell(r, c));
      const auto row = static_cast<lxw_row_t>(r);
      const auto column = static_cast<lxw_col_t>(c);
      lxw_error error = LXW_NO_ERROR;
      if (cell.kind == SheetCell::Number) {
        error = worksheet_write_number(sheet, row, column, cell.number, nullptr);
      } else if (cell.kind == SheetCell::Text) {
        std::string_view text = cell.text;
        if (text.size() > kCellCharacters) {
          text = text.substr(0, kCellCharacters);
          ++cutTexts;
        }
        utf8 = sheetXmlText(cp1251ToUtf8(text));
        error = worksheet_write_string(sheet, row, column, utf8.c_str(), nullptr);
      }
      if (error != LXW_NO_ERROR) return {ExportStatus::Failed, writeFailureText(target, lxw_strerror(error))};
    }
  }
  progress.report(rows, rows);

  const lxw_error closed = workbook.close();
  if (closed != LXW_NO_ERROR) return {ExportStatus::Failed, writeFailureText(target, lxw_strerror(closed))};
  if (!file.commit()) return {ExportStatus::Failed, writeFailureText(target, systemErrorText(file.error()))};
  return {ExportStatus::Written, cutNotice(sourceRows - rows, sourceColumns - columns, cutTexts)};
}

}  // namespace tervolin

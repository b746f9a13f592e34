// The spreadsheet export read back from the written workbook: layout,
// numbers and texts, any cell source, limits, cancelling and failing.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"
#include "table/grid.h"
#include "table/xlsx_export.h"
#include "xlsx_sheet_reader.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;
using test::ReadSheet;
using test::SheetValue;
using test::TempDir;

SheetValue number(std::string text) { return {true, std::move(text)}; }
SheetValue text(std::string text) { return {false, std::move(text)}; }

// Texts given in UTF-8, handed over as Windows-1251.
class TextTable final : public CellSource {
 public:
  TextTable(std::size_t rows, std::size_t columns, std::string fill = {})
      : rows_(rows), columns_(columns), fill_(utf8ToCp1251(fill)) {}
  std::size_t rowCount() const override { return rows_; }
  std::size_t columnCount() const override { return columns_; }
  std::string_view cell(std::size_t, std::size_t) const override { return fill_; }

 private:
  std::size_t rows_, columns_;
  std::string fill_;
};

TEST(SheetCell, NumbersInPointNotationAfterTheCommaTurnsAPoint) {
  struct Case {
    std::string_view in;
    SheetCell::Kind kind;
    double number;
    std::string_view text;
  };
  const Case cases[] = {
      {"12,5", SheetCell::Number, 12.5, ""},   {"12.5", SheetCell::Number, 12.5, ""},
      {"-0,25", SheetCell::Number, -0.25, ""}, {"800", SheetCell::Number, 800, ""},
      {"1,2,3", SheetCell::Text, 0, "1.2,3"},  {"1.5,6", SheetCell::Text, 0, "1.5.6"},
      {"Да", SheetCell::Text, 0, "Да"},        {" 1", SheetCell::Text, 0, " 1"},
      {"1e400", SheetCell::Text, 0, "1e400"},  {"0A", SheetCell::Text, 0, "0A"},
      {"", SheetCell::Empty, 0, ""},
  };
  for (const Case& c : cases) {
    const SheetCell cell = sheetCell(utf8ToCp1251(c.in));
    EXPECT_EQ(cell.kind, c.kind) << c.in;
    EXPECT_EQ(cell.number, c.number) << c.in;
    EXPECT_EQ(cp1251ToUtf8(cell.text), c.text) << c.in;
  }
}

TEST(XlsxExport, TheGridGoesToSheetOneWithHeadingsInRowOneAndDataBelow) {
  // 3 data rows and 4 columns fill A1 to D4; grid row 0 stays behind.
  Grid grid;
  grid.setColumnCount(4);
  grid.setRowCount(5);
  const std::vector<std::vector<std::string>> rows = {
      {"2101/0000", "2101/0100", "2101/0200", "2101/0300"},
      {"Обороты (об/мин)", "Лямбда (В)", "ХХ ()", "Код ()"},
      {"800", "0,45", "Да", "1,2,3"},
      {"1200", "12,5", "Нет", ""},
      {"-3", "0,1", "x", "P0300"},
  };
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 4; ++c) grid.setCell(c, r, utf8ToCp1251(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
  TempDir dir;
  const ExportResult result = writeXlsx(GridSheet(grid), dir / "t.xlsx");
  ASSERT_EQ(result.status, ExportStatus::Written) << cp1251ToUtf8(result.message);
  EXPECT_TRUE(result.message.empty());

  const ReadSheet sheet = test::readFirstSheet(dir / "t.xlsx");
  ASSERT_TRUE(sheet.ok);
  EXPECT_EQ(sheet.name, "Лист1");
  EXPECT_EQ(sheet.dimension, "A1:D4");
  const std::map<std::pair<int, int>, SheetValue> expected = {
      {{0, 0}, text("Обороты (об/мин)")}, {{0, 1}, text("Лямбда (В)")}, {{0, 2}, text("ХХ ()")}, {{0, 3}, text("Код ()")},
      {{1, 0}, number("800")},  {{1, 1}, number("0.45")}, {{1, 2}, text("Да")},  {{1, 3}, text("1.2,3")},
      {{2, 0}, number("1200")}, {{2, 1}, number("12.5")}, {{2, 2}, text("Нет")},
      {{3, 0}, number("-3")},   {{3, 1}, number("0.1")},  {{3, 2}, text("x")},   {{3, 3}, text("P0300")},
  };
  EXPECT_EQ(sheet.cells, expected);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(XlsxExport, EveryCharacterOfATextReachesTheSheet) {
  // The sheet's XML holds no character 0 and spreadsheets read "_xHHHH_" as
  // character HHHH: the raw sheet text must decode back to the cell text.
  struct Case {
    std::string in;     // UTF-8 cell text
    std::string sheet;  // raw text of the sheet cell
  };
  const std::vector<Case> cases = {
      {std::string("Н") + '\0' + "\"b\a", "Н_x0000_\"b_x0007_"},
      {std::string("\0\0\0", 3), "_x0000__x0000__x0000_"},
      {std::string("AB\0", 3), "AB_x0000_"},
      {"x_x0041_y", "x_x005F_x0041_y"},
      {"_x00e9__xFFFF_", "_x005F_x00e9__x005F_xFFFF_"},
      {"_x12_ _x00G0_ _X0041_", "_x12_ _x00G0_ _X0041_"},
      {"a\x01" "b", "a_x0001_b"},
  };
  Grid grid;
  grid.setColumnCount(static_cast<int>(cases.size()));
  grid.setRowCount(2);
  for (std::size_t i = 0; i < cases.size(); ++i) grid.setCell(static_cast<int>(i), 1, utf8ToCp1251(cases[i].in));
  TempDir dir;
  ASSERT_EQ(writeXlsx(GridSheet(grid), dir / "t.xlsx").status, ExportStatus::Written);
  const ReadSheet sheet = test::readFirstSheet(dir / "t.xlsx");
  ASSERT_TRUE(sheet.ok);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto cell = sheet.cells.find({0, static_cast<int>(i)});
    ASSERT_NE(cell, sheet.cells.end()) << i;
    EXPECT_EQ(cell->second, text(cases[i].sheet)) << i << ": " << cell->second.text;
  }
}

TEST(XlsxExport, AnyCellSourceAndWhatASheetCannotHold) {
  TempDir dir;
  // More rows than a sheet holds: the rest is left out and named.
  const ExportResult rows = writeXlsx(TextTable(kSheetRows + 3, 2), dir / "rows.xlsx");
  ASSERT_EQ(rows.status, ExportStatus::Written);
  EXPECT_EQ(cp1251ToUtf8(rows.message),
            "Лист вмещает не более 1048576 строк и 16384 столбцов: не записано строк 3, столбцов 0.");

  // Texts longer than a cell holds are cut.
  const ExportResult cut = writeXlsx(TextTable(1, 2, std::string(kCellCharacters + 5, 'z')), dir / "cut.xlsx");
  ASSERT_EQ(cut.status, ExportStatus::Written);
  EXPECT_EQ(cp1251ToUtf8(cut.message), "Ячейка вмещает не более 32767 знаков: укорочено текстов 2.");
  const ReadSheet sheet = test::readFirstSheet(dir / "cut.xlsx");
  ASSERT_TRUE(sheet.ok);
  EXPECT_EQ(sheet.cells.at({0, 1}).text, std::string(kCellCharacters, 'z'));
}

TEST(XlsxExport, CancellingOrFailingLeavesNoFileAndTheTargetUntouched) {
  TempDir dir;
  test::writeFile(dir / "t.xlsx", "previous");
  test::ScriptedProgress progress(5);
  EXPECT_THROW(writeXlsx(TextTable(5000, 3, "1,5"), dir / "t.xlsx", progress), Cancelled);
  ASSERT_EQ(progress.reports.size(), 5u);
  EXPECT_EQ(progress.reports.back(), (std::pair<std::uint64_t, std::uint64_t>{1024, 5000}));
  EXPECT_EQ(test::readFile(dir / "t.xlsx"), "previous");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  const ExportResult failed = writeXlsx(TextTable(1, 1, "1"), dir / "missing" / "t.xlsx");
  EXPECT_EQ(failed.status, ExportStatus::Failed);
  EXPECT_EQ(cp1251ToUtf8(failed.message).rfind("Не удалось записать файл ", 0), 0u);
}

}  // namespace
}  // namespace tervolin

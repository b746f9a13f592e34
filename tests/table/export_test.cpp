// The CSV export, the protocol and the files they write: conversions, exact
// bytes, reading an export back, cancelling and failing without a trace.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/csv_log.h"
#include "support/test_support.h"
#include "table/csv_export.h"
#include "table/grid.h"
#include "table/protocol_export.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;
using test::ScriptedChannel;
using test::TempDir;

// A grid laid out as the Table view: row 0 keys, row 1 headings, data from
// row 2. Texts are UTF-8 here and stored as Windows-1251.
Grid tableGrid(const std::vector<std::vector<std::string>>& rows) {
  Grid grid;
  grid.setColumnCount(rows.empty() ? 0 : static_cast<int>(rows[0].size()));
  grid.setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      grid.setCell(static_cast<int>(c), static_cast<int>(r), utf8ToCp1251(rows[r][c]));
  return grid;
}

std::vector<std::string> folderNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(CsvExport, CellTextsTurnTheFirstCommaIntoAPointAndExactFlagsIntoDigits) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Да", "1"},       {"Нет", "0"},       {"3,75", "3.75"}, {"1,5,6", "1.5,6"}, {"1.5,6", "1.5.6"},
      {"да", "да"},      {"Да ", "Да "},     {"Нет,", "Нет."}, {"", ""},          {"Обороты (об/мин)", "Обороты (об/мин)"},
      {",", "."},        {"-0,5", "-0.5"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(cp1251ToUtf8(csvCellText(utf8ToCp1251(in))), out) << in;
}

TEST(CsvExport, WritesTheFixedHeaderThenEveryDataRowWithCrLf) {
  const Grid grid = tableGrid({
      {"2101/0000", "2101/0100", "2101/0200"},
      {"Обороты (об/мин)", "Лямбда (В)", "ХХ ()"},
      {"800", "0,45", "Да"},
      {"1200", "1,2,3", "Нет"},
  });
  TempDir dir;
  const ExportResult result = exportCsvFile(grid, dir / "out.csv");
  ASSERT_EQ(result.status, ExportStatus::Written) << cp1251ToUtf8(result.message);
  EXPECT_EQ(cp1251ToUtf8(test::readFile(dir / "out.csv")),
            "LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,Обороты (об/мин),Лямбда (В),ХХ (),\r\n"
            "0,,,,,800,0.45,1,\r\n"
            "1,,,,,1200,1.2,3,0,\r\n");
  EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"out.csv"});
}

TEST(CsvExport, ATableWithoutDataRowsGivesTheHeaderOnly) {
  TempDir dir;
  for (const Grid& grid : {tableGrid({{"2101/0000"}, {"T (C)"}}), Grid()}) {
    ASSERT_EQ(exportCsvFile(grid, dir / "out.csv").status, ExportStatus::Written);
    const std::string expected = std::string("LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,") +
                                 (grid.columnCount() ? "T (C)," : "") + "\r\n";
    EXPECT_EQ(test::readFile(dir / "out.csv"), expected);
  }
}

TEST(CsvExport, ReadsBackWithTheLeadingColumnsAsOrdinaryOnes) {
  const Grid grid = tableGrid({{"a", "b"}, {"T (C)", "U ()"}, {"12,5", "Да"}, {"", "7"}});
  TempDir dir;
  ASSERT_EQ(exportCsvFile(grid, dir / "back.CSV").status, ExportStatus::Written);
  AppState state;
  state.requestCodeWidth = 4;
  ScriptedChannel channel;
  ReadCSV(state, channel, dir / "back.CSV");
  ASSERT_EQ(state.definitions.size(), 7u);
  EXPECT_EQ(state.definitions[0].name, "LogID");
  EXPECT_EQ(state.definitions[5].name, "T (C)");
  std::vector<std::string> values;
  for (std::size_t i = 0; i < state.records.size(); ++i) values.emplace_back(state.records.value(i));
  EXPECT_EQ(values, (std::vector<std::string>{"0", "0", "0", "0", "0", "12,5", "1", "1", "0", "0", "0", "0", "0", "7"}));
}

TEST(CsvExport, CancellingOrFailingLeavesTheTargetAsItWasAndNoTemporaryFile) {
  std::vector<std::vector<std::string>> rows = {{"k"}, {"h"}};
  for (int i = 0; i < 10000; ++i) rows.push_back({std::to_string(i)});
  const Grid grid = tableGrid(rows);
  TempDir dir;
  test::writeFile(dir / "out.csv", "previous");
  test::ScriptedProgress progress(2);
  EXPECT_THROW(exportCsvFile(grid, dir / "out.csv", progress), Cancelled);
  ASSERT_EQ(progress.reports.size(), 2u);
  EXPECT_EQ(progress.reports[1], (std::pair<std::uint64_t, std::uint64_t>{4096, 10000}));
  EXPECT_EQ(test::readFile(dir / "out.csv"), "previous");
  EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"out.csv"});

  const ExportResult failed = exportCsvFile(grid, dir / "missing" / "out.csv");
  EXPECT_EQ(failed.status, ExportStatus::Failed);
  EXPECT_EQ(failed.message.rfind(std::string("Не удалось записать файл "_w), 0), 0u);
  EXPECT_NE(failed.message.find("missing/out.csv: "), std::string::npos) << failed.message;
}

TEST(CsvExport, WriteErrorsInTheMiddleAreFailures) {
  const Grid grid = tableGrid({{"k"}, {"h"}, {"1"}});
  int writes = 0;
  ChunkedOutput out([&](std::string_view) { return ++writes > 1; });
  EXPECT_EQ(writeCsvExport(grid, out), ExportStatus::Written);  // all of it still in the buffer
  EXPECT_FALSE(out.flush());
  EXPECT_FALSE(out.flush());  // a failed output stays failed
}

TEST(ProtocolExport, WritesRowsFromOneOnOfColumnZeroWithCrLf) {
  Grid grid;
  grid.setColumnCount(1);
  grid.setRowCount(4);
  grid.setCell(0, 0, "Log как он есть"_w);
  grid.setCell(0, 2, "TxD 82 10 F1 21 01 A5");
  grid.setCell(0, 3, "Ответ: 84 F1 10 61 01"_w);
  TempDir dir;
  ASSERT_EQ(exportProtocolFile(grid, dir / "p.log").status, ExportStatus::Written);
  EXPECT_EQ(test::readFile(dir / "p.log"), "\r\nTxD 82 10 F1 21 01 A5\r\n" + std::string("Ответ: 84 F1 10 61 01"_w) + "\r\n");

  // Cancelled before the first row: nothing written.
  test::ScriptedProgress progress(1);
  EXPECT_THROW(exportProtocolFile(grid, dir / "q.log", progress), Cancelled);
  EXPECT_FALSE(fs::exists(dir / "q.log"));
}

}  // namespace
}  // namespace tervolin

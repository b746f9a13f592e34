#include "charts/matrix_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/matrix_chart.h"
#include "charts/matrix_grid.h"
#include "charts/matrix_heat.h"
#include "charts/matrix_items.h"
#include "charts/matrix_ranges.h"
#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

std::vector<Sample> samplesIn(int xb, int yb, std::initializer_list<double> zs) {
  std::vector<Sample> out;
  for (const double z : zs) out.push_back({0, 0, z, xb, yb});
  return out;
}

TEST(MatrixModes, EveryModeOfOneCellAsTheListNamesIt) {
  // z = 0, 0, 3, -1.5 in sample order.
  const auto samples = samplesIn(0, 0, {0, 0, 3, -1.5});
  const MatrixCells cells(samples, 1, 1);
  struct Row {
    const char* item;
    const char* text;
  };
  const Row rows[] = {
      {"Первое значение", "0,00"},
      {"Максимальные значения", "3,00"},
      {"Минимальные значения", "-1,50"},
      {"Среднее значение", "0,38"},  // 0.375: the half goes away from zero
      {"Кол-во значений", "4"},
      {"Кол-во ненулевых значений", "2"},
      {"Сумма значений", "1,50"},
  };
  ASSERT_EQ(kAggregationModes.size(), std::size(rows));
  for (std::size_t m = 0; m < std::size(rows); ++m) {
    EXPECT_EQ(cp1251ToUtf8(kAggregationModes[m].item), rows[m].item);
    EXPECT_EQ(cellText(cells.at(0, 0), static_cast<int>(m), ','), rows[m].text) << rows[m].item;
  }
}

TEST(MatrixModes, StartValuesEmptyCellsMinimumHitsAndTheFirstSample) {
  auto samples = samplesIn(0, 0, {-70000, -80000});
  const auto high = samplesIn(1, 0, {70000, 90000});
  samples.insert(samples.end(), high.begin(), high.end());
  samples.push_back({0, 0, 5, 0, 1});
  const MatrixCells cells(samples, 3, 2);
  // Largest starts at −65535 and smallest at 65535: values beyond never
  // replace them.
  EXPECT_EQ(cellText(cells.at(0, 0), 1, '.'), "-65535.00");
  EXPECT_EQ(cellText(cells.at(1, 0), 2, '.'), "65535.00");
  EXPECT_EQ(cellText(cells.at(0, 0), 0, '.'), "-70000.00");  // the earliest sample
  EXPECT_EQ(cellText(cells.at(1, 0), 6, '.'), "160000.00");
  for (int m = 0; m < 7; ++m) EXPECT_EQ(cellText(cells.at(2, 0), m, '.'), "") << m;  // no samples
  // Minimum hits: a cell with fewer samples is empty in every mode.
  for (int m = 0; m < 7; ++m) {
    EXPECT_EQ(cellText(cells.at(0, 1), m, '.', 2), "") << m;
    EXPECT_NE(cellText(cells.at(0, 0), m, '.', 2), "") << m;
  }
  EXPECT_FALSE(cellValue(cells.at(0, 0), 7).has_value());
  // A large sum keeps every integer digit.
  const auto big = samplesIn(0, 0, {6500.25, 3.25e9});
  EXPECT_EQ(cellText(MatrixCells(big, 1, 1).at(0, 0), 6, ','), "3250006500,25");
}

TEST(MatrixGrid, HeadersWidthsCellsAndClipboardText) {
  const MatrixAxes axes{AxisBins(500, 500, 2), AxisBins(0, 12.5, 1)};
  std::vector<Sample> samples = samplesIn(1, 0, {2, 4});
  samples.push_back({0, 0, 7.125, 2, 1});
  const MatrixCells cells(samples, 3, 2);
  Grid grid;
  layOutMatrixGrid(axes, ',', grid);
  fillMatrixGrid(cells, 3, 1, ',', grid);
  ASSERT_EQ(grid.columnCount(), 4);
  ASSERT_EQ(grid.rowCount(), 3);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(grid.columnWidth(c), 50);
  EXPECT_EQ(matrixClipboardText(grid),
            "\t500,00\t1000,00\t1500,00\r\n"
            "0,00\t\t3,00\t\r\n"
            "12,50\t\t\t7,13\r\n");
  // A refill in another mode replaces every cell.
  layOutMatrixGrid(axes, ',', grid);
  fillMatrixGrid(cells, 4, 2, ',', grid);
  EXPECT_EQ(matrixClipboardText(grid),
            "\t500,00\t1000,00\t1500,00\r\n"
            "0,00\t\t2\t\r\n"
            "12,50\t\t\t\r\n");
}

TEST(MatrixGrid, TheSpreadsheetTakesEveryRowHeadersIncluded) {
  Grid grid;
  layOutMatrixGrid({AxisBins(500, 500, 1), AxisBins(0, 12.5, 0)}, ',', grid);
  grid.setCell(2, 1, "7,13");
  const MatrixSheet sheet(grid);
  ASSERT_EQ(sheet.rowCount(), 2u);
  ASSERT_EQ(sheet.columnCount(), 3u);
  EXPECT_EQ(sheet.cell(0, 0), "");
  EXPECT_EQ(sheet.cell(0, 2), "1000,00");
  EXPECT_EQ(sheet.cell(1, 0), "0,00");
  EXPECT_EQ(sheet.cell(1, 2), "7,13");
  test::TempDir dir;
  const ExportResult written = writeXlsx(sheet, dir / "m.xlsx");
  EXPECT_EQ(written.status, ExportStatus::Written);
  EXPECT_GT(std::filesystem::file_size(dir / "m.xlsx"), 0u);
}

TEST(MatrixChart, SeriesPerRowTitledByYAndTheRowOfTheTrackBar) {
  const MatrixAxes axes{AxisBins(500, 500, 2), AxisBins(10, 5, 1)};
  std::vector<Sample> samples = samplesIn(0, 0, {2, 4});
  samples.push_back({0, 0, 9, 2, 0});
  samples.push_back({0, 0, 1, 1, 1});
  const MatrixCells cells(samples, 3, 2);
  const auto series = chartSeries(axes, cells, 4, ',');
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[0].title, "10,00");
  EXPECT_EQ(series[1].title, "15,00");
  EXPECT_EQ(series[0].points, (std::vector<ChartPoint>{{500, 2}, {1500, 1}}));
  EXPECT_EQ(rowPoints(axes, cells, 1, 0), (std::vector<ChartPoint>{{1000, 1}}));
  EXPECT_TRUE(rowPoints(axes, cells, 2, 0).empty());
}

TEST(MatrixHeat, ScaleOverShownCellsAndColoursFromBlueToRed) {
  std::vector<Sample> samples = samplesIn(0, 0, {2});
  samples.push_back({0, 0, 10, 1, 0});
  samples.push_back({0, 0, 50, 1, 0});
  const MatrixCells cells(samples, 3, 1);
  const auto scale = heatScale(cells, 0, 1);
  ASSERT_TRUE(scale);
  EXPECT_EQ(scale->low, 2);
  EXPECT_EQ(scale->high, 10);
  EXPECT_EQ(heatScale(cells, 6, 1)->high, 60);
  EXPECT_EQ(heatScale(cells, 0, 2)->low, 10);  // the single-sample cell is not shown
  EXPECT_FALSE(heatScale(cells, 0, 3));
  const Rgb low = heatColour(2, *scale), high = heatColour(10, *scale), mid = heatColour(6, *scale);
  EXPECT_GT(low.b, low.r);
  EXPECT_GT(high.r, high.b);
  EXPECT_GT(mid.g, mid.r);
  EXPECT_GT(mid.g, mid.b);
  EXPECT_EQ(heatColour(-5, *scale), low);  // clamped to the scale
  EXPECT_EQ(heatColour(99, *scale), high);
  EXPECT_EQ(heatColour(3, HeatScale{3, 3}), mid);
}

TEST(MatrixItems, ItemTextsAndRecordKeys) {
  const ParamDef def{"21010A", std::string("Обороты"_w), "", "0C01", "", 0};
  EXPECT_EQ(matrixItem(def, 4), "2101/0C01 " + std::string("Обороты"_w));
  EXPECT_EQ(matrixItem(def, 6), "21010A/0C01 " + std::string("Обороты"_w));
  EXPECT_EQ(matrixItem({"2101", "N", "", "0C01", "", 0}, 6), "2101/0C01 N");
  EXPECT_EQ(matrixItem({"2101", "N", "", "0C01", "", 0}, 0), "/0C01 N");
  EXPECT_EQ(matrixRecordKey({"21010A", "0C01", "rpm", "N"}), "21010A/0C01 N");
  RecordList list;
  list.addSource({"2101", "0C01", "", "N"});
  list.addSource({"2101", "0C01", "", "M"});
  EXPECT_EQ(sourcesOfItem(list, "2101/0C01 N"), (std::vector<bool>{true, false}));
}

TEST(MatrixRanges, ScanWritesMinStepMaxWithTheDecimalMark) {
  RecordList list;
  const auto rpm = list.addSource({"2101", "0200", "", "N"});
  const auto other = list.addSource({"2101", "0300", "", "T"});
  for (const char* v : {"800", "0", "6000", "3500,5"}) list.append(0, rpm, v);
  list.append(0, other, "-9000");
  test::ScriptedChannel channel;
  const ValueRange r = scanRange(list, "2101/0200 N", ',', channel);
  EXPECT_EQ(r.smallest, 0);
  EXPECT_EQ(r.largest, 6000);
  const AxisTexts t = axisTexts(r, ',');
  EXPECT_EQ(t.min, "0,00");
  EXPECT_EQ(t.step, "375,0");
  EXPECT_EQ(t.max, "6000,00");
  EXPECT_TRUE(channel.events.empty());
  // Nothing found: the start values.
  const AxisTexts none = axisTexts(scanRange(list, "nothing", ',', channel), ',');
  EXPECT_EQ(none.min, "65535,00");
  EXPECT_EQ(none.max, "-65535,00");
  EXPECT_EQ(none.step, "-8191,9");
}

TEST(MatrixRanges, AValueThatDoesNotConvertEndsTheScanWithItsText) {
  RecordList list;
  const auto src = list.addSource({"2101", "0200", "", "N"});
  for (const char* v : {"50", "20", "1.5", "90", "5"}) list.append(0, src, v);
  list.append(0, src, "Нет"_w);
  test::ScriptedChannel channel;
  const ValueRange r = scanRange(list, "2101/0200 N", ',', channel);
  EXPECT_EQ(r.smallest, 20);
  EXPECT_EQ(r.largest, 50);
  ASSERT_EQ(channel.texts(test::ScriptedChannel::Event::Message),
            std::vector<std::string>{std::string("Ошибка преобразования"_w) + "1.5"});
  // "Да" and "Нет" read as 1 and 0.
  RecordList flags;
  const auto f = flags.addSource({"2101", "1108", "", "F"});
  flags.append(0, f, "Да"_w);
  flags.append(0, f, "Нет"_w);
  const ValueRange fr = scanRange(flags, "2101/1108 F", ',', channel);
  EXPECT_EQ(fr.smallest, 0);
  EXPECT_EQ(fr.largest, 1);
}

}  // namespace
}  // namespace tervolin

// The side formats: the CSV export of the 500,000 x 40 benchmark table, the
// spreadsheet export (rows per second on part of it), reading that CSV export
// back, and reading a 100 MB XML scan log (file read and parse included).
// Prints cells, records or bytes per second and the process's peak memory.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "bench/bench_table.h"
#include "bench/loggen/profiles.h"
#include "bench/loggen/side_logs.h"
#include "common/paths.h"
#include "logs/csv_log.h"
#include "logs/xml_scan_log.h"
#include "table/csv_export.h"
#include "table/grid.h"
#include "table/table_views.h"
#include "table/xlsx_export.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;
using bench::peakMiB;
using bench::SilentChannel;

constexpr std::size_t kXmlBytes = std::size_t{100} << 20;
constexpr int kXlsxRows = 20'000;

const Grid& benchGrid() {
  static const Grid* grid = [] {
    auto* g = new Grid;
    SilentChannel channel;
    TablSG(bench::tableState(), channel, *g);
    return g;
  }();
  return *grid;
}

fs::path csvExportFile() { return bench::tableFolder().dir / "export.csv"; }

void BM_CsvExport(benchmark::State& bs) {
  const Grid& grid = benchGrid();
  for (auto _ : bs) {
    const ExportResult result = exportCsvFile(grid, csvExportFile());
    if (result.status != ExportStatus::Written) bs.SkipWithError("export failed");
  }
  std::error_code ec;
  bs.counters["cells/s"] = benchmark::Counter(double(grid.rowCount() - 2) * grid.columnCount(),
                                              benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["file_MiB"] = double(fs::file_size(csvExportFile(), ec)) / (1 << 20);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvReadBack(benchmark::State& bs) {
  if (!fs::exists(csvExportFile())) exportCsvFile(benchGrid(), csvExportFile());
  AppState state;
  state.requestCodeWidth = 4;
  SilentChannel channel;
  for (auto _ : bs) {
    ReadCSV(state, channel, csvExportFile());
    benchmark::DoNotOptimize(state.records.size());
  }
  bs.counters["records/s"] = benchmark::Counter(double(state.records.size()), benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_CsvReadBack)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first rows of the benchmark table, for the spreadsheet export.
class FirstRows final : public CellSource {
 public:
  FirstRows(const Grid& grid, std::size_t rows) : sheet_(grid), rows_(rows) {}
  std::size_t rowCount() const override { return std::min(rows_, sheet_.rowCount()); }
  std::size_t columnCount() const override { return sheet_.columnCount(); }
  std::string_view cell(std::size_t r, std::size_t c) const override { return sheet_.cell(r, c); }

 private:
  GridSheet sheet_;
  std::size_t rows_;
};

void BM_XlsxExport(benchmark::State& bs) {
  const FirstRows rows(benchGrid(), kXlsxRows);
  const fs::path target = bench::tableFolder().dir / "export.xlsx";
  for (auto _ : bs) {
    if (writeXlsx(rows, target).status != ExportStatus::Written) bs.SkipWithError("export failed");
  }
  bs.counters["rows/s"] = benchmark::Counter(double(kXlsxRows), benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["cells/s"] = benchmark::Counter(double(kXlsxRows) * double(rows.columnCount()),
                                              benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_XlsxExport)->Unit(benchmark::kMillisecond)->Iterations(2);

// A 100 MB scan log of the benchmark profile: responses 61 01 with 32 data
// bytes, 40 definitions on them.
const fs::path& xmlLog() {
  static const fs::path file = [] {
    const loggen::Profile profile = loggen::benchProfile();
    const std::string sample = loggen::xmlScanLog(profile, {"2101"}, 1000, 7);
    const std::size_t entries = kXmlBytes / (sample.size() / 1000);
    const fs::path path = bench::tableFolder().dir / "scan.xml";
    writeFileAtomically(path, loggen::xmlScanLog(profile, {"2101"}, entries, 7));
    return path;
  }();
  return file;
}

void BM_XmlScanLog100MB(benchmark::State& bs) {
  const fs::path& file = xmlLog();
  AppState state;
  const loggen::Profile profile = loggen::benchProfile();
  for (const loggen::Definition& d : profile.definitions)
    state.definitions.push_back({loggen::compactCode(d.request), d.name, d.unit, d.position, d.formula,
                                 static_cast<int>(state.definitions.size())});
  SilentChannel channel;
  bench::resetPeakMemory();
  for (auto _ : bs) {
    std::string bytes;
    readWholeFile(file, bytes);
    if (readXmlScanLog(bytes, state, channel).status != XmlReadStatus::Read) bs.SkipWithError("read failed");
  }
  std::error_code ec;
  const double bytes = double(fs::file_size(file, ec));
  bs.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["records"] = double(state.records.size());
  bs.counters["file_MiB"] = bytes / (1 << 20);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_XmlScanLog100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

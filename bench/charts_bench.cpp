// Series of the parameter graphs from the benchmark log: 1,000,000 lines,
// 500,000 polls of "21 01" answered by 40 definitions (20 M records). Six
// series (500,000 points each) are built as "Построить" builds them, with
// fit mode off and on; the cursor readout is the labels of all six series
// at one x value.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/bench_support.h"
#include "bench/loggen/loggen.h"
#include "charts/series_build.h"
#include "charts/series_items.h"
#include "charts/series_readout.h"
#include "common/app_state.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

// The opened benchmark log, made once for every benchmark of this program.
struct OpenedLog {
  fs::path dir = fs::temp_directory_path() / "tervolin-charts-bench";
  AppState state;
  SeriesRequest request;

  OpenedLog() {
    std::string error;
    auto files = loggen::benchProfileFiles();
    files.push_back({"big.log", loggen::bigLog(1'000'000)});
    if (!loggen::writeFiles(dir, files, error)) throw std::runtime_error(error);
    state.programDir = dir;
    state.orvikPath = dir;
    state.profileCode = "Toyota";
    state.workingFolder = dir / "Toyota";
    state.tableOnly = 1;
    bench::SilentChannel channel;
    {
      Grid grid;
      openLog(state, channel, dir / "big.log", grid);
    }
    // Six parameters spread over the answered definitions.
    const std::size_t n = state.definitions.size();
    for (int k = 0; k < kSeriesCount; ++k) {
      const ParamDef& d = state.definitions[(static_cast<std::size_t>(k) * 7) % n];
      request.items[k] = seriesItem(d.requestCode, d.positionField, d.name, state.requestCodeWidth);
    }
    request.timing = "50";
  }
  ~OpenedLog() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  static OpenedLog& get() {
    static OpenedLog log;
    return log;
  }
};

void buildSix(benchmark::State& bm, bool fit) {
  OpenedLog& log = OpenedLog::get();
  SeriesRequest request = log.request;
  request.fit = fit;
  bench::SilentChannel channel;
  std::array<SeriesData, kSeriesCount> series;
  double step = 0;
  std::size_t points = 0;
  for (auto _ : bm) {
    const AxisBounds axis = buildSeries({log.state.records, log.state.definitions.size(), log.state.requestCodeWidth,
                                         log.state.decimalMark},
                                        request, step, series, channel);
    benchmark::DoNotOptimize(axis);
    points = 0;
    for (const SeriesData& s : series) points += s.count();
  }
  bm.counters["records"] = static_cast<double>(log.state.records.size());
  bm.counters["points"] = static_cast<double>(points);
  bm.counters["records/s"] =
      benchmark::Counter(static_cast<double>(log.state.records.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_BuildSixSeries(benchmark::State& bm) { buildSix(bm, false); }
BENCHMARK(BM_BuildSixSeries)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_BuildSixSeriesFitMode(benchmark::State& bm) { buildSix(bm, true); }
BENCHMARK(BM_BuildSixSeriesFitMode)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The labels of one cursor position on six series of 10,000,000 points.
void BM_CursorLabels(benchmark::State& bm) {
  std::array<SeriesData, kSeriesCount> series;
  for (SeriesData& s : series) {
    s.x.resize(10'000'000);
    s.raw.resize(s.x.size());
    for (std::size_t i = 0; i < s.x.size(); ++i) {
      s.x[i] = static_cast<double>(i) * 0.05;
      s.raw[i] = static_cast<double>(i % 977);
    }
  }
  double xv = 0;
  for (auto _ : bm) {
    xv += 1234.567;
    if (xv > 500'000) xv -= 500'000;
    for (const SeriesData& s : series) benchmark::DoNotOptimize(labelText(s, xv, '.'));
  }
}
BENCHMARK(BM_CursorLabels)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

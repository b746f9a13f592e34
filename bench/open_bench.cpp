// The whole open of a large text log, as the open command does it with
// "table only" set: layout detection, used-parameter selection, record
// reading and the filled Table grid. 1,000,000 lines (500,000 polls of
// "21 01" answered with 32 data bytes by 40 definitions; pids.ini holds 300
// definitions over 8 request codes). Prints wall time, records and cells per
// second and the process's peak resident memory during the open (the
// benchmark's own baseline of a few MiB included).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "bench/loggen/loggen.h"
#include "common/app_state.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;
using bench::SilentChannel;
using bench::procStatusMiB;
using bench::resetPeakMemory;

struct BigFolder {
  fs::path dir = fs::temp_directory_path() / "tervolin-open-bench";
  fs::path log = dir / "big.log";
  BigFolder() {
    std::string error;
    auto files = loggen::benchProfileFiles();
    files.push_back({"big.log", loggen::bigLog(1'000'000)});
    if (!loggen::writeFiles(dir, files, error)) throw std::runtime_error(error);
  }
  // The state the open command leaves before reading: profile, folders and
  // "table only" set.
  std::unique_ptr<AppState> freshState() const {
    auto app = std::make_unique<AppState>();
    app->programDir = dir;
    app->orvikPath = dir;
    app->profileCode = "Toyota";
    app->workingFolder = dir / "Toyota";
    app->tableOnly = 1;
    return app;
  }
  ~BigFolder() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

void BM_OpenLargeLogToTable(benchmark::State& state) {
  static BigFolder folder;
  SilentChannel channel;
  double peak = 0;
  std::size_t records = 0, cells = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto app = folder.freshState();
    auto grid = std::make_unique<Grid>();
    resetPeakMemory();
    state.ResumeTiming();

    openLog(*app, channel, folder.log, *grid);

    state.PauseTiming();
    peak = bench::peakMiB();
    records = app->records.size();
    cells = static_cast<std::size_t>(grid->rowCount() - 2) * static_cast<std::size_t>(grid->columnCount());
    grid.reset();
    app.reset();
    state.ResumeTiming();
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["cells"] = static_cast<double>(cells);
  state.counters["peak_MiB"] = peak;
}
BENCHMARK(BM_OpenLargeLogToTable)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_OpenLargeLogToLogView(benchmark::State& state) {
  static BigFolder folder;
  SilentChannel channel;
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto app = folder.freshState();
    auto grid = std::make_unique<Grid>();
    openLog(*app, channel, folder.log, *grid);
    app->viewMode = ViewMode::Log;
    const double before = procStatusMiB("VmRSS");
    resetPeakMemory();
    state.ResumeTiming();

    showCurrentView(*app, channel, *grid);

    state.PauseTiming();
    peak = bench::peakMiB() - before;
    grid.reset();
    app.reset();
    state.ResumeTiming();
  }
  state.counters["peak_extra_MiB"] = peak;
}
BENCHMARK(BM_OpenLargeLogToLogView)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

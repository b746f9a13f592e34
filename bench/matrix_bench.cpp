// The matrix build and fill on the benchmark log: 1,000,000 lines make
// 500,000 polls of 40 parameters (20 M records), so 500,000 samples; engine
// speed as X, load as Y, injection time as data, the quantisation the range
// scans write (17 × 17 cells). A log of 200,000 lines gives 100,000 samples.
// The log is opened once per size (not timed); each iteration is what
// "&ПУСК!" does with tab "Матрица" active: the walk through the records and
// the matrix fill.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "charts/matrix_cells.h"
#include "charts/matrix_items.h"
#include "charts/matrix_logic.h"
#include "common/app_state.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin {
namespace {
using bench::SilentChannel;

// The benchmark log of `lines` lines, opened in Table view.
struct OpenedLog {
  AppState app;
  SilentChannel channel;
  MemoryRegistry registry;

  explicit OpenedLog(std::size_t lines) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tervolin-matrix-bench-" + std::to_string(lines));
    app = bench::writeBenchLog(dir, lines);
    Grid grid;
    openLog(app, channel, dir / "big.log", grid);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  // The item of the first definition whose name starts with `name`.
  std::string item(std::string_view name) const {
    for (const ParamDef& d : app.definitions)
      if (d.name.starts_with(name)) return matrixItem(d, app.requestCodeWidth);
    throw std::runtime_error("no such parameter in the benchmark profile");
  }
};

OpenedLog& opened(std::size_t lines) {
  static std::map<std::size_t, std::unique_ptr<OpenedLog>> logs;
  auto& log = logs[lines];
  if (!log) log = std::make_unique<OpenedLog>(lines);
  return *log;
}

// A window's logic with speed, load and injection chosen (the scans fill
// the quantisation grid).
std::unique_ptr<MatrixLogic> chosen(OpenedLog& log) {
  auto logic = std::make_unique<MatrixLogic>(log.app, log.registry, log.channel);
  logic->activate();
  logic->selectX(log.item("Обороты"_w));
  logic->selectY(log.item("Нагрузка"_w));
  logic->selectData(log.item("Впрыск"_w));
  return logic;
}

void report(benchmark::State& state, const OpenedLog& log, const MatrixLogic& logic) {
  state.counters["records"] = static_cast<double>(log.app.records.size());
  state.counters["samples"] = static_cast<double>(logic.lastSample() + 1);
  state.counters["cells"] = static_cast<double>(logic.axes().cellCount());
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(log.app.records.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MatrixBuildAndFill(benchmark::State& state) {
  OpenedLog& log = opened(static_cast<std::size_t>(state.range(0)));
  auto logic = chosen(log);
  for (auto _ : state) {
    if (!logic->buildNow()) state.SkipWithError("the build did not run");
    logic->fillMatrix();
    benchmark::DoNotOptimize(logic->grid().cell(1, 1));
  }
  report(state, log, *logic);
}
BENCHMARK(BM_MatrixBuildAndFill)->Arg(1'000'000)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fill alone: one pass over the samples for all seven modes, then the
// grid texts of one mode.
void BM_MatrixFillOnly(benchmark::State& state) {
  OpenedLog& log = opened(static_cast<std::size_t>(state.range(0)));
  auto logic = chosen(log);
  logic->buildNow();
  const std::span<const Sample> samples(logic->samples().data(), logic->lastSample() + 1);
  for (auto _ : state) {
    const MatrixCells cells(samples, logic->axes().x.count(), logic->axes().y.count());
    benchmark::DoNotOptimize(cells.at(0, 0).count);
  }
  report(state, log, *logic);
}
BENCHMARK(BM_MatrixFillOnly)->Arg(1'000'000)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The range scan that choosing a parameter runs.
void BM_MatrixRangeScan(benchmark::State& state) {
  OpenedLog& log = opened(1'000'000);
  auto logic = chosen(log);
  const std::string x = log.item("Обороты"_w);
  for (auto _ : state) logic->selectX(x);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(log.app.records.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MatrixRangeScan)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

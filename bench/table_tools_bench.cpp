// The table tools on the Table view of the 1,000,000-line benchmark log
// (500,000 rows of 40 columns): a filter on the engine speed, deleting a row
// near the top (every row after it moves up) and deleting the first column.
// Each iteration works on a fresh copy of the opened table, made outside
// the timing.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "common/app_state.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/open_log.h"
#include "table/table_filter.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;
using bench::SilentChannel;

struct OpenedTable {
  fs::path dir = fs::temp_directory_path() / "tervolin-table-tools-bench";
  AppState state;
  Grid grid;
  OpenedTable() : state(bench::writeBenchLog(dir, 1'000'000)) {
    SilentChannel channel;
    openLog(state, channel, dir / "big.log", grid);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

OpenedTable& opened() {
  static OpenedTable table;
  return table;
}

void checkShape(benchmark::State& bs, const Grid& grid) {
  if (grid.rowCount() != 500'002 || grid.columnCount() != 40) bs.SkipWithError("unexpected table shape");
}

void BM_FilterEngineSpeed(benchmark::State& bs) {
  OpenedTable& t = opened();
  checkShape(bs, t.grid);
  FilterCondition condition;
  for (const ParamDef& def : t.state.definitions)
    if (def.name.starts_with("Обороты"_w)) {
      condition = {def.name + "  " + def.requestCode, ">", "2000"};
      break;
    }
  SilentChannel channel;
  int left = 0;
  for (auto _ : bs) {
    bs.PauseTiming();
    auto grid = std::make_unique<Grid>(t.grid);
    bs.ResumeTiming();
    ApplyFiltr(t.state, channel, *grid, condition);
    bs.PauseTiming();
    left = grid->rowCount() - 2;
    grid.reset();
    bs.ResumeTiming();
  }
  bs.counters["rows_left"] = left;
  bs.counters["rows/s"] = benchmark::Counter(500'000.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FilterEngineSpeed)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

template <class Edit>
void timeEdit(benchmark::State& bs, Edit edit) {
  OpenedTable& t = opened();
  checkShape(bs, t.grid);
  for (auto _ : bs) {
    bs.PauseTiming();
    auto grid = std::make_unique<Grid>(t.grid);
    bs.ResumeTiming();
    edit(*grid);
    bs.PauseTiming();
    grid.reset();
    bs.ResumeTiming();
  }
}

void BM_DeleteRowNearTheTop(benchmark::State& bs) {
  timeEdit(bs, [](Grid& grid) { grid.deleteRow(2); });
}
BENCHMARK(BM_DeleteRowNearTheTop)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_DeleteTenRowsInARow(benchmark::State& bs) {
  timeEdit(bs, [](Grid& grid) {
    for (int k = 0; k < 10; ++k) grid.deleteRow(2);
  });
}
BENCHMARK(BM_DeleteTenRowsInARow)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_DeleteFirstColumn(benchmark::State& bs) {
  timeEdit(bs, [](Grid& grid) { grid.deleteColumn(0); });
}
BENCHMARK(BM_DeleteFirstColumn)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

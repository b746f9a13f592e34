// Building the main grid: the Table view over 20 million records (500,000
// polling cycles of 40 parameters) and the LOG view of a 1,000,000-line log.
// Prints cells or lines per second, the grid's own memory and the process's
// peak memory.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/bench_table.h"
#include "common/app_state.h"
#include "common/paths.h"
#include "common/user_channel.h"
#include "profiles/definition_file.h"
#include "table/grid.h"
#include "table/table_views.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;
using Folder = bench::TableFolder;
using bench::SilentChannel;
using bench::peakMiB;

constexpr int kColumns = bench::kTableColumns;
constexpr int kCycles = bench::kTableCycles;
constexpr int kLogLines = 1'000'000;
using bench::tableState;

Folder& folder() { return bench::tableFolder(); }

void BM_TableView(benchmark::State& bs) {
  AppState& state = tableState();
  SilentChannel channel;
  Grid grid;
  for (auto _ : bs) {
    TablSG(state, channel, grid);
    benchmark::DoNotOptimize(grid.rowCount());
  }
  if (grid.rowCount() != kCycles + 2 || grid.columnCount() != kColumns) bs.SkipWithError("wrong grid shape");
  bs.counters["cells/s"] = benchmark::Counter(double(kCycles) * kColumns, benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["grid_MiB"] = double(grid.memoryBytes()) / (1 << 20);
  bs.counters["records_MiB"] = double(state.records.memoryBytes()) / (1 << 20);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_TableView)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LogView(benchmark::State& bs) {
  const fs::path log = folder().dir / "big.log";
  {
    std::string text;
    text.reserve(std::size_t{kLogLines} * 40);
    char line[96];
    for (int i = 0; i < kLogLines / 2; ++i) {
      const int ms = i * 125;
      std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%03d] TxD 82 10 F1 21 01 A5\r\n", ms / 3600000 % 24,
                    ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
      text += line;
      std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%03d] RxD 84 F1 10 61 01 %02X %02X 5E\r\n", ms / 3600000 % 24,
                    ms / 60000 % 60, ms / 1000 % 60, ms % 1000, i % 256, (i * 7) % 256);
      text += line;
    }
    writeFileAtomically(log, text);
  }
  AppState state;
  state.programDir = folder().dir;
  state.workingFolder = folder().dir;
  SilentChannel channel;
  Grid grid;
  for (auto _ : bs) {
    buildLogView(state, channel, log, grid);
    benchmark::DoNotOptimize(grid.rowCount());
  }
  if (grid.rowCount() != kLogLines + 2) bs.SkipWithError("wrong row count");
  bs.counters["lines/s"] = benchmark::Counter(kLogLines, benchmark::Counter::kIsIterationInvariantRate);
  bs.counters["grid_MiB"] = double(grid.memoryBytes()) / (1 << 20);
  bs.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_LogView)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

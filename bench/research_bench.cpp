// The formula search over the 1,000,000-line benchmark log: 500,000
// responses of 32 data bytes, every byte position tried (16 M decodes) with
// a one-byte formula, every other one with a word formula, and a formula
// whose every value fails to read as a number is left out (it would be 16 M
// messages). Prints wall time, decodes per second and responses counted.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "common/app_state.h"
#include "common/text.h"
#include "research/formula_search.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

// The benchmark log opened as the open command opens it: the layout, the
// profile switches and the records the search reads.
struct BigLog {
  fs::path dir = fs::temp_directory_path() / "tervolin-research-bench";
  AppState state;
  BigLog() : state(bench::writeBenchLog(dir, 1'000'000)) {
    bench::SilentChannel channel;
    Grid grid;
    openLog(state, channel, dir / "big.log", grid);
  }
  ~BigLog() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

void runSearch(benchmark::State& state, std::string_view formula, std::string_view minimum,
               std::string_view maximum, std::uint64_t decodesPerResponse) {
  static BigLog log;
  bench::SilentChannel channel;
  const SearchRequest request{std::string(formula), std::string(minimum), std::string(maximum), false};
  SearchOutcome outcome;
  for (auto _ : state) outcome = searchFormula(log.state, request, channel);
  state.counters["responses"] = static_cast<double>(outcome.responseCount);
  state.counters["positions_found"] = static_cast<double>(outcome.lines.size());
  state.counters["decodes/s"] =
      benchmark::Counter(static_cast<double>(outcome.responseCount * decodesPerResponse),
                         benchmark::Counter::kIsIterationInvariantRate);
}

// Coolant-like range under FT: every one of the 32 bytes of every response.
void BM_SearchEveryByte(benchmark::State& state) {
  runSearch(state, "FT: A-40 (-40.. 215`C) Температура воздуха или жидкости"_w, "80", "95", 32);
}
BENCHMARK(BM_SearchEveryByte)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A fractional formula: values written with decimals and read back.
void BM_SearchEveryByteFractional(benchmark::State& state) {
  runSearch(state, "CT", "15", "100", 32);
}
BENCHMARK(BM_SearchEveryByteFractional)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Word formula: every other byte (the text holds a B), 65536 possible words.
void BM_SearchWords(benchmark::State& state) {
  runSearch(state, "FR: ((A*256)+B)/4 (0..16383) Обороты"_w, "700", "900", 16);
}
BENCHMARK(BM_SearchWords)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace tervolin

BENCHMARK_MAIN();

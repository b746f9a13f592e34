// The text-log reader on a large log: 1,000,000 lines (500,000 request and
// response pairs, every response 21 01 with 32 data bytes), a definition
// table of 300 entries over 8 request codes, 40 of them answered.
// Prints the time of layout detection, used-parameter selection and record
// reading, records per second, and the peak resident memory.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/app_state.h"
#include "common/hex.h"
#include "common/user_channel.h"
#include "logs/layout_detection.h"
#include "logs/text_log_records.h"
#include "logs/used_parameters.h"

namespace {

using namespace tervolin;
using bench::SilentChannel;

constexpr int kPairs = 500000;

const std::string& bigLog() {
  static const std::string log = [] {
    std::string text;
    text.reserve(static_cast<std::size_t>(kPairs) * 140);
    std::uint32_t x = 12345;
    for (int i = 0; i < kPairs; ++i) {
      text += "TxD 82 10 F1 21 01 A5\r\n";
      text += "RxD A2 F1 10 61 01";
      for (int b = 0; b < 32; ++b) {
        x = x * 1664525u + 1013904223u;
        text += ' ';
        text += hexByte(static_cast<std::uint8_t>(x >> 24));
      }
      text += " 5E\r\n";
    }
    return text;
  }();
  return log;
}

std::vector<ParamDef> definitions() {
  // 40 answered definitions of 2101 (whole bytes and bits, with and without
  // a formula), then 260 over 2102..2108.
  static const char* kFormulas[] = {"FT", "FI", "F1", "FK", "X8", "FP", "FZ", "FD"};
  std::vector<ParamDef> defs;
  for (int i = 0; i < 300; ++i) {
    ParamDef d;
    const int code = i < 40 ? 1 : 2 + (i % 7);
    d.requestCode = "21" + hexByte(static_cast<std::uint8_t>(code));
    d.name = "P" + std::to_string(i);
    d.unit = "u";
    d.positionField = hexByte(static_cast<std::uint8_t>(i % 32)) + (i % 3 == 0 ? hexByte(static_cast<std::uint8_t>(8 + i % 8)) : "00");
    d.formulaCode = kFormulas[i % 8];
    d.column = i;
    defs.push_back(d);
  }
  return defs;
}

void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_FindAddr(benchmark::State& state) {
  const std::string& log = bigLog();
  for (auto _ : state) benchmark::DoNotOptimize(detectLayout(log));
  reportPeakMemory(state);
}
BENCHMARK(BM_FindAddr)->Unit(benchmark::kMillisecond);

void BM_UsedParameterSelection(benchmark::State& state) {
  const std::string& log = bigLog();
  const auto defs = definitions();
  const LogLayout layout = detectLayout(log);
  std::size_t used = 0;
  for (auto _ : state) used = selectUsedDefinitions(log, defs, layout, "VAZ", 0).size();
  state.counters["used"] = static_cast<double>(used);
  state.counters["lines_per_s"] =
      benchmark::Counter(2.0 * kPairs * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  reportPeakMemory(state);
}
BENCHMARK(BM_UsedParameterSelection)->Unit(benchmark::kMillisecond);

// Selection of a length-byte profile whose requests move the extra offset,
// where the log has to be walked to the end.
void BM_UsedParameterSelectionLengthByte(benchmark::State& state) {
  const std::string& log = bigLog();
  const auto defs = definitions();
  const LogLayout layout = detectLayout(log);
  for (auto _ : state) benchmark::DoNotOptimize(selectUsedDefinitions(log, defs, layout, "M11E3", 3));
  reportPeakMemory(state);
}
BENCHMARK(BM_UsedParameterSelectionLengthByte)->Unit(benchmark::kMillisecond);

void BM_RecordReading(benchmark::State& state) {
  const std::string& log = bigLog();
  AppState app;
  app.layout = detectLayout(log);
  const auto defs = definitions();
  const auto used = selectUsedDefinitions(log, defs, app.layout, "VAZ", 0);
  for (const std::size_t d : used) app.definitions.push_back(defs[d]);
  SilentChannel channel;
  std::size_t records = 0;
  for (auto _ : state) {
    readTextLogRecords(log, app, channel, {state.range(0) ? kSplitLogsAbove : std::size_t(-1)});
    records += app.records.size();
  }
  state.counters["records"] = static_cast<double>(app.records.size());
  state.counters["records_per_s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
  state.counters["list_MB"] = static_cast<double>(app.records.memoryBytes()) / (1024.0 * 1024.0);
  reportPeakMemory(state);
}
BENCHMARK(BM_RecordReading)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();

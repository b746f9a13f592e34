// Decoding throughput on 32-byte responses: a mix of one-byte, word and
// status definitions, through DecodeDan and through the prepared road the
// log readers use (response split once, definitions prepared once).

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "decode/decode_batch.h"
#include "decode/decode_dan.h"
#include "decode/decode_fast.h"

namespace {

using namespace tervolin;

struct Definition {
  const char* request;
  const char* position;
  const char* formula;
};

// A profile-like mix: mostly one-byte and word scalings, some flags and
// status requests.
constexpr Definition kMix[] = {
    {"2101", "0000", "FT"}, {"2101", "0100", "F1"}, {"2101", "0200", "FR"}, {"2101", "0400", "FK"},
    {"2101", "0500", "NB"}, {"2101", "0600", "FI"}, {"2101", "0700", "X4"}, {"2101", "0900", "N3"},
    {"2101", "0B00", "FZ"}, {"2101", "0C0B", "B8"}, {"2101", "0D00", "XZ"}, {"2101", "0E00", "FF"},
    {"2101", "1000", "V0"}, {"2101", "1100", "bA"}, {"2101", "1300", "C1"}, {"0101", "0000", ""},
    {"0100", "0000", ""},   {"0103", "0000", ""},   {"01B3", "0300", ""},   {"2101", "1800", "FH"},
};

std::vector<std::string> responses() {
  std::mt19937 rng(1);
  std::vector<std::string> out;
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int r = 0; r < 256; ++r) {
    std::string s;
    for (int b = 0; b < 32; ++b) {
      if (b) s += ' ';
      s += kHex[rng() % 16];
      s += kHex[rng() % 16];
    }
    out.push_back(s);
  }
  return out;
}

void BM_DecodeDan(benchmark::State& state) {
  const auto data = responses();
  const DecodeOptions options;
  std::size_t r = 0;
  for (auto _ : state) {
    const std::string& d = data[r++ % data.size()];
    for (const Definition& def : kMix)
      benchmark::DoNotOptimize(DecodeDan(d, def.request, def.position, def.formula, options));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kMix)));
}
BENCHMARK(BM_DecodeDan);

// The prepared road: each response split once, each definition prepared
// once; with `formulasOnly` the status definitions are left out, as most
// profiles have none.
void runPrepared(benchmark::State& state, bool formulasOnly) {
  const auto data = responses();
  std::vector<PreparedDefinition> defs;
  for (const Definition& def : kMix)
    if (!formulasOnly || *def.formula) defs.emplace_back(def.request, def.position, def.formula);
  const DecodeOptions options;
  ResponseBytes bytes;
  std::string out;
  std::size_t r = 0;
  for (auto _ : state) {
    bytes.assign(data[r++ % data.size()]);
    for (const PreparedDefinition& def : defs) {
      decodeInto(bytes, def, options, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(defs.size()));
}

void BM_PreparedDecode(benchmark::State& state) { runPrepared(state, false); }
BENCHMARK(BM_PreparedDecode);

void BM_PreparedDecodeFormulas(benchmark::State& state) { runPrepared(state, true); }
BENCHMARK(BM_PreparedDecodeFormulas);

// The command-line batch decoder on 10,000 input lines.
void BM_DecodeBatch10000Lines(benchmark::State& state) {
  std::string input = "formula\tposition\trequest\tinverse\tdata\n";
  const char* lines[] = {"FT\t0000\t\t0\t7B 1C\n", "FR\t0100\t\t1\t00 F8 1A 00\n",
                         "\t0000\t0101\t0\t83 17 00 00\n", "\t0100\t01B2\t0\tFF\n"};
  for (int k = 0; k < 10000; ++k) input += lines[k % 4];
  std::string output;
  for (auto _ : state) {
    output.clear();
    decodeBatch(input, '.', output);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_DecodeBatch10000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

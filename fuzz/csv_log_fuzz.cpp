// CSV logs through the open road into the Table view.

#include "fuzz/fuzz_support.h"
#include "table/grid.h"
#include "table/open_log.h"

using namespace tervolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Options options = fuzz::splitOptions(data, size);
  AppState state;
  fuzz::prepareState(state, options);
  fuzz::AnsweringChannel channel;
  Grid grid;
  const auto file = fuzz::writeInput("fuzz.csv", options.rest);
  try {
    openLog(state, channel, file, grid);
  } catch (const ProgramEnds&) {
  }
  return 0;
}

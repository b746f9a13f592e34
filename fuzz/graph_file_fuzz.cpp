// Graph files through the open road (Table view), then their LOG view when
// the first byte picks it, as the command-line tool shows it.

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
  const auto file = fuzz::writeInput("fuzz.rtd", options.rest);
  try {
    openLog(state, channel, file, grid);
    if (options.view == ViewMode::Log) {
      state.viewMode = ViewMode::Log;
      showCurrentView(state, channel, grid);
    }
  } catch (const ProgramEnds&) {
  }
  return 0;
}

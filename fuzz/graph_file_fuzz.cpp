// Graph files through the open road (Table view), then their LOG view when
// the first byte picks it, as the command-line tool shows it.

#include "fuzz/fuzz_support.h"
#include "table/open_log.h"

using namespace tervolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::openInput(data, size, "fuzz.rtd",
                  [](AppState& state, UserChannel& channel, Grid& grid, const fuzz::Options& options) {
                    if (options.view != ViewMode::Log) return;
                    state.viewMode = ViewMode::Log;
                    showCurrentView(state, channel, grid);
                  });
  return 0;
}

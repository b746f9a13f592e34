// Text logs through the open road: layout detection, used-parameter
// selection, record reading and the view the first byte picks, then the
// other view from the same records, and the explanation of the first lines
// of the LOG view.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "table/line_explanation.h"
#include "table/open_log.h"

using namespace tervolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::openInput(data, size, "fuzz.log", [](AppState& state, UserChannel& channel, Grid& grid, const fuzz::Options&) {
    state.viewMode = state.viewMode == ViewMode::Log ? ViewMode::Table : ViewMode::Log;
    showCurrentView(state, channel, grid);
    if (state.viewMode == ViewMode::Log) {
      for (int row = 2; row < std::min(grid.rowCount(), 12); ++row) selectCell(state, channel, grid, 0, row);
    }
  });
  return 0;
}

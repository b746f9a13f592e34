#pragma once
// The two views of the main grid.

#include <filesystem>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin {

// Table view: loads the current definition file, headings in rows 0 and 1,
// one row per polling cycle from row 2.
void TablSG(AppState& state, UserChannel& channel, Grid& grid);

// LOG view: "Log как он есть" in row 0, row 1 empty, log line k in row k + 1.
// Loads "pids.ini" (the line explanation uses it).
void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile, Grid& grid);

// The row (below the fixed rows) of the longest text in `column`, so that a
// window can make the column as wide as it; the first such row, or -1 when
// there are no rows below the fixed ones. One character is one byte.
int longestCellRow(const Grid& grid, int column);

}  // namespace tervolin

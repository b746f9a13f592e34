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

}  // namespace tervolin

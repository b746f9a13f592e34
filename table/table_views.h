#pragma once
// The two views of the main grid.

#include <filesystem>
#include <memory>

#include "common/app_state.h"
#include "common/file_bytes.h"
#include "common/progress.h"
#include "common/user_channel.h"
#include "logs/read_split.h"
#include "table/grid.h"

namespace tervolin {

// Table view: loads the current definition file, headings in rows 0 and 1,
// one row per polling cycle from row 2.
// Record lists longer than `split.above` are placed by `split.parts`
// threads at once (0: one per processor core), with the grid of one. A
// cancel (`progress`) throws Cancelled and leaves the grid half-built.
inline constexpr std::size_t kPlaceAtOnceAbove = std::size_t{1} << 18;
void TablSG(AppState& state, UserChannel& channel, Grid& grid, Progress& progress = noProgress(),
            const ReadSplit& split = {kPlaceAtOnceAbove});

// LOG view: "Log как он есть" in row 0, row 1 empty, log line k in row k + 1.
// Loads "pids.ini" (the line explanation uses it). Reads the file.
void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile, Grid& grid,
                  Progress& progress = noProgress());
// The same from the file's bytes as read already (null: it could not be
// read); the grid keeps them.
void buildLogView(AppState& state, UserChannel& channel, const std::filesystem::path& logFile,
                  const std::shared_ptr<const FileBytes>& bytes, Grid& grid, Progress& progress = noProgress());

// The row (below the fixed rows) of the longest text in `column`, so that a
// window can make the column as wide as it; the first such row, or -1 when
// there are no rows below the fixed ones. One character is one byte.
int longestCellRow(const Grid& grid, int column);

}  // namespace tervolin

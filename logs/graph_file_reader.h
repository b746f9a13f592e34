#pragma once
// Reading binary real-time graph files (*.rtd) into the record list.

#include <filesystem>
#include <optional>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/user_channel.h"
#include "logs/read_stop.h"

namespace tervolin {

// Reads the frames into state.records, sets the request interval, writes the
// channels as _tmp.ini in the working folder (in every case) and sets the
// definition file name to "_tmp.ini" ("pids.ini", said, when _tmp.ini
// cannot be written). When a read error ended the reading
// (the file unreadable, a frame of length 0, a cut file), the error dump is
// written and the stop says where (the offset of the frame's length).
// `progress` gets the share read; a cancel throws Cancelled.
std::optional<ReadStop> readGraphFile(AppState& state, UserChannel& channel, const std::filesystem::path& graphFile,
                                      Progress& progress = noProgress());

}  // namespace tervolin

#pragma once
// Reading binary real-time graph files (*.rtd) into the record list.

#include <filesystem>

#include "common/app_state.h"
#include "common/user_channel.h"

namespace tervolin {

// Reads the frames into state.records, sets the request interval, writes the
// channels as _tmp.ini in the working folder (in every case) and sets the
// definition file name to "_tmp.ini".
void readGraphFile(AppState& state, UserChannel& channel, const std::filesystem::path& graphFile);

}  // namespace tervolin

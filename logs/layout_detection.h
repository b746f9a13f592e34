#pragma once
// Layout detection on a text log held in memory: the tester and ECU address
// pairs, the positions where they start and the adapter offset.

#include <filesystem>
#include <string_view>

#include "common/app_state.h"

namespace tervolin {

LogLayout detectLayout(std::string_view logText);

// FindAddr: reads the log and sets state.layout from it (an unreadable log
// gives the layout of an empty one).
void FindAddr(AppState& state, const std::filesystem::path& logFile);

}  // namespace tervolin

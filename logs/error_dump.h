#pragma once
// The error dump error_ini.txt of a failed read.

#include <filesystem>

#include "common/app_state.h"

namespace tervolin {

// error_ini.txt in the working folder, from the records read so far: one
// line per record. The file written, or an empty path when it could not be.
std::filesystem::path writeErrorDump(const AppState& state);

}  // namespace tervolin

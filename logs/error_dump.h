#pragma once
// The error dump error_ini.txt of a failed read.

#include <filesystem>
#include <string>

#include "common/app_state.h"

namespace tervolin {

// error_ini.txt in the working folder, from the records read so far: one
// line per record. The file written, or an empty path when it could not be.
// When it cannot be written, `failure` (when given) gets the message naming
// the file and the reason.
std::filesystem::path writeErrorDump(const AppState& state, std::string* failure = nullptr);

}  // namespace tervolin

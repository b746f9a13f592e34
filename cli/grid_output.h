#pragma once
// How the commands print a grid: every row from row 0, cells joined by TAB
// (\t \n \r \\ escaped), UTF-8, LF line ends; to standard output or, with
// --out, atomically to a file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "table/grid.h"

namespace tervolin::cli {

std::string gridText(const Grid& grid);

// Writes gridText(grid) to `out`, or to standard output when there is none.
// kExitOk, or kExitFailure with "tervolin-cli COMMAND: cannot write FILE".
int writeGridText(std::string_view command, const Grid& grid, const std::optional<std::filesystem::path>& out);

}  // namespace tervolin::cli

#pragma once
// The protocol: the LOG view saved as a text file, one line per grid row
// from row 1 (empty in LOG view) to the last, each the text of column 0,
// CR LF line ends, Windows-1251 as shown.

#include <filesystem>

#include "table/export_file.h"
#include "table/grid.h"

namespace tervolin {

// Progress counts rows; a cancel throws Cancelled.
ExportStatus writeProtocol(const Grid& grid, ChunkedOutput& out, Progress& progress = noProgress());

// The protocol into a file (written whole or not at all).
ExportResult exportProtocolFile(const Grid& grid, const std::filesystem::path& target,
                                Progress& progress = noProgress());

}  // namespace tervolin

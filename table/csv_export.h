#pragma once
// The CSV export of the main grid ("Экспорт в CSV"): comma-separated, every
// field followed by ",", CR LF line ends, in a layout the CSV reader reads
// back (the five leading columns then become ordinary columns).

#include <filesystem>
#include <string>
#include <string_view>

#include "table/export_file.h"
#include "table/grid.h"

namespace tervolin {

// A cell or heading as the CSV export writes it: the first ',' becomes '.',
// then exactly "Да" becomes "1" and exactly "Нет" "0".
std::string csvCellText(std::string_view cell);

// The header "LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,"
// with every column's heading (grid row 1), then one line per grid row from
// row 2: its number from 0, ",,,,,", every cell. Progress counts rows; a
// cancel throws Cancelled.
ExportStatus writeCsvExport(const Grid& grid, ChunkedOutput& out, Progress& progress = noProgress());

// The CSV export into a file (written whole or not at all).
ExportResult exportCsvFile(const Grid& grid, const std::filesystem::path& target,
                           Progress& progress = noProgress());

}  // namespace tervolin

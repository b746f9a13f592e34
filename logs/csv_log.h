#pragma once
// Reading CSV logs: the header names the columns, every further line is one
// moment with a value per column. The columns become the definition table in
// place of the profile's, the values become records.

#include <filesystem>
#include <string_view>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/user_channel.h"

namespace tervolin {

// Reads a CSV log held in memory. The separator is ';' when the first line
// holds one, else ','; there is no quoting, and a field counts only when a
// separator ends it. Replaces state.definitions (one per counted header
// field, at most kMaxDefinitions: more are dropped with one message) and
// state.records (one per counted data field that has a column; the first
// '.' of a value becomes ',', an empty value "0"). A UTF-8 byte order mark
// marks a UTF-8 file, whose text is taken as Windows-1251.
// `progress` gets the share read and the lines; a cancel throws Cancelled.
void readCsvLog(std::string_view bytes, AppState& state, UserChannel& channel, Progress& progress = noProgress());

// ReadCSV: reads the file once and then as readCsvLog. Does nothing when the
// file does not exist; a file that cannot be read is reported and leaves
// empty definitions and records.
void ReadCSV(AppState& state, UserChannel& channel, const std::filesystem::path& file,
             Progress& progress = noProgress());

}  // namespace tervolin

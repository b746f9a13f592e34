#pragma once
// Reading text request/response logs: layout detection, used-parameter
// selection, record reading and the error dump.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/user_channel.h"

namespace tervolin {

// FindAddr: finds the tester and ECU address pairs, their positions and the
// adapter offset; sets state.layout.
void FindAddr(AppState& state, const std::filesystem::path& logFile);

// Writes _usesTblPids.ini in the working folder with the definitions of the
// profile's pids.ini whose responses occur in the log; sets the definition
// file name to "_UsesTblPids.ini". Loads pids.ini through rIniF (messages
// through `channel`).
void selectUsedParameters(AppState& state, UserChannel& channel, const std::filesystem::path& logFile);

// Record reading: loads the current definition file, then fills
// state.records, state.requestCounter and state.requestInterval.
void readTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile);

// error_ini.txt in the working folder, from the records read so far.
void writeErrorDump(const AppState& state);

}  // namespace tervolin

#pragma once
// The application state: one instance, made at start-up and owned by the main
// window (or the command-line tool); every window and reader works on it.

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/param_def.h"
#include "common/record_list.h"

namespace tervolin {

// What layout detection finds in a text log.
struct LogLayout {
  std::string testerPair;  // "10 F1", or "TxD" in adapter logs
  std::string ecuPair;     // "F1 10", or "RxD" in adapter logs
  int testerPosition = 0;  // 1-based position of the tester pair in request lines
  int ecuPosition = 0;     // 1-based position of the ECU pair in response lines
  int adapterOffset = 6;   // 6 for ordinary logs, -3 for adapter logs
};

enum class ViewMode : int { Table = 1, Log = 3 };

// The file the log key was computed from, as it was then: a tool recomputes
// the key only when the file changed.
struct LogKeySource {
  std::filesystem::path file;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified{};
};

struct AppState {
  std::string profileCode;
  std::string lastProfile;
  std::filesystem::path workingFolder;  // folder of Formules.ini and the derived files
  std::filesystem::path orvikPath;      // external program folder; program folder when empty
  std::filesystem::path programDir;     // folder of the running executable
  std::string definitionFileName;       // "pids.ini", "_UsesTblPids.ini" or "_tmp.ini"
  ViewMode viewMode = ViewMode::Log;
  std::int16_t tableOnly = 0;
  std::int16_t graphsOnly = 0;
  std::int16_t tableAutodetect = 0;
  bool csvFlag = false;

  // Per-profile decoding switches, set when a file is opened.
  int lengthOffset = 0;        // 0 or 3: responses carry a length byte
  bool byteOrderInversion = false;
  int requestCodeWidth = 0;    // 4 or 6 hex digits

  LogLayout layout;
  double requestInterval = 0;
  std::uint32_t requestCounter = 0;

  RecordList records;
  DefinitionTable definitions;

  int selectedColumn = 0;
  int selectedRow = 0;
  std::string logKey;           // CRC-32 of the open log, decimal
  LogKeySource logKeySource;    // what logKey was computed from
  std::filesystem::path openFileName;

  char decimalMark = '.';       // the user's locale decimal separator
};

// The external program's folder: orvikPath, or the program folder while
// orvikPath is empty.
inline const std::filesystem::path& externalProgramFolder(const AppState& state) {
  return state.orvikPath.empty() ? state.programDir : state.orvikPath;
}

}  // namespace tervolin

#pragma once
// Parameter definition files (pids.ini and the derived _UsesTblPids.ini and
// _tmp.ini) and the formula file Formules.ini.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/param_def.h"
#include "common/user_channel.h"

namespace tervolin {

inline constexpr std::string_view kPidsIni = "pids.ini";
inline constexpr std::string_view kUsedPidsIni = "_UsesTblPids.ini";
inline constexpr std::string_view kTmpIni = "_tmp.ini";
inline constexpr std::string_view kFormulaFile = "formules.ini";
inline constexpr std::string_view kErrorDump = "error_ini.txt";

// Where a definition file of that name is read from: names other than
// "pids.ini" in the working folder; "pids.ini" beside the executable when
// one lies there, else in the profile's folder of the external program.
std::filesystem::path resolveDefinitionFile(const AppState& state, std::string_view fileName);

// rIniF: loads the definition table named `fileName` into state.definitions,
// with its messages and questions through `channel`. Does nothing while a
// CSV log is open; keeps the old table when the file is missing. May set
// state.definitionFileName to "pids.ini" (empty-file fallback), may ask the
// main window to close, throws ProgramEnds when the formula file is missing.
void rIniF(AppState& state, UserChannel& channel, std::string_view fileName);

// Gives each definition its formula code from the text of a formula file:
// among the lines holding request code + position field the last decides;
// the code is the two characters starting four after the end of the first
// occurrence of the request code in that line (fewer at the line's end);
// no such line leaves it empty. One pass over the text for all definitions.
void assignFormulaCodes(std::span<ParamDef> definitions, std::string_view formulaText);

// Deletes "_tmp.ini" and "_usesTblPids.ini" of the working folder, in any
// letter case (the exit command); missing files and an empty folder name are
// ignored. Returns how many were deleted.
int deleteDerivedDefinitionFiles(const std::filesystem::path& workingFolder);

// Definitions in the four-line file format (request code, name, unit,
// position field; CRLF line ends), as the derived files are written.
std::string definitionFileText(std::span<const ParamDef> definitions);

}  // namespace tervolin

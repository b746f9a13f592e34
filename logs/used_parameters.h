#pragma once
// Used-parameter selection: which definitions of the profile answer some
// response of the log, so that the table gets only columns that can hold
// values.
//
// A definition is found on the first line (from the start of the log) that
// is marked as a response, contains the ECU pair and, with all blanks
// removed, has the first occurrence of the definition's response pattern
// (service + 0x40, then the rest of the request code) in its upper case
// exactly 4 + extra characters after the first occurrence of the ECU pair.
// The extra offset starts at 2 for length-byte profiles (else 0); for some
// length-byte profiles each request line sets it from the request it carries,
// and the value reached when one definition's search stops is where the next
// definition's search starts. The log is walked once: every line records
// which patterns it would confirm under either extra offset, and the
// definitions are then settled in table order from those records.

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_state.h"
#include "common/param_def.h"
#include "common/user_channel.h"
#include "logs/read_split.h"

namespace tervolin {

// The response pattern of a request code ("2101" gives "6101"); empty when
// the code does not start with a hex service (such a definition is never
// found).
std::string responsePattern(std::string_view requestCode);

// Indices of the found definitions, in table order.
// Without an offset rule a long log is walked in pieces at once (`split`).
std::vector<std::size_t> selectUsedDefinitions(std::string_view logText, std::span<const ParamDef> definitions,
                                               const LogLayout& layout, std::string_view profileCode,
                                               int lengthOffset, const ReadSplit& split = {});

// Writes _usesTblPids.ini in the working folder with the definitions of the
// profile's pids.ini whose responses occur in the log; sets the definition
// file name to "_UsesTblPids.ini". Loads pids.ini through rIniF (messages
// through `channel`). When the file cannot be written, says so and leaves
// the definition file name as it is (the open sets "pids.ini").
void selectUsedParameters(AppState& state, UserChannel& channel, const std::filesystem::path& logFile);
// The same for a log already read (an unreadable log is an empty text).
void writeUsedParameters(AppState& state, UserChannel& channel, std::string_view logText);

}  // namespace tervolin

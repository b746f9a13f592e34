#pragma once
// Record reading of a text log held in memory: pairs every response with the
// last request and decodes it for every definition of the request's code.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/user_channel.h"
#include "logs/read_split.h"
#include "logs/read_stop.h"

namespace tervolin {

// Fills state.records (one source per definition, in table order),
// state.requestCounter and state.requestInterval from `logText`, using
// state.definitions and state.layout. Decode failures and request lines with
// a non-hex format byte are reported through `channel` and reading goes on.
// Returns where and why the read ended when a read error (an interval text
// that is not a number in either notation, a length text that is not hex)
// ended it, nothing when the log was read to its end; the records read so
// far stay. The stop's offset and line count in `logText`. A record list
// past its memory limit throws MemoryBudgetExceeded.
//
// Pieces read at once give the records, messages, counter and interval of
// one read, and messages are still sent from the calling thread, in order.
// `progress` gets the bytes read of the log's size and the lines read; a
// cancel throws Cancelled (the state is then half-filled: read on a copy).
std::optional<ReadStop> readTextLogRecords(std::string_view logText, AppState& state, UserChannel& channel,
                                           const ReadSplit& split = {}, Progress& progress = noProgress());

// Record reading of a log file already read: loads the current definition
// file, reads the records as above and writes the error dump when a read
// error ends the read; the stop then names the file and the dump.
std::optional<ReadStop> loadTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile,
                                    std::string_view logText, Progress& progress = noProgress());
// The same reading the file; a log that cannot be read leaves no records
// and the error dump.
std::optional<ReadStop> readTextLog(AppState& state, UserChannel& channel, const std::filesystem::path& logFile);

}  // namespace tervolin

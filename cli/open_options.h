#pragma once
// What every command that opens a log shares ("table", "graphs", and the
// commands that open FILE "as table does"): the common options
//
//     --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C] [--progress] FILE
//
// parsed together with the command's own options, and the open of FILE as
// the program's open command does it.
//
//     OpenOptions o;
//     const CommandOption own[] = {{"--view", true, [&](std::string_view v) { ... }}};
//     if (const auto error = parseOpenArguments(args, own, o)) return usageError("table", kUsage, *error);
//     AppState state;
//     Grid grid;
//     CliChannel channel;
//     if (const int code = openFromOptions("table", o, false, state, channel, grid); code != kExitOk) return code;

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/open_log.h"
#include "table/grid.h"

namespace tervolin::cli {

struct OpenOptions {
  std::string profile;                                 // --profile, as given (ASCII codes)
  std::optional<std::filesystem::path> programDir;     // --program-dir; the executable's folder when absent
  std::optional<std::filesystem::path> orvikPath;      // --orvik-path; the program folder when absent
  char decimalMark = '.';                              // --decimal-mark, one byte
  bool progress = false;                               // --progress: progress lines on standard error
  std::filesystem::path file;                          // FILE
  std::optional<LogKind> kind;                         // read FILE as this kind, not by its extension
};

// One option of a command's own, beside the common ones.
struct CommandOption {
  std::string_view name;  // "--view"
  bool takesValue;        // the next argument is its value
  // Takes the value (empty for an option without one); an error text when
  // the value does not fit.
  std::function<std::optional<std::string>(std::string_view value)> take;
};

// Parses the arguments of a command that opens FILE: the common options,
// the command's own options and one FILE, in any order. An error text when
// they do not fit the usage: the first wrong argument ("--x needs a value",
// "unknown option --x", "one FILE only", a wrong value), then
// "--profile CODE is required" or, for a code that is not one of the
// profile codes (compared exactly), "unknown profile CODE; the profile codes
// are ..." naming them all, then what `ownChecks` finds, then
// "FILE is required".
std::optional<std::string> parseOpenArguments(std::span<const std::string_view> args,
                                              std::span<const CommandOption> own, OpenOptions& options,
                                              const std::function<std::optional<std::string>()>& ownChecks = {});

// Prepares `state` as the open command does (the program folder, the external
// program folder, the profile and its working folder, the decimal mark) and
// opens options.file into `grid`: in Table view ("table only" set), or in
// LOG view when `logView` (a graph file opens in Table view and then shows
// its raw lines). The core's messages go to `channel`, and after them, once,
// where a read error ended the reading early. kExitOk when the file
// is open; otherwise the exit code: for an unreadable file with the reason
// on standard error as "tervolin-cli COMMAND: cannot read FILE"; for a file
// whose reading failed after the core's messages; or for the program ending.
int openFromOptions(std::string_view command, const OpenOptions& options, bool logView, AppState& state,
                    UserChannel& channel, Grid& grid);

}  // namespace tervolin::cli

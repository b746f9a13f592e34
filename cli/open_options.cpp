#include "cli/open_options.h"

#include <fstream>
#include <iostream>
#include <system_error>

#include "cli/cli_progress.h"
#include "cli/command.h"
#include "common/paths.h"
#include "profiles/profile_catalogue.h"
#include "table/open_log.h"

namespace tervolin::cli {
namespace fs = std::filesystem;
namespace {

// The common options, each taking a value.
std::optional<std::string> takeCommon(std::string_view name, std::string_view value, OpenOptions& o) {
  if (name == "--profile") {
    o.profile = value;
  } else if (name == "--program-dir") {
    o.programDir = fs::path(value);
  } else if (name == "--orvik-path") {
    o.orvikPath = fs::path(value);
  } else {
    if (value.size() != 1) return "--decimal-mark takes one character";
    o.decimalMark = value[0];
  }
  return std::nullopt;
}

bool isCommon(std::string_view name) {
  return name == "--profile" || name == "--program-dir" || name == "--orvik-path" || name == "--decimal-mark";
}

bool readable(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  return static_cast<bool>(in);
}

}  // namespace

std::optional<std::string> parseOpenArguments(std::span<const std::string_view> args,
                                              std::span<const CommandOption> own, OpenOptions& o,
                                              const std::function<std::optional<std::string>()>& ownChecks) {
  bool haveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const CommandOption* mine = nullptr;
    for (const CommandOption& option : own)
      if (option.name == a) mine = &option;
    if (a == "--progress" && !mine) {
      o.progress = true;
    } else if (isCommon(a) || (mine && mine->takesValue)) {
      if (i + 1 >= args.size()) return std::string(a) + " needs a value";
      const std::string_view value = args[++i];
      if (auto error = mine ? mine->take(value) : takeCommon(a, value, o)) return error;
    } else if (mine) {
      if (auto error = mine->take({})) return error;
    } else if (a.starts_with("--")) {
      return "unknown option " + std::string(a);
    } else if (haveFile) {
      return "one FILE only";
    } else {
      o.file = fs::path(a);
      haveFile = true;
    }
  }
  if (o.profile.empty()) return "--profile CODE is required";
  if (!isProfileCode(o.profile)) {
    std::string error = "unknown profile " + o.profile + "; the profile codes are";
    for (const std::string_view code : profileCodes()) error.append(" ").append(code);
    return error;
  }
  if (ownChecks)
    if (auto error = ownChecks()) return error;
  if (!haveFile) return "FILE is required";
  return std::nullopt;
}

int openFromOptions(std::string_view command, const OpenOptions& o, bool logView, AppState& state,
                    UserChannel& channel, Grid& grid) {
  state.programDir = o.programDir ? *o.programDir : executableDir();
  if (o.orvikPath) state.orvikPath = *o.orvikPath;
  // The profile given is the last profile, so the preparation never needs
  // the profile dialog.
  state.profileCode = o.profile;
  state.lastProfile = o.profile;
  state.decimalMark = o.decimalMark;
  prepareOpen(state);
  state.tableOnly = logView ? 0 : 1;
  state.viewMode = logView ? ViewMode::Log : ViewMode::Table;

  if (!readable(o.file)) {
    std::cerr << "tervolin-cli " << command << ": cannot read " << o.file.string() << "\n";
    return kExitFailure;
  }
  try {
    std::optional<CliProgress> shown;
    if (o.progress) shown.emplace(command);
    Progress& progress = shown ? static_cast<Progress&>(*shown) : noProgress();
    const OpenOutcome outcome = openLog(state, channel, o.file, grid, progress, o.kind);
    // A read that ended early is told once, after the core's own messages;
    // the file is open with the records read before the error.
    if (outcome.readStop) channel.message(readStopMessage(*outcome.readStop, state.records.size()));
    // A file whose reading failed (its messages are out) has no view.
    if (!outcome.built) return kExitFailure;
    // A graph file always opens in Table view; the LOG view asked for shows
    // its raw lines afterwards.
    if (logView && state.viewMode != ViewMode::Log) {
      state.viewMode = ViewMode::Log;
      showCurrentView(state, channel, grid, progress);
    }
  } catch (const ProgramEnds&) {
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace tervolin::cli

#pragma once
// The open road without windows: the open command's preparation of the
// folders and the profile, and what it does for a chosen file once they are
// settled. Shared by the main window and tervolin-cli.

#include <chrono>
#include <filesystem>
#include <optional>

#include "common/app_state.h"
#include "common/progress.h"
#include "common/user_channel.h"
#include "logs/read_stop.h"
#include "table/grid.h"

namespace tervolin {

enum class LogKind { TextLog, GraphFile, XmlLog, CsvLog };

// By extension: ".rtd" and ".xml" compared exactly, ".csv" in any case,
// everything else a text log.
LogKind logKindOf(const std::filesystem::path& file);

// The open command's preparation, once the external program path has been
// read from the settings (or given): an empty path becomes the program
// folder; then the working folder and the profile: a "pids.ini" beside the
// program makes the program folder the working folder; otherwise a known
// last profile becomes the profile and its folder in the program folder the
// working folder. False when neither applies: the profile is still to be
// chosen (the profile dialog settles both).
bool prepareOpen(AppState& state);

struct OpenOutcome {
  LogKind kind = LogKind::TextLog;
  // False when the reading failed so that no view was built: an XML log
  // that does not parse (the state is left as it was before the open) or
  // whose reading ended at a service that is not hex (the records read so
  // far stay, the grid keeps the previous view).
  bool built = true;
  bool graphsOnly = false;  // read for the parameter graphs alone: no view was built
  // Where a read error ended the reading of a text log or graph file early
  // (the records before it stay): the caller tells the user once, after the
  // open (readStopMessage). A text log that cannot be read at all while the
  // LOG view is built is not here: the LOG view says so itself.
  std::optional<ReadStop> readStop;
  // How long the open took, reading and building the view.
  std::chrono::steady_clock::duration elapsed{};
  // How long the stages of a text log's open took, in seconds.
  struct Timings {
    double read = 0;       // the file read (mapped) once
    double selection = 0;  // layout detection and used-parameter selection
    double records = 0;    // record reading
    double view = 0;       // the view built into the grid
  } timings;
};

// Sets the profile switches from state.profileCode, "pids.ini" as the
// definition file, clears the CSV flag; then reads the file by its kind and
// builds the view of state.viewMode into `grid`: a text log through layout
// detection, used-parameter selection unless the profile skips it and record
// reading (in Table view when table only is set); a graph file, an XML scan
// log or a CSV log (the CSV flag on: its columns are the definitions) always
// in Table view. state.openFileName becomes `file`.
// With graphs only set, a graph file is read by its reader and every other
// file as a text log (used-parameter selection for every profile), and no
// view is built: the parameter graphs window shows the records.
// `progress` gets the stages ("Чтение лога…", "Построение таблицы…"), the
// share of each and the lines read; a cancel throws Cancelled after putting
// `state` and `grid` back as they were, as any failure does. `kind`, when
// given, replaces the kind the extension names (the research reads any file
// as a text log).
OpenOutcome openLog(AppState& state, UserChannel& channel, const std::filesystem::path& file, Grid& grid,
                    Progress& progress = noProgress(), std::optional<LogKind> kind = std::nullopt);

// Builds the view of the current mode from the open file and the records
// (the main window's "show the current view"). False when there was not
// memory enough to build it: the grid then stays as it was (and says so).
bool showCurrentView(AppState& state, UserChannel& channel, Grid& grid, Progress& progress = noProgress());

}  // namespace tervolin

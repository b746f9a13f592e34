#include "table/open_log.h"

#include <chrono>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "common/file_bytes.h"
#include "common/paths.h"
#include "common/text.h"
#include "logs/csv_log.h"
#include "logs/graph_file_reader.h"
#include "logs/layout_detection.h"
#include "logs/log_key.h"
#include "logs/text_log_records.h"
#include "logs/used_parameters.h"
#include "logs/xml_scan_log.h"
#include "profiles/definition_file.h"
#include "profiles/profile_catalogue.h"
#include "table/table_views.h"

namespace tervolin {

LogKind logKindOf(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  if (ext == ".rtd") return LogKind::GraphFile;
  if (ext == ".xml") return LogKind::XmlLog;
  if (ext.size() == 4 && ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 's' &&
      (ext[3] | 0x20) == 'v')
    return LogKind::CsvLog;
  return LogKind::TextLog;
}

bool prepareOpen(AppState& state) {
  state.orvikPath = externalProgramFolder(state);
  if (fileExistsIgnoringCase(state.programDir, kPidsIni)) {
    state.workingFolder = state.programDir;
    return true;
  }
  if (state.lastProfile.empty()) return false;
  state.profileCode = state.lastProfile;
  state.workingFolder = resolveIgnoringCase(state.programDir, state.profileCode);
  return true;
}

namespace {

constexpr std::string_view kNoMemoryToOpen = "Недостаточно памяти для открытия файла "_w;
constexpr std::string_view kEverythingKept = ". Открытый ранее файл и таблица остались как были."_w;
constexpr std::string_view kNoMemoryToShow =
    "Недостаточно памяти для построения таблицы. Таблица осталась как была."_w;

// A fresh grid with the limits of `grid`.
Grid emptyGridLike(const Grid& grid) {
  Grid fresh;
  fresh.setMaxRows(grid.maxRows());
  fresh.setMaxCellBytes(grid.maxCellBytes());
  return fresh;
}

// What an open changes, kept aside while it reads: an open that fails (an
// XML log that does not parse, no memory left) puts it all back, so that the
// file opened before and its view stay as they were.
class PreviousOpen {
 public:
  PreviousOpen(AppState& s, Grid& grid)
      : definitionFileName_(s.definitionFileName),
        csvFlag_(s.csvFlag),
        lengthOffset_(s.lengthOffset),
        byteOrderInversion_(s.byteOrderInversion),
        requestCodeWidth_(s.requestCodeWidth),
        viewMode_(s.viewMode),
        layout_(s.layout),
        requestInterval_(s.requestInterval),
        requestCounter_(s.requestCounter),
        records_(std::move(s.records)),
        definitions_(s.definitions),
        openFileName_(s.openFileName),
        logKey_(s.logKey),
        logKeySource_(s.logKeySource),
        grid_(std::move(grid)) {
    s.records = RecordList();
    s.records.setMemoryLimit(records_.memoryLimit());
    grid = emptyGridLike(grid_);
  }

  // Everything as before the open.
  void restore(AppState& s, Grid& grid) {
    s.definitionFileName = definitionFileName_;
    s.csvFlag = csvFlag_;
    s.lengthOffset = lengthOffset_;
    s.byteOrderInversion = byteOrderInversion_;
    s.requestCodeWidth = requestCodeWidth_;
    s.viewMode = viewMode_;
    s.layout = layout_;
    s.requestInterval = requestInterval_;
    s.requestCounter = requestCounter_;
    s.records = std::move(records_);
    s.definitions = std::move(definitions_);
    s.openFileName = openFileName_;
    s.logKey = logKey_;
    s.logKeySource = logKeySource_;
    restoreGrid(grid);
  }
  // The view as before the open; the state as the read left it.
  void restoreGrid(Grid& grid) { grid = std::move(grid_); }

 private:
  std::string definitionFileName_;
  bool csvFlag_;
  int lengthOffset_;
  bool byteOrderInversion_;
  int requestCodeWidth_;
  ViewMode viewMode_;
  LogLayout layout_;
  double requestInterval_;
  std::uint32_t requestCounter_;
  RecordList records_;
  DefinitionTable definitions_;
  std::filesystem::path openFileName_;
  std::string logKey_;
  LogKeySource logKeySource_;
  Grid grid_;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point& since) {
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - since).count();
  since = now;
  return seconds;
}

constexpr std::string_view kReadingStage = "Чтение лога…"_w;
constexpr std::string_view kTableStage = "Построение таблицы…"_w;

// The view of the current mode, built into `grid`; what fails is thrown. A
// LOG view is built from `bytes` when they are given (the file as just read),
// else from the file read again.
void buildCurrentView(AppState& state, UserChannel& channel, Grid& grid, Progress& progress,
                      const std::shared_ptr<const FileBytes>* bytes = nullptr) {
  if (state.viewMode == ViewMode::Log) {
    if (bytes) buildLogView(state, channel, state.openFileName, *bytes, grid, progress);
    else buildLogView(state, channel, state.openFileName, grid, progress);
    return;
  }
  progress.stage(kTableStage);
  try {
    TablSG(state, channel, grid, progress);
  } catch (const ProgramEnds&) {
    throw;
  } catch (const Cancelled&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    channel.message("Ошибка построения таблицы"_w);
  }
}

// A text log read once for every stage: the file is mapped, its key computed
// beside layout detection and used-parameter selection (unless `select` is
// false), then the records read, all from the bytes read. Returns the bytes
// (null when the file could not be read).
std::shared_ptr<const FileBytes> readTextLogOnce(AppState& state, UserChannel& channel,
                                                 const std::filesystem::path& file, bool select, Progress& progress,
                                                 OpenOutcome& outcome) {
  Clock::time_point since = Clock::now();
  std::shared_ptr<const FileBytes> bytes = FileBytes::read(file);
  const std::string_view text = bytes ? bytes->view() : std::string_view();
  outcome.timings.read = secondsSince(since);

  state.openFileName = file;
  state.logKey.clear();
  std::uint32_t crc = 0;
  std::thread key;
  if (bytes) key = std::thread([&crc, text] { crc = GetCRC32(text); });
  struct Joiner {
    std::thread& t;
    ~Joiner() {
      if (t.joinable()) t.join();
    }
  } joinKey{key};

  state.layout = detectLayout(text);
  if (select) writeUsedParameters(state, channel, text);
  outcome.timings.selection = secondsSince(since);
  outcome.readStop = bytes ? loadTextLog(state, channel, file, text, progress) : readTextLog(state, channel, file);
  outcome.timings.records = secondsSince(since);
  if (key.joinable()) key.join();
  if (bytes) setLogKey(state, crc);
  return bytes;
}

OpenOutcome readAndBuild(AppState& state, UserChannel& channel, const std::filesystem::path& file, Grid& grid,
                         std::optional<LogKind> kind, PreviousOpen& previous, Progress& progress) {
  state.definitionFileName = std::string(kPidsIni);
  applyProfileSwitches(state);
  state.csvFlag = false;

  OpenOutcome outcome;
  outcome.kind = kind ? *kind : logKindOf(file);
  // The log key of the file now opened, computed afresh (empty when the file
  // cannot be read); the tools recompute it only when the file changes.
  const auto takeFile = [&] {
    state.openFileName = file;
    state.logKey.clear();
    refreshLogKey(state);
  };
  if (state.graphsOnly == 1) {
    outcome.graphsOnly = true;
    if (outcome.kind == LogKind::GraphFile) {
      takeFile();
      outcome.readStop = readGraphFile(state, channel, file, progress);
    } else {
      readTextLogOnce(state, channel, file, true, progress, outcome);
    }
    // No view is built: the grid keeps what it showed.
    previous.restoreGrid(grid);
    return outcome;
  }
  switch (outcome.kind) {
    case LogKind::XmlLog: {
      const XmlReadOutcome read = XML1Click(state, channel, file, progress);
      if (read.status == XmlReadStatus::NotParsed) {
        previous.restore(state, grid);
        outcome.built = false;
        return outcome;
      }
      state.openFileName = file;
      state.viewMode = ViewMode::Table;
      outcome.built = read.buildsTable();
      if (outcome.built) buildCurrentView(state, channel, grid, progress);
      else previous.restoreGrid(grid);
      return outcome;
    }
    case LogKind::CsvLog:
      state.csvFlag = true;
      state.openFileName = file;
      state.viewMode = ViewMode::Table;
      ReadCSV(state, channel, file, progress);
      buildCurrentView(state, channel, grid, progress);
      return outcome;
    case LogKind::GraphFile:
      takeFile();
      state.viewMode = ViewMode::Table;
      outcome.readStop = readGraphFile(state, channel, file, progress);
      buildCurrentView(state, channel, grid, progress);
      return outcome;
    case LogKind::TextLog:
      break;
  }

  if (state.tableOnly == 1) state.viewMode = ViewMode::Table;
  std::shared_ptr<const FileBytes> bytes = readTextLogOnce(
      state, channel, file, !switchesFor(state.profileCode).skipsUsedParameterSelection, progress, outcome);
  if (outcome.readStop && outcome.readStop->cause == ReadStopCause::Unreadable && state.viewMode == ViewMode::Log)
    outcome.readStop.reset();
  // The Table view needs the records only: the file is let go before the
  // grid takes its memory.
  Clock::time_point since = Clock::now();
  if (state.viewMode == ViewMode::Log) {
    buildCurrentView(state, channel, grid, progress, &bytes);
  } else {
    bytes.reset();
    buildCurrentView(state, channel, grid, progress);
  }
  outcome.timings.view = secondsSince(since);
  return outcome;
}

}  // namespace

OpenOutcome openLog(AppState& state, UserChannel& channel, const std::filesystem::path& file, Grid& grid,
                    Progress& progress, std::optional<LogKind> kind) {
  const auto start = std::chrono::steady_clock::now();
  PreviousOpen previous(state, grid);
  try {
    progress.stage(kReadingStage);
    OpenOutcome outcome = readAndBuild(state, channel, file, grid, kind, previous, progress);
    outcome.elapsed = std::chrono::steady_clock::now() - start;
    return outcome;
  } catch (const std::bad_alloc&) {
    previous.restore(state, grid);
    channel.message(std::string(kNoMemoryToOpen) + pathText(file) + std::string(kEverythingKept));
    OpenOutcome outcome;
    outcome.kind = kind ? *kind : logKindOf(file);
    outcome.built = false;
    return outcome;
  } catch (...) {
    previous.restore(state, grid);
    throw;
  }
}

bool showCurrentView(AppState& state, UserChannel& channel, Grid& grid, Progress& progress) {
  Grid previous = std::move(grid);
  grid = emptyGridLike(previous);
  try {
    buildCurrentView(state, channel, grid, progress);
    return true;
  } catch (const std::bad_alloc&) {
    grid = std::move(previous);
    channel.message(kNoMemoryToShow);
    return false;
  } catch (...) {
    grid = std::move(previous);
    throw;
  }
}

}  // namespace tervolin

#include "table/open_log.h"

#include <exception>
#include <string>

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

// What the open road changes before it reads, kept to be put back when an
// XML log turns out not to parse.
struct ReadSettings {
  std::string definitionFileName;
  bool csvFlag;
  int lengthOffset;
  bool byteOrderInversion;
  int requestCodeWidth;

  explicit ReadSettings(const AppState& s)
      : definitionFileName(s.definitionFileName), csvFlag(s.csvFlag), lengthOffset(s.lengthOffset),
        byteOrderInversion(s.byteOrderInversion), requestCodeWidth(s.requestCodeWidth) {}
  void restore(AppState& s) const {
    s.definitionFileName = definitionFileName;
    s.csvFlag = csvFlag;
    s.lengthOffset = lengthOffset;
    s.byteOrderInversion = byteOrderInversion;
    s.requestCodeWidth = requestCodeWidth;
  }
};

OpenOutcome readAndBuild(AppState& state, UserChannel& channel, const std::filesystem::path& file, Grid& grid) {
  const ReadSettings before(state);
  state.definitionFileName = std::string(kPidsIni);
  applyProfileSwitches(state);
  state.csvFlag = false;

  OpenOutcome outcome;
  outcome.kind = logKindOf(file);
  // The log key of the file now opened, computed afresh (empty when the file
  // cannot be read); the tools recompute it only when the file changes.
  const auto takeFile = [&] {
    state.openFileName = file;
    state.logKey.clear();
    refreshLogKey(state);
  };
  if (state.graphsOnly == 1) {
    outcome.graphsOnly = true;
    takeFile();
    if (outcome.kind == LogKind::GraphFile) {
      outcome.readStop = readGraphFile(state, channel, file);
    } else {
      FindAddr(state, file);
      selectUsedParameters(state, channel, file);
      outcome.readStop = readTextLog(state, channel, file);
    }
    return outcome;
  }
  switch (outcome.kind) {
    case LogKind::XmlLog: {
      const XmlReadOutcome read = XML1Click(state, channel, file);
      if (read.status == XmlReadStatus::NotParsed) {
        before.restore(state);
        outcome.built = false;
        return outcome;
      }
      state.openFileName = file;
      state.viewMode = ViewMode::Table;
      outcome.built = read.buildsTable();
      if (outcome.built) showCurrentView(state, channel, grid);
      return outcome;
    }
    case LogKind::CsvLog:
      state.csvFlag = true;
      state.openFileName = file;
      state.viewMode = ViewMode::Table;
      ReadCSV(state, channel, file);
      showCurrentView(state, channel, grid);
      return outcome;
    case LogKind::GraphFile:
      takeFile();
      state.viewMode = ViewMode::Table;
      outcome.readStop = readGraphFile(state, channel, file);
      showCurrentView(state, channel, grid);
      return outcome;
    case LogKind::TextLog:
      break;
  }

  takeFile();
  if (state.tableOnly == 1) state.viewMode = ViewMode::Table;
  FindAddr(state, file);
  if (!switchesFor(state.profileCode).skipsUsedParameterSelection) selectUsedParameters(state, channel, file);
  outcome.readStop = readTextLog(state, channel, file);
  if (outcome.readStop && outcome.readStop->cause == ReadStopCause::Unreadable && state.viewMode == ViewMode::Log)
    outcome.readStop.reset();
  showCurrentView(state, channel, grid);
  return outcome;
}

}  // namespace

OpenOutcome openLog(AppState& state, UserChannel& channel, const std::filesystem::path& file, Grid& grid) {
  const auto start = std::chrono::steady_clock::now();
  OpenOutcome outcome = readAndBuild(state, channel, file, grid);
  outcome.elapsed = std::chrono::steady_clock::now() - start;
  return outcome;
}

void showCurrentView(AppState& state, UserChannel& channel, Grid& grid) {
  if (state.viewMode == ViewMode::Log) {
    buildLogView(state, channel, state.openFileName, grid);
    return;
  }
  try {
    TablSG(state, channel, grid);
  } catch (const ProgramEnds&) {
    throw;
  } catch (const std::exception&) {
    channel.message("Ошибка построения таблицы"_w);
  }
}

}  // namespace tervolin

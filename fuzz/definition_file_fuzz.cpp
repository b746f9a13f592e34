// A definition file and a formula file (rIniF), and a log decoded with
// them: the input after the first byte is the definition file, the formula
// file and the log, separated by NUL bytes. The definitions are loaded as
// the used-parameter file (an empty one falls back to the profile's
// pids.ini), the log is read with them and laid out in the Table view.

#include "common/paths.h"
#include "fuzz/fuzz_support.h"
#include "logs/layout_detection.h"
#include "logs/text_log_records.h"
#include "profiles/definition_file.h"
#include "table/grid.h"
#include "table/table_views.h"

using namespace tervolin;

namespace {

std::string_view nextPart(std::string_view& rest) {
  const std::size_t end = rest.find('\0');
  const std::string_view part = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Options options = fuzz::splitOptions(data, size);
  std::string_view rest = options.rest;
  const std::string_view definitions = nextPart(rest);
  const std::string_view formulas = nextPart(rest);
  const std::string_view log = rest;

  AppState state;
  fuzz::prepareState(state, options);
  fuzz::writeBytes(resolveDefinitionFile(state, kUsedPidsIni), definitions);
  fuzz::writeBytes(resolveIgnoringCase(state.workingFolder, kFormulaFile), formulas);
  state.definitionFileName = std::string(kUsedPidsIni);
  fuzz::AnsweringChannel channel;
  Grid grid;
  try {
    rIniF(state, channel, state.definitionFileName);
    state.layout = detectLayout(log);
    readTextLogRecords(log, state, channel);
    TablSG(state, channel, grid);
  } catch (const ProgramEnds&) {
  }
  return 0;
}

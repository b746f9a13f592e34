#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "table/open_log.h"

namespace tervolin::fuzz {
namespace {

namespace fs = std::filesystem;

// Profiles the first byte picks, and the sample profile whose files each
// one gets: every length offset, both request-code widths, the profiles
// whose request lines set the extra offset, and those that skip the
// used-parameter selection.
struct FuzzProfile {
  std::string_view code;
  std::string_view filesOf;
};
constexpr std::array<FuzzProfile, 8> kProfiles = {{
    {"Toyota", "Toyota"},
    {"Nissan", "Nissan"},
    {"OBDII", "OBDII"},
    {"GreatWall", "GreatWall"},
    {"B797", "B797"},
    {"B1797V", "B1797V"},
    {"M103E2", "B797"},
    {"M74CAN", "Nissan"},
}};

void copyFile(const fs::path& from, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

fs::path makeProgramFolder() {
  std::string pattern = (fs::temp_directory_path() / "tervolin-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  const fs::path dir = pattern;
  const fs::path samples = fs::path(TERVOLIN_SOURCE_DIR) / "samples";
  for (const FuzzProfile& p : kProfiles) {
    const std::string from(p.filesOf), code(p.code);
    copyFile(samples / from / "Formules.ini", dir / code / "Formules.ini");
    copyFile(samples / "pids" / from / "Powertrain" / "pids.ini", dir / "pids" / code / "Powertrain" / "pids.ini");
  }
  copyFile(samples / "DTC.xml", dir / "DTC.xml");
  return dir;
}

}  // namespace

const fs::path& programFolder() {
  static const fs::path dir = makeProgramFolder();
  return dir;
}

Options splitOptions(const std::uint8_t* data, std::size_t size) {
  Options o;
  const std::uint8_t first = size > 0 ? data[0] : 0;
  o.profile = kProfiles[first % kProfiles.size()].code;
  o.view = (first & 0x08) ? ViewMode::Log : ViewMode::Table;
  o.decimalMark = (first & 0x10) ? ',' : '.';
  if (size > 0) o.rest = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
  return o;
}

void prepareState(AppState& state, const Options& options) {
  state.programDir = programFolder();
  state.orvikPath = programFolder();
  state.profileCode = std::string(options.profile);
  state.lastProfile = state.profileCode;
  state.decimalMark = options.decimalMark;
  prepareOpen(state);
  state.viewMode = options.view;
}

void openInput(const std::uint8_t* data, std::size_t size, std::string_view fileName,
               const std::function<void(AppState&, UserChannel&, Grid&, const Options&)>& after) {
  const Options options = splitOptions(data, size);
  AppState state;
  prepareState(state, options);
  AnsweringChannel channel;
  Grid grid;
  const fs::path file = writeInput(fileName, options.rest);
  try {
    openLog(state, channel, file, grid);
    if (after) after(state, channel, grid, options);
  } catch (const ProgramEnds&) {
  }
}

void writeBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::abort();
}

fs::path writeInput(std::string_view name, std::string_view bytes) {
  const fs::path file = programFolder() / name;
  writeBytes(file, bytes);
  return file;
}

}  // namespace tervolin::fuzz

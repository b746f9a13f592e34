#pragma once
// What every fuzz target shares: a program folder of its own with the
// bundled profiles, a UserChannel that answers as the command-line tool
// does, and the options the first input byte picks.
//
// Each target reads one kind of outside file through the same road the
// program takes, so that a report points at code the user can reach.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/app_state.h"
#include "common/user_channel.h"
#include "table/grid.h"

namespace tervolin::fuzz {

// Messages go nowhere; the empty-file box is answered OK, questions No, so
// that every read goes on to its end.
class AnsweringChannel : public UserChannel {
 public:
  void message(std::string_view) override {}
  bool okBox(std::string_view) override { return true; }
  bool yesNo(std::string_view) override { return false; }
  void closeMainWindow() override {}
};

// A fresh temporary program folder made once per process: every profile of
// the first-byte table with its Formules.ini and pids.ini, and DTC.xml.
const std::filesystem::path& programFolder();

// What the first input byte picks, and the rest of the input.
struct Options {
  std::string_view profile;
  ViewMode view = ViewMode::Table;
  char decimalMark = '.';
  std::string_view rest;
};
Options splitOptions(const std::uint8_t* data, std::size_t size);

// An application state prepared as the open command prepares it for
// `options` in programFolder(): program folder, external program folder,
// profile, working folder, decimal mark, view.
void prepareState(AppState& state, const Options& options);

// Writes `bytes` to `file` (replacing it).
void writeBytes(const std::filesystem::path& file, std::string_view bytes);
// Writes `bytes` to `name` in the program folder and returns its path.
std::filesystem::path writeInput(std::string_view name, std::string_view bytes);

// The open road on the input: prepares the state for its options, writes
// the rest as `fileName`, opens it into a grid, then calls `after` with
// what the open left (a later view, explanations). The end of the program
// a read may ask for is a normal end.
void openInput(const std::uint8_t* data, std::size_t size, std::string_view fileName,
               const std::function<void(AppState&, UserChannel&, Grid&, const Options&)>& after = {});

}  // namespace tervolin::fuzz

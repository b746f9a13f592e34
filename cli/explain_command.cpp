// tervolin-cli explain: opens a log in LOG view as "table" does, then
// selects column 0 of each row in turn, as clicks on those cells, and
// prints each explanation box.

#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_channel.h"
#include "cli/command.h"
#include "cli/open_options.h"
#include "common/app_state.h"
#include "common/field_escapes.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/line_explanation.h"

namespace tervolin::cli {
namespace {

constexpr std::string_view kUsage =
    "  explain --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C]\n"
    "          [--from R] [--to R] FILE\n"
    "      opens FILE in LOG view and selects column 0 of rows R (default 0) to R (default the\n"
    "      last) in order; after each prints #ROW, then every line of the explanation box\n"
    "      (UTF-8, \\t \\n \\r \\\\ escaped); boxes shown meanwhile go to standard error as #ROW: text";

// One line, escaped, in UTF-8.
std::string escapedLine(std::string_view cp1251) {
  std::string line;
  appendEscaped(line, cp1251);
  return cp1251ToUtf8(line);
}

// The boxes raised while row `row` is selected: "#ROW: text" on standard
// error.
class RowChannel : public UserChannel {
 public:
  int row = 0;
  void message(std::string_view text) override { print(text); }
  bool okBox(std::string_view text) override {
    print(text);
    return true;
  }
  bool yesNo(std::string_view text) override {
    print(text);
    return false;
  }
  void closeMainWindow() override {}

 private:
  void print(std::string_view text) const { std::cerr << '#' << row << ": " << escapedLine(text) << '\n'; }
};

std::optional<int> rowNumber(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

int run(std::span<const std::string_view> args) {
  OpenOptions o;
  std::optional<int> from, to;
  auto rowOption = [](std::string_view name, std::optional<int>& target) {
    return [name, &target](std::string_view v) -> std::optional<std::string> {
      target = rowNumber(v);
      if (!target) return std::string(name) + " takes a row number (0 or more)";
      return std::nullopt;
    };
  };
  const CommandOption own[] = {{"--from", true, rowOption("--from", from)}, {"--to", true, rowOption("--to", to)}};
  if (const auto error = parseOpenArguments(args, own, o)) return usageError("explain", kUsage, *error);

  AppState state;
  CliChannel channel;
  Grid grid;
  if (const int code = openFromOptions("explain", o, true, state, channel, grid); code != kExitOk) return code;

  RowChannel boxes;
  const int last = std::min(to.value_or(grid.rowCount() - 1), grid.rowCount() - 1);
  std::string out;
  for (int r = from.value_or(0); r <= last; ++r) {
    boxes.row = r;
    std::cerr.flush();
    const CellSelection selection = selectCell(state, boxes, grid, 0, r);
    out = "#" + std::to_string(r) + "\n";
    for (const std::string& line : selection.explanation.lines) (out += escapedLine(line)) += '\n';
    std::cout << out;
  }
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

const Registration reg{{"explain", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

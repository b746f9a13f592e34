// tervolin-cli matrix: opens a log as "table" does, builds the matrix as
// "&ПУСК!" does with tab "Матрица" active, and prints the matrix grid (or
// writes it as the window's Excel export).

#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "charts/matrix_cells.h"
#include "charts/matrix_grid.h"
#include "charts/matrix_logic.h"
#include "cli/cli_channel.h"
#include "cli/command.h"
#include "cli/grid_output.h"
#include "cli/open_options.h"
#include "common/app_state.h"
#include "common/registry.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/xlsx_export.h"

namespace tervolin::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "  matrix --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C]\n"
    "         --x ITEM --y ITEM --data ITEM --min-x T --step-x T --max-x T --min-y T --step-y T --max-y T\n"
    "         [--mode N] [--format grid|xlsx] [--out FILE] FILE\n"
    "      opens FILE as table does, builds the three-dimensional matrix of the three parameter\n"
    "      list texts and the quantisation cells T in mode N (0-6, default 0) and prints the\n"
    "      matrix grid from row 0 as table does; xlsx (needs --out): the window's Excel export";

struct MatrixOptions {
  std::optional<std::string> x, y, data;  // Windows-1251
  std::optional<std::string> minX, stepX, maxX, minY, stepY, maxY;
  int mode = 0;
  bool xlsx = false;
  std::optional<fs::path> out;
};

int run(std::span<const std::string_view> args) {
  OpenOptions o;
  MatrixOptions m;
  auto text = [](std::optional<std::string>& field) {
    return [&field](std::string_view v) -> std::optional<std::string> {
      field = utf8ToCp1251(v);
      return std::nullopt;
    };
  };
  const CommandOption own[] = {
      {"--x", true, text(m.x)},
      {"--y", true, text(m.y)},
      {"--data", true, text(m.data)},
      {"--min-x", true, text(m.minX)},
      {"--step-x", true, text(m.stepX)},
      {"--max-x", true, text(m.maxX)},
      {"--min-y", true, text(m.minY)},
      {"--step-y", true, text(m.stepY)},
      {"--max-y", true, text(m.maxY)},
      {"--mode", true,
       [&](std::string_view v) -> std::optional<std::string> {
         int mode = -1;
         const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), mode);
         if (ec != std::errc() || end != v.data() + v.size() || mode < 0 ||
             mode >= static_cast<int>(kAggregationModes.size()))
           return "--mode is a number from 0 to 6";
         m.mode = mode;
         return std::nullopt;
       }},
      {"--format", true,
       [&](std::string_view v) -> std::optional<std::string> {
         if (v != "grid" && v != "xlsx") return "--format is grid or xlsx";
         m.xlsx = v == "xlsx";
         return std::nullopt;
       }},
      {"--out", true,
       [&](std::string_view v) -> std::optional<std::string> {
         m.out = fs::path(v);
         return std::nullopt;
       }},
  };
  const auto checks = [&]() -> std::optional<std::string> {
    const std::pair<const char*, const std::optional<std::string>*> required[] = {
        {"--x ITEM", &m.x},        {"--y ITEM", &m.y},          {"--data ITEM", &m.data},
        {"--min-x T", &m.minX},    {"--step-x T", &m.stepX},    {"--max-x T", &m.maxX},
        {"--min-y T", &m.minY},    {"--step-y T", &m.stepY},    {"--max-y T", &m.maxY},
    };
    for (const auto& [name, field] : required)
      if (!*field) return std::string(name) + " is required";
    if (m.xlsx && !m.out) return std::string("--format xlsx needs --out FILE");
    return std::nullopt;
  };
  if (const auto error = parseOpenArguments(args, own, o, checks)) return usageError("matrix", kUsage, *error);

  AppState state;
  CliChannel channel;
  Grid table;
  if (const int code = openFromOptions("matrix", o, false, state, channel, table); code != kExitOk) return code;

  // The window with no stored settings, the lists and grid cells as given.
  MemoryRegistry noStoredSettings;
  MatrixLogic logic(state, noStoredSettings, channel);
  logic.activate();
  logic.setLists({*m.x, *m.y, *m.data});
  logic.quantTexts() = {*m.minX, *m.stepX, *m.maxX, *m.minY, *m.stepY, *m.maxY};
  logic.setMode(m.mode);
  if (!logic.buildNow()) return kExitFailure;
  logic.fillMatrix();

  if (!m.xlsx) return writeGridText("matrix", logic.grid(), m.out);
  const ExportResult result = writeXlsx(MatrixSheet(logic.grid()), *m.out);
  if (!result.message.empty()) std::cerr << cp1251ToUtf8(result.message) << "\n";
  return result.status == ExportStatus::Written ? kExitOk : kExitFailure;
}

const Registration reg{{"matrix", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

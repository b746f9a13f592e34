// tervolin-cli table: opens a log as the open command does (graphs only off)
// and prints the grid of the Table view, or of the LOG view; or writes what
// the exports write for it (CSV, spreadsheet, protocol).

#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_channel.h"
#include "cli/command.h"
#include "cli/grid_output.h"
#include "cli/open_options.h"
#include "common/app_state.h"
#include "common/paths.h"
#include "common/text.h"
#include "table/csv_export.h"
#include "table/export_file.h"
#include "table/grid.h"
#include "table/protocol_export.h"
#include "table/table_filter.h"
#include "table/xlsx_export.h"

namespace tervolin::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "  table --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C] [--progress]\n"
    "        [--view table|log] [--format grid|csv|xlsx|protocol] [--out FILE]\n"
    "        [--filter PARAM OP VALUE]... FILE\n"
    "      opens FILE as the open command does and prints the grid: rows from row 0,\n"
    "      cells joined by TAB (\\t \\n \\r \\\\ escaped), UTF-8; csv: the bytes of the\n"
    "      CSV export; xlsx (Table view, needs --out): the spreadsheet export;\n"
    "      protocol (needs --view log): the bytes of the protocol file; each --filter is\n"
    "      applied in order before, as the filter dialog's OK does with these texts;\n"
    "      --progress: progress lines on standard error";

enum class Format { Grid, Csv, Xlsx, Protocol };

// The command's own options.
struct TableOptions {
  bool logView = false;
  Format format = Format::Grid;
  std::optional<fs::path> out;
};

// Writes the export of `format` to --out, or to standard output.
int writeExport(const TableOptions& t, const Grid& grid) {
  ExportResult result;
  if (t.format == Format::Xlsx) {
    result = writeXlsx(GridSheet(grid), *t.out);
  } else if (t.out) {
    result = t.format == Format::Csv ? exportCsvFile(grid, *t.out) : exportProtocolFile(grid, *t.out);
  } else {
    ChunkedOutput out([](std::string_view piece) {
      std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return static_cast<bool>(std::cout);
    });
    const ExportStatus status = t.format == Format::Csv ? writeCsvExport(grid, out) : writeProtocol(grid, out);
    std::cout.flush();
    if (status != ExportStatus::Written || !out.flush() || !std::cout) result = {ExportStatus::Failed, {}};
  }
  if (!result.message.empty()) std::cerr << cp1251ToUtf8(result.message) << "\n";
  return result.status == ExportStatus::Written ? kExitOk : kExitFailure;
}

// Takes every "--filter PARAM OP VALUE" out of the arguments, in order; the
// rest is left for the common parsing. An error text when a filter lacks
// its three texts.
std::optional<std::string> takeFilters(std::span<const std::string_view> args, std::vector<std::string_view>& rest,
                                       std::vector<FilterCondition>& filters) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--filter") {
      rest.push_back(args[i]);
      continue;
    }
    if (args.size() - i < 4) return "--filter needs PARAM OP VALUE";
    filters.push_back({utf8ToCp1251(args[i + 1]), utf8ToCp1251(args[i + 2]), utf8ToCp1251(args[i + 3])});
    i += 3;
  }
  return std::nullopt;
}

// The checks of the format against the other options, after the arguments
// have been read.
std::optional<std::string> checkFormat(const TableOptions& t) {
  if (t.format == Format::Xlsx && !t.out) return "--format xlsx needs --out FILE";
  if (t.format == Format::Xlsx && t.logView) return "--format xlsx writes the Table view";
  if (t.format == Format::Protocol && !t.logView) return "--format protocol needs --view log";
  return std::nullopt;
}

int run(std::span<const std::string_view> args) {
  OpenOptions o;
  TableOptions t;
  const CommandOption own[] = {
      {"--view", true,
       [&](std::string_view v) -> std::optional<std::string> {
         if (v != "table" && v != "log") return "--view is table or log";
         t.logView = v == "log";
         return std::nullopt;
       }},
      {"--format", true,
       [&](std::string_view v) -> std::optional<std::string> {
         static constexpr std::pair<std::string_view, Format> kFormats[] = {
             {"grid", Format::Grid}, {"csv", Format::Csv}, {"xlsx", Format::Xlsx}, {"protocol", Format::Protocol}};
         for (const auto& [name, format] : kFormats)
           if (v == name) {
             t.format = format;
             return std::nullopt;
           }
         return "--format is grid, csv, xlsx or protocol";
       }},
      {"--out", true,
       [&](std::string_view v) -> std::optional<std::string> {
         t.out = fs::path(v);
         return std::nullopt;
       }},
  };
  std::vector<std::string_view> rest;
  std::vector<FilterCondition> filters;
  auto error = takeFilters(args, rest, filters);
  if (!error) error = parseOpenArguments(rest, own, o);
  if (!error) error = checkFormat(t);
  if (error) return usageError("table", kUsage, *error);

  AppState state;
  CliChannel channel;
  Grid grid;
  if (const int code = openFromOptions("table", o, t.logView, state, channel, grid); code != kExitOk) return code;
  for (const FilterCondition& filter : filters) ApplyFiltr(state, channel, grid, filter);

  if (t.format != Format::Grid) return writeExport(t, grid);
  return writeGridText("table", grid, t.out);
}

const Registration reg{{"table", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

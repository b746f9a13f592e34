// tervolin-cli table: opens a log as the open command does (graphs only off)
// and prints the grid of the Table view, or of the LOG view; or writes what
// the exports write for it (CSV, spreadsheet, protocol).

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_channel.h"
#include "cli/command.h"
#include "common/app_state.h"
#include "common/field_escapes.h"
#include "common/paths.h"
#include "common/text.h"
#include "table/csv_export.h"
#include "table/export_file.h"
#include "table/grid.h"
#include "table/open_log.h"
#include "table/protocol_export.h"
#include "table/xlsx_export.h"

namespace tervolin::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "  table --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C]\n"
    "        [--view table|log] [--format grid|csv|xlsx|protocol] [--out FILE] FILE\n"
    "      opens FILE as the open command does and prints the grid: rows from row 0,\n"
    "      cells joined by TAB (\\t \\n \\r \\\\ escaped), UTF-8; csv: the bytes of the\n"
    "      CSV export; xlsx (Table view, needs --out): the spreadsheet export;\n"
    "      protocol (needs --view log): the bytes of the protocol file";

enum class Format { Grid, Csv, Xlsx, Protocol };

struct Options {
  std::string profile;
  std::optional<fs::path> programDir, orvikPath, out;
  char decimalMark = '.';
  bool logView = false;
  Format format = Format::Grid;
  fs::path file;
};

int usageError(std::string_view what) {
  std::cerr << "tervolin-cli table: " << what << "\n" << kUsage << "\n";
  return kExitUsage;
}

// Parses the arguments; an error text when they do not fit the usage.
std::optional<std::string> parse(std::span<const std::string_view> args, Options& o) {
  bool haveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const bool takesValue = a == "--profile" || a == "--program-dir" || a == "--orvik-path" ||
                            a == "--decimal-mark" || a == "--view" || a == "--format" || a == "--out";
    if (takesValue) {
      if (i + 1 >= args.size()) return std::string(a) + " needs a value";
      const std::string_view v = args[++i];
      if (a == "--profile") o.profile = v;
      else if (a == "--program-dir") o.programDir = fs::path(v);
      else if (a == "--orvik-path") o.orvikPath = fs::path(v);
      else if (a == "--out") o.out = fs::path(v);
      else if (a == "--decimal-mark") {
        if (v.size() != 1) return "--decimal-mark takes one character";
        o.decimalMark = v[0];
      } else if (a == "--view") {
        if (v != "table" && v != "log") return "--view is table or log";
        o.logView = v == "log";
      } else if (v == "grid") {
        o.format = Format::Grid;
      } else if (v == "csv") {
        o.format = Format::Csv;
      } else if (v == "xlsx") {
        o.format = Format::Xlsx;
      } else if (v == "protocol") {
        o.format = Format::Protocol;
      } else {
        return "--format is grid, csv, xlsx or protocol";
      }
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
  if (!haveFile) return "FILE is required";
  if (o.format == Format::Xlsx && !o.out) return "--format xlsx needs --out FILE";
  if (o.format == Format::Xlsx && o.logView) return "--format xlsx writes the Table view";
  if (o.format == Format::Protocol && !o.logView) return "--format protocol needs --view log";
  return std::nullopt;
}

bool readable(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  return static_cast<bool>(in);
}

// Every row from row 0: cells joined by TAB, escaped, UTF-8, LF line ends.
std::string gridText(const Grid& grid) {
  std::string out;
  std::string line;
  for (int r = 0; r < grid.rowCount(); ++r) {
    line.clear();
    for (int c = 0; c < grid.columnCount(); ++c) {
      if (c > 0) line += '\t';
      appendEscaped(line, grid.cell(c, r));
    }
    out += cp1251ToUtf8(line);
    out += '\n';
  }
  return out;
}

// Writes the export of `format` to --out, or to standard output.
int writeExport(const Options& o, const Grid& grid) {
  ExportResult result;
  if (o.format == Format::Xlsx) {
    result = writeXlsx(GridSheet(grid), *o.out);
  } else if (o.out) {
    result = o.format == Format::Csv ? exportCsvFile(grid, *o.out) : exportProtocolFile(grid, *o.out);
  } else {
    ChunkedOutput out([](std::string_view piece) {
      std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return static_cast<bool>(std::cout);
    });
    const ExportStatus status = o.format == Format::Csv ? writeCsvExport(grid, out) : writeProtocol(grid, out);
    std::cout.flush();
    if (status != ExportStatus::Written || !out.flush() || !std::cout) result = {ExportStatus::Failed, {}};
  }
  if (!result.message.empty()) std::cerr << cp1251ToUtf8(result.message) << "\n";
  return result.status == ExportStatus::Written ? kExitOk : kExitFailure;
}

int run(std::span<const std::string_view> args) {
  Options o;
  if (const auto error = parse(args, o)) return usageError(*error);

  AppState state;
  state.programDir = o.programDir ? *o.programDir : executableDir();
  if (o.orvikPath) state.orvikPath = *o.orvikPath;
  // The profile given is the last profile, so the preparation never needs
  // the profile dialog.
  state.profileCode = o.profile;
  state.lastProfile = o.profile;
  state.decimalMark = o.decimalMark;
  prepareOpen(state);
  state.tableOnly = o.logView ? 0 : 1;
  state.viewMode = o.logView ? ViewMode::Log : ViewMode::Table;

  if (!readable(o.file)) {
    std::cerr << "tervolin-cli table: cannot read " << o.file.string() << "\n";
    return kExitFailure;
  }

  CliChannel channel;
  Grid grid;
  try {
    // A file whose reading failed (its messages are out) has no view.
    if (!openLog(state, channel, o.file, grid).built) return kExitFailure;
    // A graph file always opens in Table view; the LOG view asked for shows
    // its raw lines afterwards.
    if (o.logView && state.viewMode != ViewMode::Log) {
      state.viewMode = ViewMode::Log;
      showCurrentView(state, channel, grid);
    }
  } catch (const ProgramEnds&) {
    return kExitFailure;
  }

  if (o.format != Format::Grid) return writeExport(o, grid);
  const std::string text = gridText(grid);
  if (o.out) {
    if (!writeFileAtomically(*o.out, text)) {
      std::cerr << "tervolin-cli table: cannot write " << o.out->string() << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

const Registration reg{{"table", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

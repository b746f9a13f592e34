// tervolin-cli graphs: opens a log as "table" does, builds the parameter
// graphs as "Построить" does with no stored settings, and prints the left
// axis and every plotted point.

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "charts/parameter_graphs.h"
#include "cli/cli_channel.h"
#include "cli/command.h"
#include "common/app_state.h"
#include "common/field_escapes.h"
#include "common/registry.h"
#include "common/paths.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "  graphs --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C]\n"
    "         --series ITEM [--series ITEM]... [--timing T] [--unit мс|с|мин|час] [--fit] FILE\n"
    "      opens FILE as table does, builds the parameter graphs of up to six ITEMs and prints\n"
    "      axis<TAB>MIN<TAB>MAX, then per series series<TAB>K<TAB>UNIT<TAB>COUNT<TAB>MULTIPLIER<TAB>OFFSET\n"
    "      and one X<TAB>Y line per plotted point";

struct Options {
  std::string profile;
  std::optional<fs::path> programDir, orvikPath;
  char decimalMark = '.';
  std::vector<std::string> series;  // Windows-1251
  std::optional<std::string> timing;
  int unit = kDefaultTimeUnit;
  bool fit = false;
  fs::path file;
};

int usageError(std::string_view what) {
  std::cerr << "tervolin-cli graphs: " << what << "\n" << kUsage << "\n";
  return kExitUsage;
}

std::optional<int> unitIndex(std::string_view utf8) {
  const std::string text = utf8ToCp1251(utf8);
  for (std::size_t i = 0; i < kTimeUnits.size(); ++i)
    if (kTimeUnits[i].text == text) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<std::string> parse(std::span<const std::string_view> args, Options& o) {
  bool haveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const bool takesValue = a == "--profile" || a == "--program-dir" || a == "--orvik-path" ||
                            a == "--decimal-mark" || a == "--series" || a == "--timing" || a == "--unit";
    if (takesValue) {
      if (i + 1 >= args.size()) return std::string(a) + " needs a value";
      const std::string_view v = args[++i];
      if (a == "--profile") o.profile = v;
      else if (a == "--program-dir") o.programDir = fs::path(v);
      else if (a == "--orvik-path") o.orvikPath = fs::path(v);
      else if (a == "--series") o.series.push_back(utf8ToCp1251(v));
      else if (a == "--timing") o.timing = utf8ToCp1251(v);
      else if (a == "--decimal-mark") {
        if (v.size() != 1) return "--decimal-mark takes one character";
        o.decimalMark = v[0];
      } else {
        const auto unit = unitIndex(v);
        if (!unit) return "--unit is one of мс, с, мин, час";
        o.unit = *unit;
      }
    } else if (a == "--fit") {
      o.fit = true;
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
  if (o.series.empty()) return "--series ITEM is required";
  if (o.series.size() > static_cast<std::size_t>(kSeriesCount)) return "at most six --series";
  if (!haveFile) return "FILE is required";
  return std::nullopt;
}

bool readable(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  return static_cast<bool>(in);
}

// The shortest text that reads back as the same number.
template <class Number>
void appendNumber(std::string& out, Number value) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

std::string graphsText(const ParameterGraphs& graphs) {
  std::string out = "axis\t";
  appendNumber(out, graphs.axis().min);
  out += '\t';
  appendNumber(out, graphs.axis().max);
  out += '\n';
  for (int k = 0; k < kSeriesCount; ++k) {
    const SeriesData& s = graphs.series(k);
    if (!s.plotted) continue;
    out += "series\t";
    appendNumber(out, k + 1);
    out += '\t';
    std::string unit;
    appendEscaped(unit, s.unit);
    out += cp1251ToUtf8(unit);
    out += '\t';
    appendNumber(out, s.count());
    out += '\t';
    appendNumber(out, s.multiplier);
    out += '\t';
    appendNumber(out, s.offset);
    out += '\n';
    for (std::size_t i = 0; i < s.count(); ++i) {
      appendNumber(out, s.x[i]);
      out += '\t';
      appendNumber(out, s.y(i));
      out += '\n';
    }
  }
  return out;
}

int run(std::span<const std::string_view> args) {
  Options o;
  if (const auto error = parse(args, o)) return usageError(*error);

  AppState state;
  state.programDir = o.programDir ? *o.programDir : executableDir();
  if (o.orvikPath) state.orvikPath = *o.orvikPath;
  state.profileCode = o.profile;
  state.lastProfile = o.profile;
  state.decimalMark = o.decimalMark;
  prepareOpen(state);
  state.tableOnly = 1;
  state.viewMode = ViewMode::Table;

  if (!readable(o.file)) {
    std::cerr << "tervolin-cli graphs: cannot read " << o.file.string() << "\n";
    return kExitFailure;
  }

  CliChannel channel;
  MemoryRegistry noStoredSettings;
  ParameterGraphs graphs(state, noStoredSettings, channel);
  try {
    Grid grid;
    // A file whose reading failed (its messages are out) has no records to chart.
    if (!openLog(state, channel, o.file, grid).built) return kExitFailure;
    GraphControls controls;
    graphs.activate(controls);
    for (std::size_t k = 0; k < o.series.size(); ++k) {
      controls.list[k] = graphs.itemIndex(o.series[k]);
      controls.listText[k] = o.series[k];
    }
    if (o.timing) controls.timing = *o.timing;
    controls.unit = o.unit;
    controls.fit = o.fit;
    graphs.build(controls);
  } catch (const ProgramEnds&) {
    return kExitFailure;
  }

  const std::string text = graphsText(graphs);
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailure;
}

const Registration reg{{"graphs", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

// tervolin-cli graphs: opens a log as "table" does, builds the parameter
// graphs as "Построить" does with no stored settings, and prints the left
// axis and every plotted point.

#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "charts/parameter_graphs.h"
#include "cli/cli_channel.h"
#include "cli/command.h"
#include "cli/open_options.h"
#include "common/app_state.h"
#include "common/field_escapes.h"
#include "common/registry.h"
#include "common/paths.h"
#include "common/text.h"
#include "table/grid.h"
#include "table/open_log.h"

namespace tervolin::cli {
namespace {

constexpr std::string_view kUsage =
    "  graphs --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C] [--progress]\n"
    "         --series ITEM [--series ITEM]... [--timing T] [--unit мс|с|мин|час] [--fit] FILE\n"
    "      opens FILE as table does, builds the parameter graphs of up to six ITEMs and prints\n"
    "      axis<TAB>MIN<TAB>MAX, then per series series<TAB>K<TAB>UNIT<TAB>COUNT<TAB>MULTIPLIER<TAB>OFFSET\n"
    "      and one X<TAB>Y line per plotted point";

// The command's own options.
struct GraphOptions {
  std::vector<std::string> series;  // Windows-1251
  std::optional<std::string> timing;
  int unit = kDefaultTimeUnit;
  bool fit = false;
};

std::optional<int> unitIndex(std::string_view utf8) {
  const std::string text = utf8ToCp1251(utf8);
  for (std::size_t i = 0; i < kTimeUnits.size(); ++i)
    if (kTimeUnits[i].text == text) return static_cast<int>(i);
  return std::nullopt;
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
  OpenOptions o;
  GraphOptions g;
  const CommandOption own[] = {
      {"--series", true,
       [&](std::string_view v) -> std::optional<std::string> {
         g.series.push_back(utf8ToCp1251(v));
         return std::nullopt;
       }},
      {"--timing", true,
       [&](std::string_view v) -> std::optional<std::string> {
         g.timing = utf8ToCp1251(v);
         return std::nullopt;
       }},
      {"--unit", true,
       [&](std::string_view v) -> std::optional<std::string> {
         const auto unit = unitIndex(v);
         if (!unit) return "--unit is one of мс, с, мин, час";
         g.unit = *unit;
         return std::nullopt;
       }},
      {"--fit", false,
       [&](std::string_view) -> std::optional<std::string> {
         g.fit = true;
         return std::nullopt;
       }},
  };
  const auto checks = [&]() -> std::optional<std::string> {
    if (g.series.empty()) return "--series ITEM is required";
    if (g.series.size() > static_cast<std::size_t>(kSeriesCount)) return "at most six --series";
    return std::nullopt;
  };
  if (const auto error = parseOpenArguments(args, own, o, checks)) return usageError("graphs", kUsage, *error);

  AppState state;
  CliChannel channel;
  Grid grid;
  if (const int code = openFromOptions("graphs", o, false, state, channel, grid); code != kExitOk) return code;

  MemoryRegistry noStoredSettings;
  ParameterGraphs graphs(state, noStoredSettings, channel);
  try {
    GraphControls controls;
    graphs.activate(controls);
    for (std::size_t k = 0; k < g.series.size(); ++k) {
      controls.list[k] = graphs.itemIndex(g.series[k]);
      controls.listText[k] = g.series[k];
    }
    if (g.timing) controls.timing = *g.timing;
    controls.unit = g.unit;
    controls.fit = g.fit;
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

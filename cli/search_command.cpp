// tervolin-cli search: opens a text log as the open command does, then does
// what the research window does: the formula chosen (the range of its text
// fills the minimum and maximum unless they are given), then "Поиск".

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
#include "research/formula_range.h"
#include "research/formula_search.h"
#include "table/grid.h"

namespace tervolin::cli {
namespace {

constexpr std::string_view kUsage =
    "  search --profile CODE [--program-dir DIR] [--orvik-path DIR] [--decimal-mark C]\n"
    "         --formula TEXT [--min T] [--max T] [--inverse] FILE\n"
    "      opens FILE as a text log (whatever its extension) as the open command does and\n"
    "      searches its responses as the research window does; the result box's lines on\n"
    "      standard output (UTF-8, \\t \\n \\r \\\\ escaped), every box on standard error,\n"
    "      one line each";

// The command's own options; the bounds stay unset unless given.
struct SearchOptions {
  std::optional<std::string> formula, minimum, maximum;  // Windows-1251
  bool inverse = false;
};

// The request as the window holds it when "Поиск" is pressed: the fields'
// start texts, the range of the formula text, then what was given.
SearchRequest requestOf(const SearchOptions& s) {
  SearchRequest request{*s.formula, std::string(kMinimumFieldStart), std::string(kMaximumFieldStart), s.inverse};
  if (const std::optional<RangeTexts> range = rangeFromFormulaText(request.formulaText)) {
    request.minimumText = range->minimum;
    request.maximumText = range->maximum;
  }
  if (s.minimum) request.minimumText = *s.minimum;
  if (s.maximum) request.maximumText = *s.maximum;
  return request;
}

int run(std::span<const std::string_view> args) {
  OpenOptions o;
  SearchOptions s;
  auto text = [](std::optional<std::string>& into) {
    return [&into](std::string_view v) -> std::optional<std::string> {
      into = utf8ToCp1251(v);
      return std::nullopt;
    };
  };
  const CommandOption own[] = {
      {"--formula", true, text(s.formula)},
      {"--min", true, text(s.minimum)},
      {"--max", true, text(s.maximum)},
      {"--inverse", false,
       [&](std::string_view) -> std::optional<std::string> {
         s.inverse = true;
         return std::nullopt;
       }},
  };
  const auto checks = [&]() -> std::optional<std::string> {
    if (!s.formula) return "--formula TEXT is required";
    return std::nullopt;
  };
  if (const auto error = parseOpenArguments(args, own, o, checks)) return usageError("search", kUsage, *error);

  AppState state;
  CliChannel channel;
  Grid grid;
  // The research reads the responses of a text log: FILE is one whatever its
  // extension names.
  o.kind = LogKind::TextLog;
  if (const int code = openFromOptions("search", o, false, state, channel, grid); code != kExitOk) return code;

  const SearchOutcome outcome = searchFormula(state, requestOf(s), channel);
  std::string out;
  std::string line;
  for (const std::string& reportLine : outcome.lines) {
    line.clear();
    appendEscaped(line, reportLine);
    out += cp1251ToUtf8(line);
    out += '\n';
  }
  std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
  std::cout.flush();
  if (!std::cout) return kExitFailure;
  return outcome.end == SearchEnd::Finished ? kExitOk : kExitFailure;
}

const Registration reg{{"search", kUsage, &run}};

}  // namespace
}  // namespace tervolin::cli

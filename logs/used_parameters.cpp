#include "logs/used_parameters.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "common/atomic_file.h"
#include "common/hex.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "logs/line_text.h"
#include "logs/log_lines.h"
#include "profiles/definition_file.h"

namespace tervolin {
namespace {

using namespace logtext;

// Profiles whose request lines set the extra offset: 2 when the request's
// service and identifier (5 characters, 6 after the tester position) are one
// of `requests`, else 0.
struct ExtraOffsetRule {
  std::string_view profile;
  bool profileInUpperCase;   // profile code compared in upper case
  std::array<std::string_view, 2> requests;
  bool requestInUpperCase;   // request text compared in upper case
};

constexpr ExtraOffsetRule kExtraOffsetRules[] = {
    {"B797", true, {"21 01", {}}, false},
    {"B1797V", true, {"21 01", {}}, false},
    {"M11E2", true, {"21 01", {}}, false},
    {"M11E3", false, {"21 07", {}}, false},
    {"M103E2", false, {"21 E0", "21 03"}, true},
};

const ExtraOffsetRule* extraOffsetRuleFor(std::string_view profileCode) {
  std::string upperCode;
  upperInto(profileCode, upperCode);
  for (const auto& rule : kExtraOffsetRules)
    if ((rule.profileInUpperCase ? std::string_view(upperCode) : profileCode) == rule.profile) return &rule;
  return nullptr;
}

int extraOffsetOfRequest(const ExtraOffsetRule& rule, std::string_view line, int testerPosition) {
  std::string_view request = copyAt(line, static_cast<long long>(testerPosition) + 6, 5);
  std::string upperRequest;
  if (rule.requestInUpperCase) {
    upperInto(request, upperRequest);
    request = upperRequest;
  }
  for (const auto known : rule.requests)
    if (!known.empty() && request == known) return 2;
  return 0;
}

constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

constexpr std::string_view kAllDefinitionsLoaded = ". Загружены все параметры профиля из pids.ini."_w;

// What the walk learns about one distinct pattern.
struct PatternHits {
  // First line before any offset-setting request line that confirms the
  // pattern with extra offset 0 / 2.
  std::array<std::size_t, 2> beforeRequests{kNever, kNever};
  // First line after (or on) an offset-setting request line that confirms it
  // with the offset in force there, and that offset.
  std::size_t afterRequest = kNever;
  int offsetThere = 0;
};

}  // namespace

std::string responsePattern(std::string_view requestCode) {
  const auto service = parseHex(copyAt(requestCode, 1, 2));
  if (!service) return {};
  std::string head = intToHex(static_cast<std::int32_t>(*service) + 0x40, 2);
  head += copyAt(requestCode, 3, static_cast<long long>(requestCode.size()));
  return head;
}

std::vector<std::size_t> selectUsedDefinitions(std::string_view logText, std::span<const ParamDef> definitions,
                                               const LogLayout& layout, std::string_view profileCode,
                                               int lengthOffset, const ReadSplit& split) {
  const int startOffset = lengthOffset == 3 ? 2 : 0;
  const ExtraOffsetRule* rule = extraOffsetRuleFor(profileCode);

  // Distinct patterns, and the pattern of every definition.
  std::vector<std::string> patterns;
  std::vector<int> patternOf(definitions.size(), -1);
  std::unordered_map<std::string, int> idOf;
  for (std::size_t d = 0; d < definitions.size(); ++d) {
    std::string pattern = responsePattern(definitions[d].requestCode);
    if (pattern.empty()) continue;
    auto [it, added] = idOf.try_emplace(pattern, static_cast<int>(patterns.size()));
    if (added) patterns.push_back(pattern);
    patternOf[d] = it->second;
  }
  std::vector<std::size_t> lengths;
  for (const auto& p : patterns) lengths.push_back(p.size());
  std::sort(lengths.begin(), lengths.end());
  lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
  std::unordered_map<std::string_view, int> lookup;
  for (std::size_t i = 0; i < patterns.size(); ++i) lookup.emplace(patterns[i], static_cast<int>(i));

  std::string ecuCompact;
  appendWithoutBlanks(ecuCompact, layout.ecuPair);

  // How the walk stands; one per piece of the log when pieces are walked
  // at once.
  struct Walk {
    std::vector<PatternHits> hits;
    // Without an offset-setting rule the offset never moves: every line is
    // "after a request" with the start offset.
    bool requestSeen;
    int offsetNow;
    std::size_t unsettled;
    std::string compact, upperLine, upperKey;
    std::size_t endOffset = 0;  // where the walk stopped in its text
  };
  const auto newWalk = [&] {
    return Walk{std::vector<PatternHits>(patterns.size()), rule == nullptr, startOffset,
                patterns.size() * (rule ? 3 : 1), {}, {}, {}};
  };
  // Characters from the ECU pair on that the tests of a line can look at.
  const std::size_t reach = 4 + 2 + (lengths.empty() ? 0 : lengths.back());

  // Walks the lines of `text` until every pattern is settled; line numbers
  // count from `firstIndex`.
  const auto walkLines = [&](Walk& w, std::string_view text, std::size_t firstIndex) {
    LogLines lines(text);
    std::string_view line;
    std::size_t index = firstIndex;
    while (!patterns.empty() && !ecuCompact.empty() && lines.next(line)) {
      const std::size_t lineIndex = index++;
      if (rule && isRequestLine(line)) {
        w.offsetNow = extraOffsetOfRequest(*rule, line, layout.testerPosition);
        if (!w.requestSeen) {
          // Lines before the first request are over: their open slots stay open.
          for (const PatternHits& h : w.hits)
            for (const std::size_t slot : h.beforeRequests)
              if (slot == kNever) --w.unsettled;
          w.requestSeen = true;
        }
      }
      if (!isResponseMarked(line)) continue;
      // The line without blanks, as far as the tests can reach: a prefix
      // when the ECU pair and what follows it lie in its first characters.
      std::string& compact = w.compact;
      constexpr std::size_t kPrefix = 64;
      const std::string_view head = line.substr(0, kPrefix);
      compact.resize(head.size());
      compact.resize(copyWithoutBlanks(head, compact.data()));
      std::size_t pairAt = compact.find(ecuCompact);
      if (head.size() < line.size() && (pairAt == std::string::npos || pairAt + reach > compact.size())) {
        compact.resize(line.size());
        compact.resize(copyWithoutBlanks(line, compact.data()));
        pairAt = compact.find(ecuCompact);
      }
      if (pairAt == std::string::npos) continue;
      // Only the few characters where a pattern may start are upper-cased for
      // the lookup; the whole line only when a pattern is confirmed there.
      bool lineUpper = false;
      for (const int extra : {0, 2}) {
        if (w.requestSeen && extra != w.offsetNow) continue;
        const std::size_t start = pairAt + 4 + static_cast<std::size_t>(extra);
        if (start >= compact.size()) continue;
        upperInto(std::string_view(compact).substr(start, lengths.back()), w.upperKey);
        for (const std::size_t length : lengths) {
          if (start + length > compact.size()) break;
          const auto found = lookup.find(std::string_view(w.upperKey).substr(0, length));
          if (found == lookup.end()) continue;
          PatternHits& h = w.hits[static_cast<std::size_t>(found->second)];
          std::size_t& slot = w.requestSeen ? h.afterRequest : h.beforeRequests[extra / 2];
          if (slot != kNever) continue;
          if (!lineUpper) upperInto(compact, w.upperLine);
          lineUpper = true;
          if (w.upperLine.find(patterns[static_cast<std::size_t>(found->second)]) != start) continue;
          slot = lineIndex;
          if (w.requestSeen) h.offsetThere = w.offsetNow;
          --w.unsettled;
        }
      }
      // Once every pattern is settled for every offset that can still be in
      // force, the rest of the log cannot change the outcome.
      if (w.unsettled == 0) break;
    }
    w.endOffset = lines.offset();
  };

  Walk walk = newWalk();
  const std::size_t parts = split.parts ? split.parts : processorParts();
  if (rule == nullptr && logText.size() > split.above && parts > 1) {
    // Without an offset rule every line is tested on its own: pieces of the
    // log are walked at once, and a pattern is found when any piece found
    // it (only whether, not where, counts then).
    std::vector<std::size_t> starts{0};
    for (std::size_t k = 1; k < parts; ++k) {
      std::size_t at = std::max(logText.size() / parts * k, starts.back());
      while (at < logText.size() && logText[at] != '\n' && logText[at] != '\r') ++at;
      if (at >= logText.size()) break;
      starts.push_back(at + 1);
    }
    std::vector<Walk> walks;
    for (std::size_t k = 0; k < starts.size(); ++k) walks.push_back(newWalk());
    runParts(starts.size(), [&](std::size_t k) {
      const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : logText.size();
      walkLines(walks[k], logText.substr(starts[k], end - starts[k]), 0);
    });
    for (std::size_t i = 0; i < patterns.size(); ++i)
      for (const Walk& w : walks)
        if (w.hits[i].afterRequest != kNever) walk.hits[i].afterRequest = w.hits[i].afterRequest;
  } else {
    walkLines(walk, logText, 0);
  }
  const bool requestSeen = walk.requestSeen;
  const int offsetNow = walk.offsetNow;
  const std::vector<PatternHits>& hits = walk.hits;
  std::string_view line;
  // The offset in force at the end of the log, for searches that find nothing.
  // (When the walk stops early the remaining lines may still hold request
  // lines, so the end offset is taken from the last one.)
  int offsetAtEnd = offsetNow;
  bool requestAtEnd = requestSeen;
  if (rule) {
    LogLines rest(logText.substr(walk.endOffset));
    while (rest.next(line)) {
      if (isRequestLine(line)) {
        offsetAtEnd = extraOffsetOfRequest(*rule, line, layout.testerPosition);
        requestAtEnd = true;
      }
    }
  }

  // Settle the definitions in table order, carrying the offset.
  std::vector<std::size_t> used;
  int extra = startOffset;
  for (std::size_t d = 0; d < definitions.size(); ++d) {
    const int id = patternOf[d];
    if (id >= 0) {
      const PatternHits& h = hits[static_cast<std::size_t>(id)];
      if (rule && h.beforeRequests[extra / 2] != kNever) {
        used.push_back(d);
        continue;
      }
      if (h.afterRequest != kNever) {
        used.push_back(d);
        if (rule) extra = h.offsetThere;
        continue;
      }
    }
    if (rule && requestAtEnd) extra = offsetAtEnd;
  }
  return used;
}

void selectUsedParameters(AppState& state, UserChannel& channel, const std::filesystem::path& logFile) {
  std::string text;
  if (!readWholeFile(logFile, text)) text.clear();
  writeUsedParameters(state, channel, text);
}

void writeUsedParameters(AppState& state, UserChannel& channel, std::string_view text) {
  rIniF(state, channel, kPidsIni);
  const auto used = selectUsedDefinitions(text, state.definitions, state.layout, state.profileCode,
                                          state.lengthOffset);
  std::vector<ParamDef> chosen;
  chosen.reserve(used.size());
  for (const std::size_t d : used) chosen.push_back(state.definitions[d]);
  const std::filesystem::path target = resolveIgnoringCase(state.workingFolder, "_usesTblPids.ini");
  AtomicFile file(target);
  if (file.write(definitionFileText(chosen)) && file.commit()) {
    state.definitionFileName = std::string(kUsedPidsIni);
    return;
  }
  // A file left from an earlier log must not stand in for it: the
  // definitions stay those of pids.ini.
  channel.message(writeFailureText(target, systemErrorText(file.error() != 0 ? file.error() : EIO)) +
                  std::string(kAllDefinitionsLoaded));
}

}  // namespace tervolin

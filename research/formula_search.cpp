// The search reads the log once and walks its lines; each response's data is
// split into byte slots once, and each trial position keeps its prepared
// definition and a cache from the bytes its formula reads to the verdict
// (inside, outside, not a number), so repeated byte values are judged once.

#include "research/formula_search.h"

#include <array>
#include <memory>
#include <optional>

#include "common/hex.h"
#include "common/number_format.h"
#include "common/paths.h"
#include "decode/decode_fast.h"
#include "decode/value_cache.h"
#include "logs/line_text.h"
#include "logs/log_lines.h"

namespace tervolin {
namespace {

using logtext::contains;
using logtext::copyAt;

// Position texts name a byte with two hex digits, so bytes 0..255 can be
// tried; a longer response's further bytes have no position text.
constexpr int kPositions = 256;

// Lines read between two reports of the progress (and looks at a cancel).
constexpr unsigned kPollEvery = 1024;

constexpr std::string_view kNegativeResponse = "7F";
constexpr std::string_view kPrefixForUnmarked = "RxD:";
constexpr int kSessionResponse = 0x50;  // service 10 (start of a session) + 0x40

// Texts of the messages.
constexpr std::string_view kNotANumber = "' не является числом"_w;
constexpr std::string_view kNoLogOpen = "Ошибка ввода/вывода: лог-файл не открыт"_w;
constexpr std::string_view kCannotRead = "Ошибка ввода/вывода: не удаётся прочитать файл "_w;
constexpr std::string_view kByteLabel = ";st_byte - "_w;
constexpr std::string_view kCycleLabel = " №цикла- "_w;

// Sets the state's byte-order inversion for the search and gives the old
// value back when the search ends, however it ends.
class BorrowedInversion {
 public:
  BorrowedInversion(AppState& state, bool value) : state_(state), saved_(state.byteOrderInversion) {
    state.byteOrderInversion = value;
  }
  ~BorrowedInversion() { state_.byteOrderInversion = saved_; }
  BorrowedInversion(const BorrowedInversion&) = delete;
  BorrowedInversion& operator=(const BorrowedInversion&) = delete;

 private:
  AppState& state_;
  bool saved_;
};

// "ii00": byte i, whole byte.
std::string positionTextOf(int index) { return hexByte(static_cast<std::uint8_t>(index)) + "00"; }

enum Verdict : std::uint64_t { kOutside, kInside, kNotNumber };

// One trial position: "ii00" with the search's formula code.
struct Position {
  Position(std::string_view positionText, std::string_view formulaCode, bool inversion)
      : definition({}, positionText, formulaCode), plan(definition, inversion) {}
  PreparedDefinition definition;
  ValueKeyPlan plan;
  ValueCache verdicts;
};

class Search {
 public:
  Search(const AppState& state, std::string_view formulaCode, double minimum, double maximum)
      : options_{state.byteOrderInversion, state.decimalMark},
        formulaCode_(formulaCode),
        minimum_(minimum),
        maximum_(maximum) {}

  Verdict judge(const ResponseBytes& bytes, int index) {
    Position& position = at(index);
    const std::uint64_t key = position.plan.key(bytes);
    std::uint64_t stored = 0;
    if (key != kNoValueKey && position.verdicts.find(key, stored)) return static_cast<Verdict>(stored);
    Verdict verdict = kNotNumber;
    try {
      decodeInto(bytes, position.definition, options_, text_);
      if (const std::optional<double> value = parseNumber(text_, options_.decimalMark))
        verdict = minimum_ <= *value && *value <= maximum_ ? kInside : kOutside;
    } catch (const DecodeError&) {
      // Only a status request can raise, and the search sends none; a raise
      // would mean no number all the same.
    }
    if (key != kNoValueKey) position.verdicts.store(key, verdict);
    return verdict;
  }

 private:
  Position& at(int index) {
    std::unique_ptr<Position>& slot = positions_[static_cast<std::size_t>(index)];
    if (!slot) slot = std::make_unique<Position>(positionTextOf(index), formulaCode_, options_.inversion);
    return *slot;
  }

  DecodeOptions options_;
  std::string formulaCode_;
  double minimum_, maximum_;
  std::array<std::unique_ptr<Position>, kPositions> positions_;
  std::string text_;
};

// Matches per position in the order positions first matched. Every match of
// one search carries the same request code, so a position names its pair.
class Matches {
 public:
  void add(int index) {
    if (counts_[static_cast<std::size_t>(index)]++ == 0) order_.push_back(index);
  }
  template <class Visit>
  void forEach(Visit visit) const {
    for (const int index : order_) visit(index, counts_[static_cast<std::size_t>(index)]);
  }

 private:
  std::array<std::uint64_t, kPositions> counts_{};
  std::vector<int> order_;
};

// Characters up to the last one above a blank.
std::string_view withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::optional<double> readBound(std::string_view text, char mark, UserChannel& channel) {
  const std::optional<double> value = parseNumber(text, mark);
  if (!value) channel.message("'" + std::string(text) + std::string(kNotANumber));
  return value;
}

}  // namespace

std::string searchReportLine(const SearchRequest& request, std::string_view positionText,
                             std::string_view requestCode, std::uint64_t count, std::uint64_t responseCount,
                             char decimalMark) {
  const double share = static_cast<double>(count) * 100 / static_cast<double>(responseCount);
  std::string line("Условия поиска: Формула:"_w);
  line += request.formulaText;
  line += " Max:";
  line += request.maximumText;
  line += " Мин:"_w;
  line += request.minimumText;
  line += " № искомого БАЙТА:"_w;
  line += positionText;
  line += " Мода/Пид:"_w;
  line += requestCode;
  line += " Совпадений:"_w;
  line += intText(static_cast<std::int64_t>(count));
  line += "из "_w;
  line += intText(static_cast<std::int64_t>(responseCount));
  line += ' ';
  line += fixedText(share, 15, 2, decimalMark);
  line += '%';
  return line;
}

SearchOutcome searchFormula(AppState& state, const SearchRequest& request, UserChannel& channel,
                            Progress& progress,
                            const std::function<void(const std::vector<std::string>&)>& showLines) {
  const BorrowedInversion inversion(state, request.inversion);
  SearchOutcome outcome;

  const std::optional<double> maximum = readBound(request.maximumText, state.decimalMark, channel);
  if (!maximum) return outcome.end = SearchEnd::NotANumber, outcome;
  const std::optional<double> minimum = readBound(request.minimumText, state.decimalMark, channel);
  if (!minimum) return outcome.end = SearchEnd::NotANumber, outcome;

  std::string log;
  if (state.openFileName.empty()) {
    channel.message(kNoLogOpen);
    return outcome.end = SearchEnd::NoLog, outcome;
  }
  if (!readWholeFile(state.openFileName, log)) {
    channel.message(std::string(kCannotRead) + pathText(state.openFileName));
    return outcome.end = SearchEnd::NoLog, outcome;
  }

  const int step = contains(request.formulaText, "B") ? 2 : 1;
  const std::string_view formulaCode = std::string_view(request.formulaText).substr(0, 2);
  const std::string requestCode = state.records.empty() ? std::string() : state.records.source(0).requestCode;
  const std::string_view ecuPair = state.layout.ecuPair;
  const long long ecuPosition = state.layout.ecuPosition;  // H
  const long long lengthOffset = state.lengthOffset;       // L
  const long long identifierWidth = state.requestCodeWidth == 6 ? 2 : 1;  // W, in bytes

  Search search(state, formulaCode, *minimum, *maximum);
  Matches matches;
  ResponseBytes bytes;
  std::string prefixed;
  bool sessionService = false;  // the service of the last line that had a hex one is 10
  bool stopped = false;

  LogLines lines(log);
  std::string_view line;
  for (unsigned read = 0; !stopped && lines.next(line); ++read) {
    if (read % kPollEvery == 0) {
      progress.report(lines.offset(), log.size());
      if (progress.cancelled()) {
        stopped = true;
        break;
      }
    }
    const std::size_t pairAt = line.find(ecuPair);
    if (ecuPair.empty() || pairAt == std::string_view::npos) continue;
    if (!logtext::isResponseMarked(line)) {
      // A request carries the ECU pair only by chance (the session start
      // "10 F1 10 81"); it is no response and must not dilute the shares.
      if (logtext::isRequestLine(line)) continue;
      prefixed.assign(kPrefixForUnmarked);
      prefixed.append(line);
      line = prefixed;
    }
    const long long p = logtext::positionOf(line, ecuPair);
    if (copyAt(line, p + lengthOffset + 6, 2) == kNegativeResponse) continue;
    if (const std::optional<std::uint64_t> service = parseHex(copyAt(line, ecuPosition + lengthOffset + 6, 2)))
      sessionService = *service == kSessionResponse;
    if (sessionService) continue;
    ++outcome.responseCount;

    const long long dataFrom = p + lengthOffset + 3 * identifierWidth + 9;
    const long long lineLength = static_cast<long long>(line.size());
    const std::string_view data = withoutTrailingBlanks(copyAt(line, dataFrom, lineLength - 2 - dataFrom));
    bytes.assign(data);
    const int count = static_cast<int>(std::min<std::size_t>(bytes.slotCount, kPositions));
    for (int i = 0; i < count; i += step) {
      const Verdict verdict = search.judge(bytes, i);
      if (verdict == kInside) {
        matches.add(i);
      } else if (verdict == kNotNumber) {
        std::string box(data);
        box += kByteLabel;
        box += positionTextOf(i);
        box += kCycleLabel;
        box += intText(i);
        if (!channel.okBox(box)) {
          stopped = true;
          break;
        }
      }
    }
  }

  matches.forEach([&](int index, std::uint64_t count) {
    outcome.lines.push_back(
        searchReportLine(request, positionTextOf(index), requestCode, count, outcome.responseCount, state.decimalMark));
  });
  if (showLines) showLines(outcome.lines);
  if (stopped) {
    outcome.end = SearchEnd::Cancelled;
    return outcome;
  }
  channel.message(kSearchDone);
  return outcome;
}

}  // namespace tervolin

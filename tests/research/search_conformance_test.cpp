// The formula search against a literal, line-by-line rendering of its rules
// (plain strings, 1-based positions, Copy/Pos semantics written out, every
// byte decoded through DecodeDan's text road and read back as a number), on
// generated hostile logs, for formulas of every kind, both byte orders, both
// decimal marks and every frame layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/app_state.h"
#include "common/hex.h"
#include "common/number_format.h"
#include "common/text.h"
#include "decode/decode_dan.h"
#include "logs/layout_detection.h"
#include "research/formula_search.h"
#include "support/literal_strings.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::copyOf;
using test::has;
using test::posOf;
using test::withoutBlanks;

// --- Literal rendering ------------------------------------------------------

struct Literal {
  std::vector<std::string> lines;
  std::vector<std::string> byteReports;
  std::uint64_t responses = 0;
};

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  std::size_t k = 0;
  while (true) {
    while (k < text.size() && static_cast<unsigned char>(text[k]) <= 32) ++k;
    if (k >= text.size()) return out;
    std::string line;
    while (k < text.size() && text[k] != '\r' && text[k] != '\n') line += text[k++];
    out.push_back(line);
  }
}

std::optional<long long> hexValue(const std::string& s) {
  if (s.empty()) return std::nullopt;
  long long v = 0;
  for (const char c : s) {
    const int d = hexDigitValue(c);
    if (d < 0) return std::nullopt;
    v = v * 16 + d;
  }
  return v;
}

// IntToHex(v, 2): at least two upper-case digits; a negative value is
// written as its 32-bit two's complement.
std::string intToHex2(long long v) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  auto u = static_cast<std::uint32_t>(v);
  std::string s;
  do {
    s.insert(s.begin(), kDigits[u % 16]);
    u /= 16;
  } while (u);
  while (s.size() < 2) s.insert(s.begin(), '0');
  return s;
}

std::string trimRight(std::string s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
  return s;
}

long long halvesToEven(long long digits) {
  long long n = digits / 2;
  if (digits % 2 == 1 && n % 2 == 1) ++n;
  return n;
}

Literal literalSearch(const std::string& log, const AppState& st, const SearchRequest& rq, const std::string& code) {
  Literal out;
  const double max = *parseNumber(rq.maximumText, st.decimalMark);
  const double min = *parseNumber(rq.minimumText, st.decimalMark);
  const int step = has(rq.formulaText, "B") ? 2 : 1;
  const std::string formula = copyOf(rq.formulaText, 1, 2);
  const std::string& ecu = st.layout.ecuPair;
  const long long h = st.layout.ecuPosition, l = st.lengthOffset, w = st.requestCodeWidth == 6 ? 2 : 1;
  std::string service;
  std::vector<std::pair<std::string, std::string>> matchList, pairList;
  for (std::string s : linesOf(log)) {
    if (posOf(ecu, s) == 0) continue;
    if (!has(s, "RxD") && !has(s, "Ответ"_w)) {
      if (has(s, "TxD") || has(s, "Запрос"_w)) continue;  // a request is no response
      s = "RxD:" + s;
    }
    const long long p = posOf(ecu, s);
    if (copyOf(s, p + l + 6, 2) == "7F") continue;
    if (const auto v = hexValue(copyOf(s, h + l + 6, 2))) service = intToHex2(*v - 0x40);
    if (service == "10") continue;
    ++out.responses;
    const long long from = p + l + 3 * w + 9;
    const std::string data = trimRight(copyOf(s, from, static_cast<long long>(s.size()) - 3 - from + 1));
    const long long n = halvesToEven(static_cast<long long>(withoutBlanks(data).size()));
    for (long long i = 0; i <= n - 1 && i <= 0xFF; i += step) {
      const std::string position = intToHex2(i) + "00";
      const std::string text =
          DecodeDan(data, "", position, formula, DecodeOptions{rq.inversion, st.decimalMark});
      const std::optional<double> value = parseNumber(text, st.decimalMark);
      if (!value) {
        out.byteReports.push_back(data + ";st_byte - " + position + std::string(" №цикла- "_w) + std::to_string(i));
        continue;
      }
      if (min <= *value && *value <= max) {
        matchList.emplace_back(position, code);
        if (std::find(pairList.begin(), pairList.end(), matchList.back()) == pairList.end())
          pairList.push_back(matchList.back());
      }
    }
  }
  for (const auto& pair : pairList) {
    const auto count = static_cast<std::uint64_t>(std::count(matchList.begin(), matchList.end(), pair));
    out.lines.push_back(searchReportLine(rq, pair.first, pair.second, count, out.responses, st.decimalMark));
  }
  return out;
}

// --- Generated logs ---------------------------------------------------------

// Lines the generator does not write: refusals, session starts and their
// confirmations, unmarked responses, non-hex and lower-case services, short
// and long responses, tabs and trailing blanks.
std::string hostileLine(std::mt19937& rng) {
  static const std::vector<std::string> kLines = {
      "RxD 83 F1 10 7F 21 12 36",
      "RxD 82 F1 10 50 81 54",
      "TxD 82 10 F1 10 81 14",
      "12:00 84 F1 10 61 01 7B 2C 5E",
      "RxD 84 F1 10 zz 01 7B 2C 5E",
      "RxD 84 F1 10 61 01 7b 2c 5e",
      "RxD 84 F1 10 61 01 7B 2C 5E  \t",
      "RxD 84 F1 10 6",
      "RxD 84 F1 10 61 01 7B\t2C 5E",
      "F1 10",
      "RxD 80 F1 10 05 61 01 00 7B 2C 5E",
      "RxD 84 F1 10 61 01 FF FF 80 00 00 5E",
      std::string("Ответ"_w) + ": 84 F1 10 61 01 3C 3E 12 8D",
  };
  if (rng() % 40 == 0) {
    std::string line = "RxD 80 F1 10 FF 61 01";
    for (int i = 0; i < 300; ++i) line += " " + hexByte(static_cast<std::uint8_t>(rng()));
    return line;
  }
  return kLines[rng() % kLines.size()];
}

enum class Family { Ordinary, RussianWords, LengthByte, SixDigit, Adapter };

std::string bytesText(const std::vector<int>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) text += (i ? " " : "") + hexByte(static_cast<std::uint8_t>(bytes[i]));
  return text;
}

// Polls of one family with random data (values repeating often, as a drive's
// do), time-stamp prefixes and noise, and a hostile line now and then.
std::string hostileLog(Family family, std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const bool six = family == Family::SixDigit;
  const std::string txd = family == Family::RussianWords ? std::string("Запрос:"_w) : "TxD";
  const std::string rxd = family == Family::RussianWords ? std::string("Ответ:"_w) : "RxD";
  std::string out = family == Family::Adapter ? "ELM327 v1.5\r\n" : "";
  for (int poll = 0; poll < 150; ++poll) {
    const std::vector<int> request = six ? std::vector<int>{0x21, 0x01, 0x02 + pick(2)} : std::vector<int>{0x21, 1 + pick(2)};
    std::vector<int> answer = request;
    answer[0] += 0x40;
    for (int i = pick(20); i > 0; --i) answer.push_back(pick(3) == 0 ? pick(256) : 0x40 + pick(8));
    const std::string stamp = pick(2) ? "[12:00:0" + std::to_string(pick(10)) + ".250] " : "";
    if (family == Family::Adapter) {
      out += stamp + txd + " " + bytesText(request) + "\r\n";
      out += stamp + rxd + " " + bytesText(answer) + "\r\n";
    } else {
      std::vector<int> frame = {0x80 + static_cast<int>(request.size()), 0x10, 0xF1};
      frame.insert(frame.end(), request.begin(), request.end());
      frame.push_back(0xA5);
      out += stamp + txd + " " + bytesText(frame) + "\r\n";
      frame = family == Family::LengthByte ? std::vector<int>{0x80, 0xF1, 0x10, static_cast<int>(answer.size())}
                                           : std::vector<int>{0x80 + static_cast<int>(answer.size()), 0xF1, 0x10};
      frame.insert(frame.end(), answer.begin(), answer.end());
      frame.push_back(pick(256));
      out += stamp + rxd + " " + bytesText(frame) + "\r\n";
    }
    if (pick(4) == 0) out += hostileLine(rng) + "\r\n";
    if (pick(10) == 0) out += "  \t\r\nnoise without bytes\n";
  }
  return out;
}

TEST(SearchConformance, SearchEqualsTheLiteralRulesOnGeneratedLogs) {
  const SearchRequest requests[] = {
      {std::string("FT: A-40 (-40.. 215`C) Температура воздуха или жидкости"_w), "-40", "215", false},
      {std::string("FT: A-40 (-40.. 215`C) Температура воздуха или жидкости"_w), "20", "60", false},
      {std::string("FR: ((A*256)+B)/4 (0..16383) Обороты"_w), "500", "6000", false},
      {std::string("FR: ((A*256)+B)/4 (0..16383) Обороты"_w), "500", "6000", true},
      {std::string("FL: (A*256+B)*0.0000305 (0..2) O2Sn_WR_lambda"_w), "0", "1.5", true},
      {std::string("NB: A*0.08 (V) Напряжение бортсети"_w), "10", "15", false},
      {"FO: A*256+B", "0", "40000", true},
      {"FH", "10", "99", false},
      {"B8", "0", "1", false},
      {"W4:(A*256+B)*65536+C*256+B", "0", "1", false},
      {"", "0", "99999", false},
      {"X4", "-100", "100", true},
      {"F", "0", "1", false},
  };
  const Family families[] = {Family::Ordinary, Family::RussianWords, Family::LengthByte, Family::SixDigit,
                             Family::Adapter};
  test::TempDir dir;
  std::uint32_t seed = 1;
  for (const Family family : families) {
    for (int round = 0; round < 3; ++round, ++seed) {
      const std::string log = hostileLog(family, seed);
      AppState state;
      state.openFileName = dir / ("log" + std::to_string(seed) + ".log");
      test::writeFile(state.openFileName, log);
      state.layout = detectLayout(log);
      state.lengthOffset = family == Family::LengthByte && round != 1 ? 3 : 0;
      state.requestCodeWidth = family == Family::SixDigit ? 6 : 4;
      state.decimalMark = round == 2 ? ',' : '.';
      const std::string code = round == 1 ? "" : "2101";
      if (!code.empty()) state.records.append(1, state.records.addSource({code, "0000", "", ""}), "");
      for (SearchRequest rq : requests) {
        if (state.decimalMark == ',') std::replace(rq.maximumText.begin(), rq.maximumText.end(), '.', ',');
        test::ScriptedChannel channel;
        const SearchOutcome got = searchFormula(state, rq, channel);
        const Literal want = literalSearch(log, state, rq, code);
        const std::string what = "seed " + std::to_string(seed) + ", formula " + cp1251ToUtf8(rq.formulaText);
        EXPECT_EQ(got.end, SearchEnd::Finished) << what;
        EXPECT_EQ(got.responseCount, want.responses) << what;
        EXPECT_EQ(got.lines, want.lines) << what;
        EXPECT_EQ(channel.texts(test::ScriptedChannel::Event::OkBox), want.byteReports) << what;
        EXPECT_EQ(channel.texts(test::ScriptedChannel::Event::Message), std::vector<std::string>{std::string(kSearchDone)}) << what;
      }
    }
  }
}

}  // namespace
}  // namespace tervolin

// The text-log reader, the used-parameter selection and the graph-file
// reader against a literal, line-by-line rendering of its rules
// (plain strings, 1-based positions, Copy/Pos semantics written out), on
// generated hostile logs and files.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/graph_file_reader.h"
#include "logs/layout_detection.h"
#include "logs/log_lines.h"
#include "logs/text_log_records.h"
#include "logs/used_parameters.h"
#include "support/literal_strings.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using test::copyOf;
using test::has;
using test::posOf;
using test::upperOf;
using test::withoutBlanks;

// --- Literal rendering ------------------------------------------------------

std::optional<long long> hexValue(const std::string& s) {
  if (s.empty() || s.size() > 8) return std::nullopt;
  long long v = 0;
  for (const char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return std::nullopt;
    v = v * 16 + d;
  }
  return v;
}

bool pairDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

long long firstPair(const std::string& line) {
  const auto len = static_cast<long long>(line.size());
  for (long long p = 1; p < len - 2; ++p)
    if (pairDigit(line[p - 1]) && pairDigit(line[p]) && line[p + 1] == ' ') return p;
  return 0;
}

const std::string kRequestWord(std::string("Запрос"_w));
const std::string kResponseWord(std::string("Ответ"_w));
const std::string kFound(std::string("найден"_w));
const std::string kMarker(std::string("Интервал между запросами тестера:"_w));

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  LogLines lines(text);
  std::string_view line;
  while (lines.next(line)) out.emplace_back(line);
  return out;
}

LogLayout referenceLayout(const std::string& text) {
  LogLayout layout;
  layout.adapterOffset = 6;
  bool tester = false, ecu = false;
  for (const std::string& line : linesOf(text)) {
    if (tester && ecu) break;
    if (has(line, "ELM") && !has(line, kFound)) layout.adapterOffset = -3;
    const long long p = firstPair(line);
    const std::string pair = copyOf(line, p + 3, 2) + " " + copyOf(line, p + 6, 2);
    if (p != 0 && (has(line, "RxD") || has(line, kResponseWord))) {
      layout.ecuPair = layout.adapterOffset == -3 ? "RxD" : pair;
      layout.ecuPosition = static_cast<int>(p + 3);
      ecu = true;
    } else if (p != 0 && (has(line, "TxD") || has(line, kRequestWord))) {
      layout.testerPair = layout.adapterOffset == -3 ? "TxD" : pair;
      layout.testerPosition = static_cast<int>(p + 3);
      tester = true;
    }
    if (tester && ecu &&
        !(copyOf(layout.testerPair, 1, 2) == copyOf(layout.ecuPair, 4, 2) &&
          copyOf(layout.testerPair, 4, 2) == copyOf(layout.ecuPair, 1, 2))) {
      tester = false;
      ecu = false;
    }
  }
  return layout;
}

struct Outcome {
  bool ok = true;
  // ordinal, definition index, data text without blanks
  std::vector<std::tuple<std::int32_t, std::uint32_t, std::string>> records;
  std::vector<std::string> messages;
  std::uint32_t counter = 0;
  bool operator==(const Outcome&) const = default;
};

// The interval value may be written with either decimal mark.
Outcome referenceRead(const std::string& text, const std::vector<ParamDef>& defs, const LogLayout& layout) {
  Outcome o;
  const bool adapter = layout.adapterOffset == -3;
  long long format = 0;
  std::string code, data;
  for (const std::string& line : linesOf(text)) {
    const auto len = static_cast<long long>(line.size());
    const bool holds = !has(line, "ELM") && firstPair(line) != 0;
    if (has(line, kMarker)) {
      std::string value = copyOf(line, posOf(kMarker, line) + static_cast<long long>(kMarker.size()) + 1, 4);
      while (!value.empty() && value.front() == ' ') value.erase(0, 1);
      while (!value.empty() && value.back() == ' ') value.pop_back();
      if (value.find('.') == std::string::npos) {
        const std::size_t comma = value.find(',');
        if (comma != std::string::npos) value[comma] = '.';
      }
      char* end = nullptr;
      std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || value.find_first_not_of("0123456789.+-eE") != std::string::npos) {
        o.ok = false;
        return o;
      }
      continue;
    }
    if (has(line, "TxD") || has(line, kRequestWord)) {
      ++o.counter;
      if (adapter) {
        const long long t = posOf(layout.testerPair, line);
        code = copyOf(upperOf(copyOf(line, t + 4, len - t - 3)), 1, 8);
      } else {
        const long long q = layout.testerPosition;
        if (const auto f = hexValue(copyOf(line, q - 3, 2))) format = *f;
        else o.messages.push_back(line);
        if (format <= 0x79) continue;
        const long long count = format <= 0x80 ? 5 : (format - 0x80) * 3 - 1;
        code = copyOf(upperOf(copyOf(line, q + 6, count)), 1, 8);
      }
      continue;
    }
    const long long m = posOf(layout.ecuPair, line);
    if (m == 0 || !holds) continue;
    const auto n = static_cast<long long>(code.size());
    if (adapter) {
      if (copyOf(line, m + 4, len - m - 3).size() > 7) data = copyOf(line, m + 5 + n, len - m - 4 - n);
    } else {
      const auto f = hexValue(copyOf(line, m - 3, 2));
      if (!f) {
        o.ok = false;
        return o;
      }
      long long l = *f - 0x80;
      if (l != 0) {
        data = copyOf(line, m + 7 + n, 3 * l - 1 - n);
      } else {
        const auto lb = hexValue(copyOf(line, m + 6, 2));
        if (!lb) {
          o.ok = false;
          return o;
        }
        l = *lb;
        data = copyOf(line, m + 10 + n, 3 * l - 1 - n);
      }
    }
    for (std::size_t d = 0; d < defs.size(); ++d)
      if (defs[d].requestCode == upperOf(withoutBlanks(code)))
        o.records.emplace_back(static_cast<std::int32_t>(o.counter), static_cast<std::uint32_t>(d),
                               withoutBlanks(data));
  }
  return o;
}

Outcome actualRead(const std::string& text, const std::vector<ParamDef>& defs, const LogLayout& layout,
                   const ReadSplit& split) {
  AppState state;
  state.decimalMark = '.';
  state.definitions = defs;
  state.layout = layout;
  ScriptedChannel channel;
  Outcome o;
  o.ok = !readTextLogRecords(text, state, channel, split);
  for (std::size_t i = 0; i < state.records.size(); ++i)
    o.records.emplace_back(state.records.at(i).ordinal, state.records.at(i).source,
                           std::string(state.records.value(i)));
  o.messages = channel.texts(ScriptedChannel::Event::Message);
  o.counter = state.requestCounter;
  return o;
}

ParamDef def(std::string code, std::string position = "0000") {
  ParamDef d;
  d.requestCode = std::move(code);
  d.positionField = std::move(position);
  d.name = "N";
  d.unit = "u";
  return d;
}

// --- Generated hostile logs ---------------------------------------------

std::string generate(std::mt19937& rng, bool adapterish) {
  static const std::vector<std::string> prefixes = {"", "[12:00:00.250] ", "\t", "12 ", "x: ", "00 "};
  static const std::vector<std::string> requests = {
      "TxD 82 10 F1 21 01 A5", "TxD 82 10 F1 21 03 A7", "TxD 80 10 F1 03 21 01 A5", "TxD 83 10 F1 21 01 02 A8",
      "TxD 79 10 F1 21 07 00", "TxD ZZ 10 F1 21 03 A5", "TxD 8 10 F1",   "TxD 82 10 F1 21 0a A5",
      "TxD 84 10 F1 22 F4 0C 01 A5", kRequestWord + ": 82 10 F1 21 01 A5", "TxD 21 01", "TxD 01 0C", "TxD ATZ",
      "TxD 82 33 F1 21 01 A5", "TxD 82 10 F1 21 e0 A5", "TxD 82 10 F1 21 07 A5"};
  static const std::vector<std::string> responses = {
      "RxD 84 F1 10 61 01 7B 2C 5E",    "RxD 84 F1 10 61 03 11 22 33",  "RxD 80 F1 10 04 61 01 7B 2C 5E",
      "RxD 86 F1 10 61 01 02 0A 0B 5E", "RxD 85 F1 10 61 01 7B",        "RxD 8A F1 10 61 01 01 02",
      "RxD 80 F1 10 QQ 61 01 00",       "RxD 41 0C 1A F8",              "RxD NO DATA",
      "RxD 41 0C",                      kResponseWord + ": 84 F1 10 61 01 7B 2C 5E", "F1 10 61 01 7B 2C",
      "RxD 84 f1 10 61 01 7B 2C 5E",    "RxD 83 F1 10 61 01 ELM 00",   "RxD 7F F1 10 61 01 00 00",
      "RxD 80 F1 10 04 61 E0 7B 2C 5E", "RxD 80 F1 10 04 61 07 7B 2C 5E", "RxD 84 F1 10 61 e0 7B 2C 5E"};
  std::string text;
  if (rng() % 3 == 0) text += kMarker + (rng() % 5 == 0 ? " 0,25" : " 0.25") + "\r\n";
  if (adapterish) text += "RxD ELM327 v1.5\r\n";
  const int lines = 5 + static_cast<int>(rng() % 40);
  for (int i = 0; i < lines; ++i) {
    std::string line = prefixes[rng() % prefixes.size()];
    line += (i % 2 == 0 ? requests[rng() % requests.size()] : responses[rng() % responses.size()]);
    if (rng() % 6 == 0) line += " ";
    if (rng() % 8 == 0) line.resize(rng() % (line.size() + 1));
    if (rng() % 40 == 0) line = "ELM found " + line;
    text += line;
    static const char* ends[] = {"\r\n", "\n", "\r", "\r\n\r\n  "};
    text += ends[rng() % 4];
  }
  return text;
}

TEST(ReaderConformance, LayoutDetectionFollowsTheLineRules) {
  std::mt19937 rng(2024);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = generate(rng, i % 4 == 0);
    const LogLayout expected = referenceLayout(text);
    const LogLayout actual = detectLayout(text);
    ASSERT_EQ(actual.testerPair, expected.testerPair) << text;
    ASSERT_EQ(actual.ecuPair, expected.ecuPair) << text;
    ASSERT_EQ(actual.testerPosition, expected.testerPosition) << text;
    ASSERT_EQ(actual.ecuPosition, expected.ecuPosition) << text;
    ASSERT_EQ(actual.adapterOffset, expected.adapterOffset) << text;
  }
}

TEST(ReaderConformance, RecordReadingFollowsTheLineRules) {
  const std::vector<ParamDef> defs = {def("2101"), def("2103", "0100"), def("2101", "0100"), def("0321"),
                                      def("210102"), def("22F40C01"), def("010C"), def("210A")};
  std::mt19937 rng(77);
  int records = 0, errors = 0, messages = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string text = generate(rng, i % 4 == 0);
    const LogLayout layout = detectLayout(text);
    const Outcome expected = referenceRead(text, defs, layout);
    ASSERT_EQ(actualRead(text, defs, layout, {std::size_t(-1)}), expected) << text;
    // Read in pieces at once, each learning the state it starts in from
    // a few bytes before it.
    for (const ReadSplit split : {ReadSplit{0, 2}, ReadSplit{0, 3, 16}, ReadSplit{0, 5, 1}})
      ASSERT_EQ(actualRead(text, defs, layout, split), expected) << split.parts << " pieces\n" << text;
    records += static_cast<int>(expected.records.size());
    errors += expected.ok ? 0 : 1;
    messages += static_cast<int>(expected.messages.size());
  }
  // The generated logs must reach every outcome.
  EXPECT_GT(records, 1000);
  EXPECT_GT(errors, 50);
  EXPECT_GT(messages, 50);
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

// Used-parameter selection, one full scan of the log per definition, the
// extra offset carried from each scan to the next.
std::vector<std::size_t> referenceSelection(const std::string& text, const std::vector<ParamDef>& defs,
                                            const LogLayout& layout, const std::string& profile,
                                            int lengthOffset) {
  std::vector<std::size_t> used;
  int extra = lengthOffset == 3 ? 2 : 0;
  const std::string ecu = withoutBlanks(layout.ecuPair);
  const std::vector<std::string> lines = linesOf(text);
  for (std::size_t d = 0; d < defs.size(); ++d) {
    const std::string& code = defs[d].requestCode;
    std::string pattern;
    if (const auto service = hexValue(copyOf(code, 1, 2))) {
      char head[16];
      std::snprintf(head, sizeof head, "%02llX", static_cast<unsigned long long>(*service + 0x40));
      pattern = head + copyOf(code, 3, static_cast<long long>(code.size()));
    }
    for (const std::string& line : lines) {
      if (has(line, "TxD") || has(line, kRequestWord)) {
        const std::string request = copyOf(line, layout.testerPosition + 6, 5);
        const std::string up = upperOf(profile);
        if (up == "B797" || up == "B1797V" || up == "M11E2") extra = request == "21 01" ? 2 : 0;
        else if (profile == "M11E3") extra = request == "21 07" ? 2 : 0;
        else if (profile == "M103E2") extra = upperOf(request) == "21 E0" || request == "21 03" ? 2 : 0;
      }
      if (!has(line, "RxD") && !has(line, kResponseWord)) continue;
      const std::string compact = withoutBlanks(line);
      const long long at = posOf(ecu, compact);
      if (at == 0) continue;
      if (posOf(pattern, upperOf(compact)) == at + 4 + extra) {
        used.push_back(d);
        break;
      }
    }
  }
  return used;
}

TEST(ReaderConformance, UsedParameterSelectionOnHostileLogs) {
  const std::vector<ParamDef> defs = {def("2101"), def("2103"), def("2107"), def("21E0"), def("0321"),
                                      def("2101", "0100"), def("210102"), def("210A"), def("010C"), def("X1")};
  const std::vector<std::pair<std::string, int>> profiles = {
      {"VAZ", 0}, {"Chery", 3}, {"b797", 3}, {"M11E2", 3}, {"M11E3", 3}, {"m11e3", 3}, {"M103E2", 3}, {"GreatWall", 3}};
  std::mt19937 rng(5);
  std::size_t found = 0;
  for (int i = 0; i < 1500; ++i) {
    const std::string text = generate(rng, i % 5 == 0);
    const LogLayout layout = detectLayout(text);
    for (const auto& [profile, lengthOffset] : profiles) {
      const auto expected = referenceSelection(text, defs, layout, profile, lengthOffset);
      const auto actual = selectUsedDefinitions(text, defs, layout, profile, lengthOffset);
      ASSERT_EQ(actual, expected) << profile << "\n" << text;
      // Walked in pieces at once where the profile allows it.
      ASSERT_EQ(selectUsedDefinitions(text, defs, layout, profile, lengthOffset, {0, 3}), expected) << profile;
      found += expected.size();
    }
  }
  EXPECT_GT(found, 1000u);
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

std::string hex2(unsigned v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02X", v);
  return b;
}

struct GraphOutcome {
  std::vector<std::tuple<std::int32_t, std::uint32_t, std::string>> records;
  std::string tmpIni;
  bool operator==(const GraphOutcome&) const = default;
};

// The graph-file rules written out over the bytes of one file.
GraphOutcome referenceGraph(const std::string& bytes, int width, const std::vector<ParamDef>& defs) {
  GraphOutcome o;
  std::vector<std::string> codes(8), positions(8), names(8), units(8);
  int empty = 0;
  for (int c = 0; c < 8; ++c) {
    for (int i = 0; i < 3; ++i) codes[c] += hex2(static_cast<unsigned char>(bytes[8 + c * 5 + i]));
    if (width == 4) codes[c] = copyOf(codes[c], 1, 4);
    for (int i = 3; i < 5; ++i) positions[c] += hex2(static_cast<unsigned char>(bytes[8 + c * 5 + i]));
    for (const ParamDef& d : defs)
      if (d.requestCode == codes[c] && d.positionField == positions[c]) {
        names[c] = d.name;
        units[c] = d.unit;
        break;
      }
    if (*hexValue(codes[c]) == 0) ++empty;
  }
  std::vector<int> recordChannel;
  std::size_t at = 48;
  while (at < bytes.size()) {
    if (bytes.size() - at < 2) break;
    const std::size_t n = static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
    at += 2;
    if (n == 0 || n > bytes.size() - at) break;
    std::string frame;
    for (std::size_t i = 0; i < n; ++i) frame += (i ? " " : "") + hex2(static_cast<unsigned char>(bytes[at + i]));
    const int first = static_cast<unsigned char>(bytes[at]);
    at += n;
    char service[16];
    std::snprintf(service, sizeof service, "%02X", static_cast<unsigned>(first - 0x40));
    if (std::string(service) == "10") continue;
    const std::string code = withoutBlanks(std::string(service) + " " + copyOf(frame, 4, width == 4 ? 2 : 5));
    const long long keep = 3 * static_cast<long long>(n) - (width == 4 ? 7 : 10);
    const std::string data = keep <= 0 ? std::string() : frame.substr(frame.size() - static_cast<std::size_t>(keep));
    for (int c = 0; c < 8; ++c) {
      if (codes[c] != code) continue;
      o.records.emplace_back(static_cast<std::int32_t>(recordChannel.size()), static_cast<std::uint32_t>(c),
                             withoutBlanks(data));
      recordChannel.push_back(c);
    }
  }
  for (int i = 0; i < 8 - empty; ++i) {
    if (static_cast<std::size_t>(i) < recordChannel.size()) {
      const int c = recordChannel[static_cast<std::size_t>(i)];
      o.tmpIni += codes[c] + "\r\n" + names[c] + "\r\n" + copyOf(units[c], 1, 10) + "\r\n" + positions[c] + "\r\n";
    } else {
      o.tmpIni += "\r\n\r\n\r\n\r\n";
    }
  }
  return o;
}

TEST(ReaderConformance, GraphFilesFollowTheFrameRules) {
  test::TempDir dir;
  test::writeFile(dir / "pids.ini",
                  "2101\r\nRPM\r\nrpm with a long unit\r\n0000\r\n2101\r\nTemp\r\nC\r\n0100\r\n210102\r\nSix\r\ns\r\n0000\r\n"
                  "2101\r\nDup\r\nd\r\n0000\r\n");
  test::writeFile(dir / "Formules.ini", "");
  const std::vector<std::vector<std::uint8_t>> codeChoices = {
      {0x21, 0x01, 0x00}, {0x21, 0x01, 0x02}, {0x21, 0x02, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x07}, {0x10, 0x81, 0x00}};
  const std::vector<std::vector<std::uint8_t>> positionChoices = {{0x00, 0x00}, {0x01, 0x00}, {0x0E, 0x08}};
  std::mt19937 rng(31);
  std::size_t records = 0;
  for (int i = 0; i < 400; ++i) {
    const int width = i % 3 == 0 ? 6 : 4;
    std::string bytes(48, '\0');
    bytes[6] = static_cast<char>(rng());
    for (int c = 0; c < 8; ++c) {
      const auto& code = codeChoices[rng() % codeChoices.size()];
      const auto& position = positionChoices[rng() % positionChoices.size()];
      for (int k = 0; k < 3; ++k) bytes[8 + c * 5 + k] = static_cast<char>(code[k]);
      for (int k = 0; k < 2; ++k) bytes[8 + c * 5 + 3 + k] = static_cast<char>(position[k]);
    }
    const int frames = static_cast<int>(rng() % 12);
    for (int f = 0; f < frames; ++f) {
      std::vector<std::uint8_t> frame = {static_cast<std::uint8_t>(std::vector<int>{0x61, 0x61, 0x50, 0x62, 0x20}[rng() % 5]),
                                         static_cast<std::uint8_t>(rng() % 3), static_cast<std::uint8_t>(rng() % 4)};
      frame.resize(1 + rng() % 8, 0x3C);
      if (rng() % 30 == 0) frame.clear();
      bytes += static_cast<char>(frame.size());
      bytes += '\0';
      for (const auto b : frame) bytes += static_cast<char>(b);
    }
    if (rng() % 20 == 0) bytes += '\x05';
    test::writeFile(dir / "g.rtd", bytes);

    AppState state;
    state.workingFolder = dir.path();
    state.programDir = dir.path();
    state.profileCode = "VAZ";
    state.requestCodeWidth = width;
    ScriptedChannel channel;
    readGraphFile(state, channel, dir / "g.rtd");
    GraphOutcome actual;
    for (std::size_t r = 0; r < state.records.size(); ++r)
      actual.records.emplace_back(state.records.at(r).ordinal, state.records.at(r).source,
                                  std::string(state.records.value(r)));
    actual.tmpIni = test::readFile(dir / "_tmp.ini");
    const GraphOutcome expected = referenceGraph(bytes, width, state.definitions);
    ASSERT_EQ(actual, expected) << "file " << i;
    records += expected.records.size();
  }
  EXPECT_GT(records, 300u);
}

}  // namespace
}  // namespace tervolin

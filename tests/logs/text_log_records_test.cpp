// Record reading of text logs: request and response forms, messages, read
// errors, and hostile input.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <tuple>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/layout_detection.h"
#include "logs/log_generator.h"
#include "logs/text_log_records.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

ParamDef def(std::string code, std::string position, std::string name = "N", std::string formula = "") {
  ParamDef d;
  d.requestCode = std::move(code);
  d.positionField = std::move(position);
  d.name = std::move(name);
  d.unit = "u";
  d.formulaCode = std::move(formula);
  return d;
}

struct Read {
  bool ok;
  std::vector<std::pair<std::int32_t, std::string>> records;  // ordinal, source name + "=" + value
  std::uint32_t counter;
};

Read readLog(AppState& state, ScriptedChannel& channel, std::string_view log) {
  state.layout = detectLayout(log);
  Read r;
  r.ok = !readTextLogRecords(log, state, channel);
  for (std::size_t i = 0; i < state.records.size(); ++i)
    r.records.emplace_back(state.records.at(i).ordinal,
                           state.records.source(i).name + "=" + std::string(state.records.value(i)));
  r.counter = state.requestCounter;
  return r;
}

using Records = std::vector<std::pair<std::int32_t, std::string>>;

// With no formula code and a request code that is not a status request, the
// value is the data text without blanks, so the values show exactly which
// bytes each form of line hands to the decoding.
struct FormCase {
  const char* what;
  std::string log;
  std::vector<ParamDef> defs;
  Records expected;
  std::uint32_t counter;
};

TEST(TextLogRecords, RequestAndResponseForms) {
  const std::vector<FormCase> cases = {
      {"worked example", "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n",
       {def("2101", "0000", "A")}, {{1, "A=7B2C"}}, 1},
      {"two definitions of one code, in table order",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E\n",
       {def("2101", "0100", "B"), def("2103", "0000", "X"), def("2101", "0000", "A")},
       {{1, "B=7B2C"}, {1, "A=7B2C"}}, 1},
      {"format byte 80: length byte and service form the code",
       "TxD 80 10 F1 03 21 01 A5\nRxD 80 F1 10 04 61 01 7B 2C 5E\n",
       {def("0321", "0000", "A"), def("2101", "0000", "B")}, {{1, "A=7B2C"}}, 1},
      {"format byte 79 or less keeps the previous code and counts the request",
       "TxD 82 10 F1 21 01 A5\nTxD 10 10 F1 21 03 A5\nRxD 84 F1 10 61 01 7B 2C 5E\n",
       {def("2101", "0000", "A"), def("2103", "0000", "B")}, {{2, "A=7B2C"}}, 2},
      {"format byte above 80 takes every request byte",
       "TxD 83 10 F1 22 F4 0C A5\nRxD 85 F1 10 62 F4 0C 01 02 5E\n",
       {def("22F40C", "0000", "A")}, {{1, "A=0102"}}, 1},
      {"long requests are cut to 8 characters",
       "TxD 84 10 F1 22 F4 0C 01 A5\nRxD 85 F1 10 62 F4 0C 01 02 5E\n",
       {def("22F40C", "0000", "A"), def("22F40C01", "0000", "B")}, {{1, "A=0102"}}, 1},
      {"lower-case request bytes are upper-cased",
       "Tx: TxD 82 10 F1 21 0a A5\nRxD 84 F1 10 61 0A 7B 2C 5E\n",
       {def("210A", "0000", "A")}, {{1, "A=7B2C"}}, 1},
      {"a response before any request matches nothing",
       "RxD 84 F1 10 61 01 7B 2C 5E\nTxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 01 02 5E\n",
       {def("2101", "0000", "A")}, {{1, "A=0102"}}, 1},
      {"Russian words and a time stamp prefix",
       "[t] " + std::string("Запрос"_w) + " 82 10 F1 21 01 A5\n[t] " + std::string("Ответ"_w) +
           " 84 F1 10 61 01 7B 2C 5E\n",
       {def("2101", "0000", "A")}, {{1, "A=7B2C"}}, 1},
      {"a line with the ELM marker is never a response",
       "TxD 82 10 F1 21 01 A5\nRxD ELM " + std::string("найден"_w) + " 84 F1 10 61 01 7B 2C 5E\n", {def("2101", "0000", "A")}, {}, 1},
      {"ELM at the very end of a line, after hex data full of E",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 EE E5 5E ELM\n", {def("2101", "0000", "A")}, {}, 1},
      {"EL and LM alone do not make the marker",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E EL LM\n", {def("2101", "0000", "A")},
       {{1, "A=7B2C"}}, 1},
      {"TxD at the start of a line with nothing before it, and xD alone is no request",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E xD\n", {def("2101", "0000", "A")},
       {{1, "A=7B2C"}}, 1},
      {"every response of a request gets the same ordinal",
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 01 02 5E\nRxD 84 F1 10 61 01 03 04 5E\n"
       "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 05 06 5E\n",
       {def("2101", "0000", "A")}, {{1, "A=0102"}, {1, "A=0304"}, {2, "A=0506"}}, 2},
      {"adapter log: data after service and identifier; no-data answers reuse the previous data",
       "ELM327 v1.5\nTxD 21 01\nRxD 61 01 7B 2C\nTxD 21 01\nRxD 7F 21\nRxD NO DATA\n",
       {def("2101", "0000", "A")}, {{1, "A=7B2C"}, {2, "A=7B2C"}}, 2},
      {"a response length past the line gives the bytes that are there",
       "TxD 82 10 F1 21 01 A5\nRxD 8F F1 10 61 01 7B\n", {def("2101", "0000", "A")}, {{1, "A=7B"}}, 1},
      {"a format byte below 80 gives an empty data text",
       "TxD 82 10 F1 21 01 A5\nRxD 10 F1 10 61 01 7B 2C\n", {def("2101", "0000", "A")}, {{1, "A="}}, 1},
  };
  for (const FormCase& c : cases) {
    AppState state;
    state.definitions = c.defs;
    ScriptedChannel channel;
    const Read r = readLog(state, channel, c.log);
    EXPECT_TRUE(r.ok) << c.what;
    EXPECT_EQ(r.records, c.expected) << c.what;
    EXPECT_EQ(r.counter, c.counter) << c.what;
    EXPECT_TRUE(channel.events.empty()) << c.what;
  }
}

TEST(TextLogRecords, WorkedExampleLayout) {
  const LogLayout layout = detectLayout("TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n");
  EXPECT_EQ(layout.testerPair, "10 F1");
  EXPECT_EQ(layout.testerPosition, 8);
  EXPECT_EQ(layout.ecuPair, "F1 10");
  EXPECT_EQ(layout.ecuPosition, 8);
  EXPECT_EQ(layout.adapterOffset, 6);
}

TEST(TextLogRecords, NonHexFormatByteIsShownAndThePreviousOneStays) {
  AppState state;
  state.definitions = {def("2101", "0000", "A"), def("2103", "0000", "B")};
  ScriptedChannel channel;
  const std::string bad = "TxD ZZ 10 F1 21 03 A5";
  const Read r = readLog(state, channel,
                         "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 01 02 5E\n" + bad +
                             "\nRxD 84 F1 10 61 03 7B 2C 5E\n");
  // F stays 82, so the bad line still sets the code from its own bytes.
  EXPECT_EQ(r.records, (Records{{1, "A=0102"}, {2, "B=7B2C"}}));
  ASSERT_EQ(channel.texts(ScriptedChannel::Event::Message), std::vector<std::string>{bad});
}

TEST(TextLogRecords, DecodeFailureIsReportedAndTheRecordKeptEmpty) {
  AppState state;
  // Status request 01B2 reads slot 5 itself; the data has only two bytes.
  state.definitions = {def("01B2", "0500", "S"), def("01B2", "0000", "T", "FT")};
  ScriptedChannel channel;
  const Read r = readLog(state, channel, "TxD 82 10 F1 01 B2 A5\nRxD 84 F1 10 41 B2 7B 2C 5E\n");
  EXPECT_TRUE(r.ok);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.records[0].second, "S=");
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{std::string("Ошибка при распознавании данных: \\"_w) + "7B 2C /01B2/0500/"});
}

TEST(TextLogRecords, IntervalLine) {
  const std::string marker(std::string("Интервал между запросами тестера:"_w));
  const struct {
    std::string line;
    char mark;
    bool ok;
    double interval;
  } cases[] = {
      {marker + " 0,25 sec", ',', true, 0.25},
      {marker + " 12.5", '.', true, 12.5},
      {marker + "  7  ", '.', true, 7},
      // Either decimal mark, whatever the locale's: the log comes from
      // whatever machine recorded it.
      {marker + " 0.25", ',', true, 0.25},
      {marker + " 0,25", '.', true, 0.25},
      {marker + " 1,5", ';', true, 1.5},
      {marker + " 1.,5", '.', false, 0},
      {marker + " 1,2,", ',', false, 0},
      {marker + " abcd", '.', false, 0},
      {marker, '.', false, 0},
  };
  for (const auto& c : cases) {
    AppState state;
    state.decimalMark = c.mark;
    state.definitions = {def("2101", "0000", "A")};
    ScriptedChannel channel;
    const Read r = readLog(state, channel,
                           "TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 7B 2C 5E\n" + c.line +
                               "\nTxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 01 02 5E\n");
    EXPECT_EQ(r.ok, c.ok) << c.line;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(state.requestInterval, c.interval);
      EXPECT_EQ(r.records.size(), 2u);
    } else {
      // The read stops at the bad line; what was read stays; no message.
      EXPECT_EQ(r.records, (Records{{1, "A=7B2C"}}));
      EXPECT_TRUE(channel.events.empty());
    }
  }
}

TEST(TextLogRecords, NonHexLengthEndsTheRead) {
  for (const char* response : {"RxD ZZ F1 10 61 01 7B 2C 5E", "RxD 80 F1 10 QQ 61 01 7B 2C 5E"}) {
    AppState state;
    state.definitions = {def("2101", "0000", "A")};
    ScriptedChannel channel;
    const Read r = readLog(state, channel,
                           std::string("TxD 82 10 F1 21 01 A5\nRxD 84 F1 10 61 01 01 02 5E\n") + response +
                               "\nRxD 84 F1 10 61 01 03 04 5E\n");
    EXPECT_FALSE(r.ok) << response;
    EXPECT_EQ(r.records, (Records{{1, "A=0102"}})) << response;
  }
}

TEST(TextLogRecords, SourcesFollowTheDefinitionTable) {
  AppState state;
  state.definitions = {def("2101", "0000", "A"), def("21010101010", "00000", "B")};
  state.definitions[1].unit = "0123456789ABC";
  ScriptedChannel channel;
  readLog(state, channel, "");
  ASSERT_EQ(state.records.sources().size(), 2u);
  EXPECT_EQ(state.records.sources()[1].requestCode, "21010101");
  EXPECT_EQ(state.records.sources()[1].positionField, "0000");
  EXPECT_EQ(state.records.sources()[1].unit, "0123456789");
}

// Hostile logs: nothing may crash or read outside a line, and a later
// well-formed pair is still read when nothing ended the read.
TEST(TextLogRecords, HostileLogsAreReadSafely) {
  std::vector<std::string> logs;
  std::mt19937 rng(42);
  for (int i = 0; i < 40; ++i) {
    std::string garbage(1 + rng() % 4000, '\0');
    for (char& c : garbage) c = static_cast<char>(rng() % 256);
    logs.push_back(garbage);
  }
  std::string longLine = "RxD 84 F1 10 61 01 ";
  while (longLine.size() < (3u << 20)) longLine += "7B ";
  logs.push_back("TxD 82 10 F1 21 01 A5\n" + longLine + "\n");
  logs.push_back("TxD FF 10 F1 21\nRxD 80 F1 10 FF 61 01\n");
  logs.push_back("TxD 82 10 F1 21 01 A5\nRxD 80 F1 10 FF 61\n");
  logs.push_back("TxD 82 10 F1 21 01 A5\nF1 10 \n10 F1 \nTxD\nRxD\nRxD 8");
  logs.push_back(std::string("TxD 82 10 F1 21 01 A5\0\0\0RxD 84 F1 10 61 01 7B 2C 5E", 51));
  for (const std::string& log : logs) {
    AppState state;
    state.definitions = {def("2101", "0000", "A"), def("2101", "FF00", "B", "FT"), def("01B2", "0300", "C")};
    ScriptedChannel channel;
    const Read r = readLog(state, channel, log);
    for (const auto& record : r.records) EXPECT_LE(record.first, static_cast<std::int32_t>(r.counter));
  }
  // The megabyte line's data is cut to its length byte count: 4 - 2 = 2 bytes.
  AppState state;
  state.definitions = {def("2101", "0000", "A")};
  ScriptedChannel channel;
  const Read r = readLog(state, channel, "TxD 82 10 F1 21 01 A5\n" + longLine + "\n");
  EXPECT_EQ(r.records, (Records{{1, "A=7B7B"}}));
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

struct Outcome {
  bool ok;
  std::vector<std::tuple<std::int32_t, std::uint32_t, std::string>> records;
  std::vector<std::string> messages;
  std::uint32_t counter;
  double interval;
  // cause, offset, line and text of the read error
  std::tuple<int, std::size_t, std::size_t, std::string> stop;
  bool operator==(const Outcome&) const = default;
};

Outcome readWith(const std::string& log, const std::vector<ParamDef>& defs, const ReadSplit& split) {
  AppState state;
  state.decimalMark = ',';
  state.definitions = defs;
  state.layout = detectLayout(log);
  ScriptedChannel channel;
  Outcome o;
  const std::optional<ReadStop> stop = readTextLogRecords(log, state, channel, split);
  o.ok = !stop;
  if (stop) o.stop = {static_cast<int>(stop->cause), stop->offset, stop->line, stop->text};
  for (std::size_t i = 0; i < state.records.size(); ++i)
    o.records.emplace_back(state.records.at(i).ordinal, state.records.at(i).source,
                           std::string(state.records.value(i)));
  o.messages = channel.texts(ScriptedChannel::Event::Message);
  o.counter = state.requestCounter;
  o.interval = state.requestInterval;
  return o;
}

// Reading a log in pieces at once gives exactly what one read gives,
// whatever line a piece starts on: records, messages, counter, interval and
// read errors in either half.
TEST(TextLogRecords, SplitReadEqualsOneRead) {
  const std::string marker(std::string("Интервал между запросами тестера:"_w));
  const std::vector<std::string> extras = {
      marker + " 0,5", marker + " 7",  "TxD ZZ 10 F1 21 03 A5", "TxD 82 10 F1 01 B2 A5",
      "RxD 84 F1 10 41 B2 7B 2C 5E", "TxD 79 10 F1 21 07 00", marker + " x",  "RxD QQ F1 10 61 01 00"};
  std::mt19937 rng(99);
  int errors = 0, messages = 0;
  for (const auto family : {test::LogFamily::Ordinary, test::LogFamily::Adapter, test::LogFamily::LengthByte,
                            test::LogFamily::SixDigit}) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
      auto log = test::generateLog(family, seed, 30);
      // Sprinkle interval lines, bad format bytes, decode failures and
      // (rarely) a read error through the log.
      std::string text;
      std::size_t start = 0;
      while (start < log.text.size()) {
        std::size_t end = log.text.find('\n', start);
        end = end == std::string::npos ? log.text.size() : end + 1;
        text.append(log.text, start, end - start);
        start = end;
        const auto roll = rng() % 100;
        if (roll < 6) text += extras[roll % 6] + "\n";
        else if (roll == 6 && rng() % 4 == 0) text += extras[6 + rng() % 2] + "\n";
      }
      log.definitions.push_back(def("01B2", "0500", "S"));
      const Outcome one = readWith(text, log.definitions, {std::size_t(-1)});
      for (const ReadSplit split : {ReadSplit{0, 2}, ReadSplit{0, 3, 8}, ReadSplit{0, 7, 64}})
        ASSERT_EQ(readWith(text, log.definitions, split), one) << split.parts << " pieces, seed " << seed << "\n" << text;
      errors += one.ok ? 0 : 1;
      messages += one.messages.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(errors, 0);
  EXPECT_GT(messages, 0);
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

// A long log read in pieces, each into a record list of its own that is
// joined afterwards: still equal to one read, and values stored once and
// named again read back the same.
TEST(TextLogRecords, LongSplitReadEqualsOneRead) {
  for (const std::uint32_t seed : {7u, 8u}) {
    const auto log = test::generateLog(test::LogFamily::Adapter, seed, 30000);
    const Outcome one = readWith(log.text, log.definitions, {std::size_t(-1)});
    const Outcome two = readWith(log.text, log.definitions, {0, 3});
    EXPECT_GT(one.records.size(), 40'000u);
    ASSERT_EQ(two, one) << "seed " << seed;
  }
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

// Where a read error ended the read: the line's byte offset and its line in
// the file (empty lines and every kind of line end counted), the cause and
// the offending text; the same whether the log is read at once or in halves.
TEST(TextLogRecords, ReadStopSaysWhere) {
  const std::string marker(std::string("Интервал между запросами тестера:"_w));
  const std::string head = "TxD 82 10 F1 21 01 A5\r\n\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n";  // 4 lines
  const struct {
    std::string tail;
    ReadStopCause cause;
    std::string text;
    std::size_t line;
  } cases[] = {
      {marker + " 0;25\r\n", ReadStopCause::IntervalNotNumber, "0;25", 4},
      {"\n\n   " + marker + " x\n", ReadStopCause::IntervalNotNumber, "x", 6},
      {"\rRxD ZZ F1 10 61 01 7B 2C 5E\n", ReadStopCause::LengthNotHex, "ZZ", 5},
      {"RxD 80 F1 10 Q2 61 01 7B 2C 5E\n", ReadStopCause::LengthNotHex, "Q2", 4},
  };
  for (const auto& c : cases) {
    const std::string log = head + c.tail + "RxD 84 F1 10 61 01 01 02 5E\n";
    // Read at once, and in three pieces (the failing line in a later one).
    for (const ReadSplit split : {ReadSplit{std::size_t(-1)}, ReadSplit{0, 3, 4}}) {
      AppState state;
      state.definitions = {def("2101", "0000", "A")};
      state.layout = detectLayout(log);
      ScriptedChannel channel;
      const auto stop = readTextLogRecords(log, state, channel, split);
      ASSERT_TRUE(stop) << c.tail;
      EXPECT_EQ(stop->cause, c.cause) << c.tail;
      EXPECT_EQ(stop->text, c.text) << c.tail;
      EXPECT_EQ(stop->line, c.line) << c.tail;
      // The offset is where the failing line starts (after its leading blanks).
      EXPECT_EQ(log.compare(stop->offset, 3, c.cause == ReadStopCause::LengthNotHex ? "RxD" : marker.substr(0, 3)), 0)
          << c.tail;
      EXPECT_EQ(state.records.size(), 1u);
    }
  }
}

TEST(ReadStop, LineNumbers) {
  const struct {
    std::string_view text;
    std::size_t offset, line;
  } cases[] = {
      {"abc", 0, 1}, {"abc", 3, 1}, {"a\nb", 2, 2}, {"a\r\nb", 3, 2}, {"a\rb", 2, 2},
      {"a\n\r\n\rb", 5, 4}, {"a\r", 2, 2}, {"a\nb", 99, 2},
  };
  for (const auto& c : cases) EXPECT_EQ(lineNumberAt(c.text, c.offset), c.line) << c.text << " @" << c.offset;
}

// The message names the file, the place, the cause with its text, the
// records shown and the dump; nothing about a dump that was not written.
TEST(ReadStop, Message) {
  ReadStop stop;
  stop.file = "/logs/drive.log";
  stop.dump = "/prog/Toyota/error_ini.txt";
  stop.cause = ReadStopCause::IntervalNotNumber;
  stop.offset = 1234;
  stop.line = 17;
  stop.text = "0;25";
  EXPECT_EQ(cp1251ToUtf8(readStopMessage(stop, 42)),
            "Чтение файла /logs/drive.log прервано в строке 17 (байт 1234): интервал между запросами «0;25» "
            "не является числом.\nПоказаны записи, прочитанные до этого места: 42.\n"
            "Прочитанные записи сохранены в файле /prog/Toyota/error_ini.txt.");
  stop.cause = ReadStopCause::LengthNotHex;
  stop.text = "ZZ";
  stop.dump.clear();
  EXPECT_EQ(cp1251ToUtf8(readStopMessage(stop, 0)),
            "Чтение файла /logs/drive.log прервано в строке 17 (байт 1234): байт длины ответа «ZZ» не является "
            "шестнадцатеричным числом.\nДо этого места не прочитано ни одной записи.");
  stop.line = 0;
  stop.offset = 48;
  for (const auto& [cause, reason] : {std::pair{ReadStopCause::FrameLengthZero, "кадр нулевой длины"},
                                      std::pair{ReadStopCause::FramePastEnd, "файл обрезан: кадр выходит за конец файла"}}) {
    stop.cause = cause;
    EXPECT_EQ(cp1251ToUtf8(readStopMessage(stop, 3)),
              std::string("Чтение файла /logs/drive.log прервано на байте 48: ") + reason +
                  ".\nПоказаны записи, прочитанные до этого места: 3.");
  }
  stop.cause = ReadStopCause::Unreadable;
  EXPECT_EQ(cp1251ToUtf8(readStopMessage(stop, 0)), "Не удалось прочитать файл /logs/drive.log.");
}

}  // namespace
}  // namespace tervolin

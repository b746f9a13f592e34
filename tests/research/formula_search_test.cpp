// The formula search on small hand-made logs: what is counted, which byte
// positions are tried, the report lines, the messages, and how the borrowed
// byte-order inversion is given back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/layout_detection.h"
#include "research/formula_search.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;

constexpr std::string_view kFT = "FT: A-40 (-40.. 215`C) Температура воздуха или жидкости"_w;

// A request line and its response with the given data bytes (after 61 01),
// ordinary frames 10 F1 / F1 10 and a checksum byte at the end.
std::string poll(std::string_view data) {
  return "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 " + std::string(data) + " CS\r\n";
}

struct Searcher {
  test::TempDir dir;
  AppState state;
  ScriptedChannel channel;

  // Opens `log` as the open command leaves it: the layout detected, the
  // first record answering "2101".
  explicit Searcher(const std::string& log, std::string_view firstCode = "2101") {
    state.openFileName = dir / "drive.log";
    test::writeFile(state.openFileName, log);
    state.layout = detectLayout(log);
    state.requestCodeWidth = 4;
    if (!firstCode.empty()) {
      const auto source = state.records.addSource({std::string(firstCode), "0000", "u", "name"});
      state.records.append(1, source, "1");
    }
  }

  SearchOutcome run(std::string_view formula, std::string_view minimum, std::string_view maximum,
                    bool inversion = false, Progress& progress = noProgress()) {
    return searchFormula(state, {std::string(formula), std::string(minimum), std::string(maximum), inversion},
                         channel, progress);
  }
  std::vector<std::string> messages() const { return channel.texts(Event::Message); }
  std::vector<std::string> byteReports() const { return channel.texts(Event::OkBox); }
};

std::string line(std::string_view formula, std::string_view min, std::string_view max, std::string_view position,
                 std::string_view code, std::string_view tail) {
  return std::string("Условия поиска: Формула:"_w) + std::string(formula) + " Max:" + std::string(max) +
         std::string(" Мин:"_w) + std::string(min) + std::string(" № искомого БАЙТА:"_w) + std::string(position) +
         std::string(" Мода/Пид:"_w) + std::string(code) + std::string(" Совпадений:"_w) + std::string(tail);
}

// Records the progress reports; cancelled once `cancelAfter` reports came.
class Watched : public Progress {
 public:
  explicit Watched(std::size_t cancelAfter) : cancelAfter_(cancelAfter) {}
  void report(std::uint64_t done, std::uint64_t total) override { reports.emplace_back(done, total); }
  bool cancelled() const override { return reports.size() >= cancelAfter_; }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

 private:
  std::size_t cancelAfter_;
};

// The position text of a report line.
std::string positionIn(const std::string& reportLine) {
  const std::string label(" № искомого БАЙТА:"_w);
  return reportLine.substr(reportLine.find(label) + label.size(), 4);
}

TEST(FormulaSearch, EveryResponseMatchingAtByteThreeGivesAHundredPercent) {
  Searcher s(poll("00 00 00 7B 00") + poll("01 00 00 78 00") + poll("02 00 00 82 00"));
  const SearchOutcome out = s.run(kFT, "80", "90");
  EXPECT_EQ(out.end, SearchEnd::Finished);
  EXPECT_EQ(out.responseCount, 3u);
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0], line(kFT, "80", "90", "0300", "2101", std::string("3из "_w) + "3 100.00%"));
  EXPECT_EQ(s.messages(), std::vector<std::string>{std::string(kSearchDone)});
}

TEST(FormulaSearch, PairsInOrderOfFirstMatchWithTheirShares) {
  // FI reads bytes as they are: 5 matches at byte 1 in responses 1 and 3,
  // at byte 0 only in response 2, at byte 2 in responses 2 and 3.
  Searcher s(poll("09 05 09") + poll("05 09 05") + poll("09 05 05"));
  s.state.decimalMark = ',';
  const SearchOutcome out = s.run("FI", "5", "5");
  ASSERT_EQ(out.lines.size(), 3u);
  EXPECT_EQ(out.lines[0], line("FI", "5", "5", "0100", "2101", std::string("2из "_w) + "3 66,67%"));
  EXPECT_EQ(out.lines[1], line("FI", "5", "5", "0000", "2101", std::string("1из "_w) + "3 33,33%"));
  EXPECT_EQ(out.lines[2], line("FI", "5", "5", "0200", "2101", std::string("2из "_w) + "3 66,67%"));
}

TEST(FormulaSearch, WhatIsCountedAsAResponse) {
  const struct {
    const char* what;
    std::string log;
    std::uint64_t responses;
  } cases[] = {
      {"a negative response is neither examined nor counted", poll("7B") + "RxD 83 F1 10 7F 21 12 CS\r\n", 1},
      {"the session confirmation (service 10) is skipped",
       poll("7B") + "RxD 82 F1 10 50 81 CS\r\n", 1},
      {"after the session confirmation a response without a hex service is skipped as well",
       "RxD 82 F1 10 50 81 CS\r\nRxD 82 F1 10 zz 81 CS\r\n" + poll("7B"), 1},
      {"a line without the ECU pair is not a response", poll("7B") + "RxD 84 F1 11 61 01 7B CS\r\n", 1},
      {"a line with the pair but no marker gets one and is counted",
       poll("7B") + "12:00 84 F1 10 61 01 7B CS\r\n", 2},
      {"a request line carrying the ECU pair is no response", "TxD 84 10 F1 F1 10 7B CS\r\n" + poll("7B"), 1},
      {"nor is the session request 10 81 sent to F1 10", poll("7B") + std::string("Запрос"_w) + " 82 10 F1 10 81 A5\r\n", 1},
      {"a line marked both ways is a response", poll("7B") + "TxD RxD 84 F1 10 61 01 7B CS\r\n", 2},
  };
  for (const auto& c : cases) {
    Searcher s(c.log);
    EXPECT_EQ(s.run(kFT, "-40", "215").responseCount, c.responses) << c.what;
  }
}

TEST(FormulaSearch, AFormulaTextWithALatinBTriesEveryOtherByte) {
  const std::string log = poll("01 02 03 04 05");
  const struct {
    std::string_view formula;
    std::vector<std::string> positions;
  } cases[] = {
      {"FI", {"0000", "0100", "0200", "0300", "0400"}},
      {"FR: ((A*256)+B)/4 (0..16383) Обороты"_w, {"0000", "0200", "0400"}},
      {"NB: A*0.08 (V) Напряжение бортсети Ниссан (1 байт)"_w, {"0000", "0200", "0400"}},
      {"FI b", {"0000", "0100", "0200", "0300", "0400"}},  // only the capital B counts
  };
  for (const auto& c : cases) {
    Searcher s(log);
    const SearchOutcome out = s.run(c.formula, "-1000000", "1000000");
    std::vector<std::string> positions;
    for (const std::string& l : out.lines) positions.push_back(positionIn(l));
    EXPECT_EQ(positions, c.positions) << cp1251ToUtf8(c.formula);
  }
}

TEST(FormulaSearch, DataTextFollowsLengthOffsetAndIdentifierWidth) {
  // Byte 0 of the data is 7B in each log; the bytes before it would give
  // other values.
  const struct {
    const char* what;
    std::string log;
    int lengthOffset;
    int codeWidth;
  } cases[] = {
      {"plain frame", "RxD 84 F1 10 61 01 7B 00 CS\r\n", 0, 4},
      {"length byte after the addresses", "RxD 80 F1 10 04 61 01 7B 00 CS\r\n", 3, 4},
      {"two-byte identifier", "RxD 85 F1 10 61 01 02 7B 00 CS\r\n", 0, 6},
  };
  for (const auto& c : cases) {
    Searcher s(c.log);
    s.state.lengthOffset = c.lengthOffset;
    s.state.requestCodeWidth = c.codeWidth;
    const SearchOutcome out = s.run("FI", "123", "123");
    ASSERT_EQ(out.lines.size(), 1u) << c.what;
    EXPECT_EQ(positionIn(out.lines[0]), "0000") << c.what;
  }
}

TEST(FormulaSearch, ByteCountRoundsHalvesToEven) {
  // After the final byte is left out the data holds 5 or 7 hex digits: 5
  // give two bytes (2.5 rounds to 2), 7 give four (3.5 rounds to 4).
  const struct {
    const char* data;
    std::size_t tried;
  } cases[] = {{"11 22 3 CS", 2}, {"11 22 33 4 CS", 4}, {"11 CS", 1}, {"1 CS", 0}};
  for (const auto& c : cases) {
    Searcher s(std::string("RxD 84 F1 10 61 01 ") + c.data + "\r\n");
    EXPECT_EQ(s.run("FI", "0", "255").lines.size(), c.tried) << c.data;
  }
}

TEST(FormulaSearch, PositionsStopAtByteFF) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += "05 ";
  Searcher s(poll(data.substr(0, data.size() - 1)));
  const SearchOutcome out = s.run("FI", "5", "5");
  ASSERT_EQ(out.lines.size(), 256u);
  EXPECT_EQ(positionIn(out.lines.back()), "FF00");
}

TEST(FormulaSearch, NothingInRangeLeavesTheBoxEmptyAndSaysDone) {
  Searcher s(poll("00 01 02"));
  const SearchOutcome out = s.run(kFT, "100", "110");
  EXPECT_EQ(out.end, SearchEnd::Finished);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_EQ(out.responseCount, 1u);
  EXPECT_EQ(s.messages(), std::vector<std::string>{std::string(kSearchDone)});
}

TEST(FormulaSearch, RequestCodeOfTheFirstRecordOrNone) {
  for (const std::string_view code : {std::string_view("2101"), std::string_view("")}) {
    Searcher s(poll("7B"), code);
    const SearchOutcome out = s.run("FI", "123", "123");
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_EQ(out.lines[0], line("FI", "123", "123", "0000", code, std::string("1из "_w) + "1 100.00%"));
  }
}

TEST(FormulaSearch, BoundsThatAreNotNumbersStopBeforeReading) {
  const struct {
    const char* min;
    const char* max;
    std::string message;
  } cases[] = {
      {"edtmin", "edtmax", "'edtmax' не является числом"},  // the maximum is read first
      {"edtmin", "90", "'edtmin' не является числом"},
      {"80", "", "'' не является числом"},
      {"8.5", "90", "'8.5' не является числом"},  // the decimal mark is ','
  };
  for (const auto& c : cases) {
    Searcher s(poll("7B"));
    s.state.decimalMark = ',';
    s.state.byteOrderInversion = true;
    const SearchOutcome out = s.run("FI", c.min, c.max, false);
    EXPECT_EQ(out.end, SearchEnd::NotANumber);
    EXPECT_EQ(out.responseCount, 0u);
    EXPECT_EQ(s.messages(), std::vector<std::string>{utf8ToCp1251(c.message)});
    EXPECT_TRUE(s.state.byteOrderInversion);
  }
}

TEST(FormulaSearch, NoLogOrAMissingFileIsAnInputOutputError) {
  Searcher none(poll("7B"));
  none.state.openFileName.clear();
  EXPECT_EQ(none.run("FI", "0", "1").end, SearchEnd::NoLog);
  EXPECT_EQ(none.messages(), std::vector<std::string>{utf8ToCp1251("Ошибка ввода/вывода: лог-файл не открыт")});

  Searcher gone(poll("7B"));
  std::filesystem::remove(gone.state.openFileName);
  EXPECT_EQ(gone.run("FI", "0", "1").end, SearchEnd::NoLog);
  ASSERT_EQ(gone.messages().size(), 1u);
  EXPECT_EQ(gone.messages()[0].rfind(utf8ToCp1251("Ошибка ввода/вывода: не удаётся прочитать файл "), 0), 0u);
}

TEST(FormulaSearch, BytesThatAreNotNumbersAreReportedAndLeftOut) {
  // FH writes the byte's own hex text: 1A is not a number, 12 is.
  Searcher s(poll("12 1A 12"));
  const SearchOutcome out = s.run("FH", "0", "100");
  EXPECT_EQ(out.end, SearchEnd::Finished);
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_EQ(s.byteReports(), std::vector<std::string>{utf8ToCp1251("12 1A 12;st_byte - 0100 №цикла- 1")});
  EXPECT_EQ(s.messages(), std::vector<std::string>{std::string(kSearchDone)});
}

TEST(FormulaSearch, AByteReportClosedWithoutOkStopsTheSearch) {
  Searcher s(poll("12 1A 12") + poll("12 1A 12"));
  s.channel.okAnswers = {false};
  const SearchOutcome out = s.run("FH", "0", "100");
  EXPECT_EQ(out.end, SearchEnd::Cancelled);
  EXPECT_EQ(s.byteReports().size(), 1u);
  ASSERT_EQ(out.lines.size(), 1u);  // byte 0 of the first response was found before the stop
  EXPECT_NE(out.lines[0].find(std::string("1из "_w) + "1 100.00%"), std::string::npos);
  EXPECT_TRUE(s.messages().empty());  // no "Все!"
}

TEST(FormulaSearch, InversionIsBorrowedAndGivenBackHoweverTheSearchEnds) {
  // FO reads the word at the byte: 01 02 is 258, inverted 02 01 is 513.
  for (const bool before : {false, true}) {
    for (const bool inversion : {false, true}) {
      Searcher s(poll("01 02") + poll("01 02"));
      s.state.byteOrderInversion = before;
      const SearchOutcome out = s.run("FO", inversion ? "513" : "258", inversion ? "513" : "258", inversion);
      ASSERT_EQ(out.lines.size(), 1u);
      EXPECT_EQ(positionIn(out.lines[0]), "0000");
      EXPECT_EQ(s.state.byteOrderInversion, before);

      Watched stop(0);
      EXPECT_EQ(s.run("FO", "0", "1", inversion, stop).end, SearchEnd::Cancelled);
      EXPECT_EQ(s.state.byteOrderInversion, before);
    }
  }
}

TEST(FormulaSearch, ProgressIsTheShareReadAndACancelKeepsWhatWasFound) {
  std::string log;
  for (int i = 0; i < 3000; ++i) log += poll("7B");
  Searcher s(log);
  Watched progress(3);
  const SearchOutcome out = s.run("FI", "123", "123", false, progress);
  EXPECT_EQ(out.end, SearchEnd::Cancelled);
  const auto& polls = progress.reports;
  ASSERT_EQ(polls.size(), 3u);
  EXPECT_LT(polls[0].first, polls[1].first);
  EXPECT_LT(polls[1].first, polls[2].first);
  EXPECT_EQ(polls[2].second, log.size());
  // What was found before the stop is reported against the responses read.
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0], line("FI", "123", "123", "0000", "2101",
                               std::to_string(out.responseCount) + std::string("из "_w) +
                                   std::to_string(out.responseCount) + " 100.00%"));
  EXPECT_GT(out.responseCount, 0u);
  EXPECT_LT(out.responseCount, 3000u);
}

}  // namespace
}  // namespace tervolin

// Line explanation: keys of requests and responses, the order of the tests,
// negative responses, length-offset re-derivation per profile, the
// trouble-code list with DTC.xml, failures, and what a selection records.

#include "table/line_explanation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

struct Layout {
  LogLayout layout;
  int width;  // request-code width
};

// "TxD 82 10 F1 ..." / "RxD 84 F1 10 ...": both pairs at position 8.
const Layout kFramed{{"10 F1", "F1 10", 8, 8, 6}, 4};
const Layout kFramed6{{"10 F1", "F1 10", 8, 8, 6}, 6};
// "TxD 01 0C" / "RxD 41 0C 1A F8": first byte at 5, pair position 8.
const Layout kAdapter{{"TxD", "RxD", 8, 8, -3}, 4};

ParamDef def(std::string code, std::string_view name, std::string_view unit, std::string position,
             std::string formula) {
  return {std::move(code), w(name), w(unit), std::move(position), std::move(formula), 0};
}

const DefinitionTable kDefinitions = {
    def("2101", "Обороты", "об/мин", "0000", "FR"),
    def("2101", "Температура", "°C", "0200", "FT"),
    def("2102", "Скорость", "км/ч", "0000", "FT"),
    def("03", "Коды", "шт", "0000", "FT"),
    def("210102", "Ток", "А", "0000", "FT"),
    def("010C", "Обороты OBD", "об/мин", "0000", "FR"),
};

class ExplanationTest : public ::testing::Test {
 protected:
  Explanation explain(std::string_view profile, const Layout& layout, int lengthOffset, std::string_view line) {
    state.profileCode = std::string(profile);
    state.layout = layout.layout;
    state.requestCodeWidth = layout.width;
    state.lengthOffset = lengthOffset;
    state.definitions = kDefinitions;
    state.programDir = dir.path();
    return explainLine(state, channel, line);
  }

  test::TempDir dir;
  AppState state;
  ScriptedChannel channel;
};

TEST_F(ExplanationTest, RequestsResponsesAndTheirOrderOfTests) {
  const struct {
    const char* what;
    std::string_view profile;
    const Layout& layout;
    int lengthOffset;
    std::string line;
    std::vector<std::string> lines;
    bool complete;
  } cases[] = {
      {"a request names every definition of its code, in file order", "Toyota", kFramed, 0,
       "  TxD 82 10 F1 21 01 A5  ", {w("Передача запроса к ECU Обороты"), w("Передача запроса к ECU Температура")}, true},
      {"a request no definition has", "Toyota", kFramed, 0, "TxD 82 10 F1 21 05 A9", {w("Нет описания PID")}, true},
      {"a response decodes every definition of its code", "Toyota", kFramed, 0, "RxD 85 F1 10 61 01 1A F8 82 5E",
       {w("Ответ ECU на запрос - Обороты: 1726 об/мин"), w("Ответ ECU на запрос - Температура: 90 °C")}, true},
      {"Russian markers", "Toyota", Layout{{"10 F1", "F1 10", 11, 10, 6}, 4}, 0,
       w("Ответ 84 F1 10 61 02 82 00 5E"), {w("Ответ ECU на запрос - Скорость: 90 км/ч")}, true},
      {"a negative response is never decoded", "Toyota", kFramed, 0, "RxD 83 F1 10 7F 21 12 36",
       {w("Ответ ECU: Неверный запрос!")}, false},
      {"the session confirmation", "Toyota", kFramed, 0, "RxD 82 F1 10 50 81 54",
       {w("Ответ EKU на запрос: Согласен начать сессию диагностики")}, true},
      {"the LOG view's heading", "Toyota", kFramed, 0, w("Log как он есть"), {w("Эта строка не запрос и не ответ!")}, true},
      {"an empty row", "Toyota", kFramed, 0, "", {w("Эта строка не запрос и не ответ!")}, true},
      {"both markers: keyed as a response, explained as a request", "Toyota", kFramed, 0,
       "RxD 84 F1 10 61 01 7B 2C TxD", {w("Передача запроса к ECU Обороты"), w("Передача запроса к ECU Температура")}, true},
      {"both markers: the 7F test comes first", "Toyota", kFramed, 0, "RxD 83 F1 10 7F 21 12 TxD",
       {w("Ответ ECU: Неверный запрос!")}, false},
      {"an unknown identifier is named for B797", "B797", kFramed, 0, "RxD 84 F1 10 61 05 7B 2C 5E",
       {w("Нет описания PID 21 05 Значение: ")}, true},
      {"an unknown identifier leaves the box empty for Chery", "Chery", kFramed, 0, "RxD 84 F1 10 61 05 7B 2C 5E",
       {}, true},
      {"service 03 is keyed without an identifier", "Toyota", kFramed, 0, "RxD 84 F1 10 43 82 01 5E",
       {w("Ответ ECU на запрос - Коды: 90 шт")}, true},
      {"request service 13 is keyed alone", "Toyota", kFramed, 0, "TxD 81 10 F1 13 95", {w("Нет описания PID")}, true},
      {"a length byte read by the profile's offset", "Chery", kFramed, 3, "RxD 80 F1 10 04 61 02 82 00 5E",
       {w("Ответ ECU на запрос - Скорость: 90 км/ч")}, true},
      {"two-byte identifiers: request", "Nissan", kFramed6, 0, "TxD 83 10 F1 21 01 02 A7",
       {w("Передача запроса к ECU Ток")}, true},
      {"two-byte identifiers: response data after the identifier", "Nissan", kFramed6, 0,
       "RxD 85 F1 10 61 01 02 82 5E", {w("Ответ ECU на запрос - Ток: 90 А")}, true},
      {"adapter request: the bytes follow the marker", "OBDII", kAdapter, 0, "TxD 01 0C",
       {w("Передача запроса к ECU Обороты OBD")}, true},
      {"adapter response", "OBDII", kAdapter, 0, "RxD 41 0C 1A F8", {w("Ответ ECU на запрос - Обороты OBD: 1726 об/мин")},
       true},
      {"a text that is not hex where the service byte is read", "Toyota", kFramed, 0, "RxD 84 F1 10 ZZ 01 5E", {}, false},
      {"an adapter's text answer", "OBDII", kAdapter, 0, "RxD NO DATA", {}, false},
  };
  for (const auto& c : cases) {
    channel.events.clear();
    const Explanation got = explain(c.profile, c.layout, c.lengthOffset, c.line);
    EXPECT_EQ(got.lines, c.lines) << c.what;
    EXPECT_EQ(got.complete, c.complete) << c.what;
    // Only the hex failures raise a box.
    const bool failed = !c.complete && got.lines.empty();
    EXPECT_EQ(channel.events.size(), failed ? 1u : 0u) << c.what;
  }
}

TEST_F(ExplanationTest, LengthOffsetIsReDerivedPerProfileAndStoredBack) {
  const struct {
    std::string_view profile;
    int before;
    std::string line;
    int after;
  } cases[] = {
      // The five characters 9 after the ECU pair: the service after one byte.
      {"M11E3", 0, "RxD 80 F1 10 04 61 07 82 00 5E", 3},
      {"M11E3", 3, "RxD 80 F1 10 04 61 01 82 00 5E", 0},
      {"B797", 0, "RxD 80 F1 10 04 61 01 82 00 5E", 3},
      {"b1797v", 0, "RxD 80 F1 10 04 61 01 82 00 5E", 3},
      {"M11E2", 3, "RxD 84 F1 10 61 01 82 00 5E", 0},
      {"M103E2", 0, "RxD 80 F1 10 04 61 e0 82 00 5E", 3},
      {"M11E2", 0, "RxD 80 F1 10 04 61 e0 82 00 5E", 0},
      // The format byte ahead of the header.
      {"B154R", 0, "RxD 80 F1 10 04 61 02 82 00 5E", 3},
      {"B154E2", 3, "RxD 84 F1 10 61 02 82 00 5E", 0},
      {"M74CAN", 0, "RxD 7F F1 10 04 61 02 82 00 5E", 3},
      // Other profiles keep theirs.
      {"Chery", 3, "RxD 84 F1 10 61 02 82 00 5E", 3},
      {"Toyota", 0, "RxD 80 F1 10 04 61 02 82 00 5E", 0},
  };
  for (const auto& c : cases) {
    explain(c.profile, kFramed, c.before, c.line);
    EXPECT_EQ(state.lengthOffset, c.after) << c.profile << " " << c.line;
  }
  // With a length byte found the response is read through it.
  const Explanation got = explain("M11E3", kFramed, 0, "RxD 80 F1 10 04 61 02 82 00 5E");
  EXPECT_TRUE(got.lines.empty());  // 61 02 is not 61 07: no length byte, key "C4 61"
  const Explanation read = explain("B154R", kFramed, 0, "RxD 80 F1 10 04 61 02 82 00 5E");
  EXPECT_EQ(read.lines, std::vector<std::string>{w("Ответ ECU на запрос - Скорость: 90 км/ч")});
  // A format byte that is not hex ends the handling.
  const Explanation bad = explain("B154R", kFramed, 0, "RxD F1 10 61 02 82 00 5E");
  EXPECT_FALSE(bad.complete);
}

constexpr const char* kDtcXml =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
    "<DTC>\n"
    "  <Group Name=\"M7.9.7\">\n"
    "    <Code Name=\"P0301\" Description=\"caption, never read\"/>\n"
    "    <Code Name=\"P0301\" Description=\"misfire 1\"/>\n"
    "    <Code Name=\"P0420\" Description=\"catalyst\"/>\n"
    "  </Group>\n"
    "  <Group Name=\"OBD-II\">\n"
    "    <Code Name=\"x\" Description=\"x\"/>\n"
    "    <Code Name=\"P0301\" Description=\"obd misfire\"/>\n"
    "  </Group>\n"
    "</DTC>\n";

TEST_F(ExplanationTest, TroubleCodesAreListedWithTheirDescriptions) {
  test::writeFile(dir / "dtc.XML", kDtcXml);
  // 58 = response to 18; count 2, then code + status twice, then the checksum.
  const std::string line = "RxD 88 F1 10 58 02 03 01 24 04 20 24 C3";
  const Explanation got = explain("B797", kFramed, 3, line);
  EXPECT_EQ(state.lengthOffset, 0);  // not 61 01: no length byte
  EXPECT_EQ(got.lines, (std::vector<std::string>{w("Кол-во ошибок: 2"), w("Код ошибки: 0301 misfire 1"),
                                                  w("Код ошибки: 0420 catalyst")}));
  EXPECT_TRUE(got.complete);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{line + "|02 03 01 24 04 20 24"});

  // Nine digits after the count give two codes (1.5 rounds to 2), the
  // second of the three digits left; a code the file lacks has no text.
  const Explanation odd = explain("B797", kFramed, 0, "RxD 87 F1 10 58 0C 03 01 24 09 9 C3");
  EXPECT_EQ(odd.lines, (std::vector<std::string>{w("Кол-во ошибок: 12"), w("Код ошибки: 0301 misfire 1"),
                                                  w("Код ошибки: 099 ")}));
  // Other profiles do not list trouble codes.
  EXPECT_TRUE(explain("Toyota", kFramed, 0, line).lines.empty());
}

TEST_F(ExplanationTest, BrokenDescriptionFilesEndOrEmptyTheList) {
  const std::string line = "RxD 88 F1 10 58 02 03 01 24 04 20 24 C3";
  // Missing: the parser's text, the count line kept, the cell not recorded.
  Explanation got = explain("B797", kFramed, 0, line);
  EXPECT_EQ(got.lines, std::vector<std::string>{w("Кол-во ошибок: 2")});
  EXPECT_FALSE(got.complete);
  ASSERT_EQ(channel.events.size(), 2u);
  EXPECT_EQ(channel.events[1].text, w("Ошибка чтения DTC.xml: File was not found"));

  // Malformed: the description and where.
  channel.events.clear();
  test::writeFile(dir / "DTC.xml", "<DTC><Group Name=\"M7.9.7\"></DTC>");
  got = explain("B797", kFramed, 0, line);
  EXPECT_FALSE(got.complete);
  ASSERT_EQ(channel.events.size(), 2u);
  EXPECT_EQ(channel.events[1].text, w("Ошибка чтения DTC.xml: Start-end tags mismatch (позиция 28)"));

  // No root element: a box per code, empty descriptions, the list goes on.
  channel.events.clear();
  test::writeFile(dir / "DTC.xml", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n");
  got = explain("B797", kFramed, 0, line);
  EXPECT_TRUE(got.complete);
  EXPECT_EQ(got.lines, (std::vector<std::string>{w("Кол-во ошибок: 2"), w("Код ошибки: 0301 "), w("Код ошибки: 0420 ")}));
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message).size(), 3u);
}

TEST_F(ExplanationTest, SelectionRecordsTheCellUnlessTheHandlingEnded) {
  Grid grid;
  grid.setColumnCount(2);
  grid.setRowCount(4);
  grid.setCell(0, 1, w("Обороты (об/мин)"));
  grid.setCell(1, 1, w("Температура (°C)"));
  grid.setCell(1, 2, "90");
  grid.setCell(0, 3, "RxD 83 F1 10 7F 21 12 36");
  state.profileCode = "Toyota";
  state.layout = kFramed.layout;
  state.requestCodeWidth = 4;

  state.viewMode = ViewMode::Table;
  CellSelection s = selectCell(state, channel, grid, 1, 2);
  EXPECT_TRUE(s.fieldsShown);
  EXPECT_FALSE(s.explained);
  EXPECT_EQ(s.hint, "90");
  EXPECT_EQ(s.value, "90");
  EXPECT_EQ(s.heading, w("Температура (°C)"));
  EXPECT_EQ(state.selectedColumn, 1);
  EXPECT_EQ(state.selectedRow, 2);

  state.viewMode = ViewMode::Log;
  s = selectCell(state, channel, grid, 0, 3);
  EXPECT_TRUE(s.explained);
  EXPECT_EQ(s.explanation.lines, std::vector<std::string>{w("Ответ ECU: Неверный запрос!")});
  EXPECT_EQ(state.selectedRow, 2);  // a negative response records nothing
  s = selectCell(state, channel, grid, 0, 2);
  EXPECT_EQ(s.explanation.lines, std::vector<std::string>{w("Эта строка не запрос и не ответ!")});
  EXPECT_EQ(state.selectedColumn, 0);
  EXPECT_EQ(state.selectedRow, 2);
}

}  // namespace
}  // namespace tervolin

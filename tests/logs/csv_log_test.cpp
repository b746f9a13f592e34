// CSV logs: separators, counted fields, definitions from the header, values,
// line numbers, and the edge-case files of tests/logs/data.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/csv_log.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

const std::filesystem::path kData = std::filesystem::path(TERVOLIN_SOURCE_DIR) / "tests/logs/data";

// The records as "ordinal:column=value", the definitions by name.
struct CsvRead {
  std::vector<std::string> names;
  std::vector<std::string> records;
  std::vector<std::string> messages;
};

CsvRead summary(const AppState& state, const ScriptedChannel& channel) {
  CsvRead out;
  for (const ParamDef& d : state.definitions) out.names.push_back(cp1251ToUtf8(d.name));
  for (std::size_t i = 0; i < state.records.size(); ++i) {
    const LogRecord& r = state.records.at(i);
    out.records.push_back(std::to_string(r.ordinal) + ":" + state.records.source(i).positionField + "=" +
                          cp1251ToUtf8(state.records.value(i)));
  }
  for (const std::string& m : channel.texts(ScriptedChannel::Event::Message)) out.messages.push_back(cp1251ToUtf8(m));
  return out;
}

CsvRead readText(std::string_view text, int width = 4) {
  AppState state;
  state.requestCodeWidth = width;
  ScriptedChannel channel;
  readCsvLog(utf8ToCp1251(text), state, channel);
  return summary(state, channel);
}

using Strings = std::vector<std::string>;

TEST(CsvLog, FieldsCountOnlyWhenASeparatorEndsThem) {
  struct Case {
    std::string_view text;
    Strings names;
    Strings records;
  };
  const Case cases[] = {
      {"A;B;C;\r\n1;2;3;\r\n", {"A", "B", "C"}, {"0:0000=1", "0:0001=2", "0:0002=3"}},
      {"A;B;C\r\n1;2;3\r\n", {"A", "B"}, {"0:0000=1", "0:0001=2"}},
      // ';' in the first line wins over ','; a line without one chooses ','.
      {"A,x;B;\r\n1,5;2;\r\n", {"A,x", "B"}, {"0:0000=1,5", "0:0001=2"}},
      {"A,B,\r\n1;2,3,\r\n", {"A", "B"}, {"0:0000=1;2", "0:0001=3"}},
      // Fewer fields leave columns out; fields past the header belong to none;
      // an empty line counts as a line.
      {"A;B;C;\n1;\n\n4;5;6;7;8;\n", {"A", "B", "C"}, {"0:0000=1", "2:0000=4", "2:0001=5", "2:0002=6"}},
      // An empty name is a column; a line of only separators gives zeros.
      {";B;\r\n;;\r\n", {"", "B"}, {"0:0000=0", "0:0001=0"}},
      {"", {}, {}},
      {"A;B;\r\n", {"A", "B"}, {}},
  };
  for (const Case& c : cases) {
    const CsvRead read = readText(c.text);
    EXPECT_EQ(read.names, c.names) << c.text;
    EXPECT_EQ(read.records, c.records) << c.text;
    EXPECT_TRUE(read.messages.empty()) << c.text;
  }
}

TEST(CsvLog, ValuesTurnTheirFirstPointIntoACommaAndEmptyIntoZero) {
  const CsvRead read = readText("V;\r\n12.5;\r\n;\r\n1.234.5;\r\n3,75;\r\n-.5;\r\n Да ;\r\n");
  EXPECT_EQ(read.records, (Strings{"0:0000=12,5", "1:0000=0", "2:0000=1,234.5", "3:0000=3,75", "4:0000=-,5",
                                   "5:0000= Да "}));
}

TEST(CsvLog, DefinitionsCarryTheZeroCodeOfTheProfileWidthAndTheColumnNumber) {
  for (const int width : {4, 6}) {
    AppState state;
    state.requestCodeWidth = width;
    state.definitions.push_back({"2101", "old", "C", "0000", "FT", 0});
    ScriptedChannel channel;
    readCsvLog("A;B;\r\n1;2;\r\n", state, channel);
    ASSERT_EQ(state.definitions.size(), 2u);
    for (int i = 0; i < 2; ++i) {
      const ParamDef& d = state.definitions[static_cast<std::size_t>(i)];
      EXPECT_EQ(d.requestCode, std::string(static_cast<std::size_t>(width), '0'));
      EXPECT_EQ(d.positionField, i == 0 ? "0000" : "0001");
      EXPECT_EQ(d.column, i);
      EXPECT_EQ(d.unit, "");
      EXPECT_EQ(d.formulaCode, "");
    }
    // Every record names the source of its column.
    ASSERT_EQ(state.records.sources().size(), 2u);
    EXPECT_EQ(state.records.source(1).requestCode, state.definitions[1].requestCode);
    EXPECT_EQ(state.records.source(1).name, "B");
  }
}

TEST(CsvLog, EdgeCaseFiles) {
  struct Case {
    std::string_view file;
    Strings names;
    Strings records;
  };
  const Case cases[] = {
      // A UTF-8 file with a byte order mark is taken as UTF-8.
      {"csv_bom_utf8.csv", {"Обороты", "Температура"}, {"0:0000=800", "0:0001=90,5"}},
      {"csv_cr_only.csv", {"Обороты", "ОЗ"}, {"0:0000=800", "0:0001=1,5", "1:0000=900", "1:0001=2,5"}},
      {"csv_empty.csv", {}, {}},
      {"csv_header_only.csv", {"Обороты", "Температура"}, {}},
      {"csv_no_trailing_separator.csv", {"A", "B"}, {"0:0000=1", "0:0001=2", "1:0000=4", "1:0001=5"}},
      {"csv_short_and_long_lines.csv", {"A", "B", "C"}, {"0:0000=1", "2:0000=1,234.5", "2:0001=0", "2:0002=7"}},
      // What the CSV export writes reads back with its leading columns as
      // ordinary ones.
      {"csv_comma_exported.csv",
       {"LogID", "LogEntryDate", "LogEntryTime", "LogEntrySeconds", "LogNotes", "Обороты (об/мин)", "Лямбда (В)"},
       {"0:0000=0", "0:0001=0", "0:0002=0", "0:0003=0", "0:0004=0", "0:0005=800", "0:0006=0,45", "1:0000=1",
        "1:0001=0", "1:0002=0", "1:0003=0", "1:0004=0", "1:0005=1", "1:0006=0"}},
  };
  for (const Case& c : cases) {
    AppState state;
    state.requestCodeWidth = 4;
    ScriptedChannel channel;
    ReadCSV(state, channel, kData / c.file);
    const CsvRead read = summary(state, channel);
    EXPECT_EQ(read.names, c.names) << c.file;
    EXPECT_EQ(read.records, c.records) << c.file;
    EXPECT_TRUE(read.messages.empty()) << c.file;
  }
}

TEST(CsvLog, MoreColumnsThanTheDefinitionTableHoldsAreDroppedWithOneMessage) {
  AppState state;
  state.requestCodeWidth = 4;
  ScriptedChannel channel;
  ReadCSV(state, channel, kData / "csv_1026_columns.csv");
  ASSERT_EQ(state.definitions.size(), kMaxDefinitions);
  EXPECT_EQ(state.definitions.back().name, "C1024");
  EXPECT_EQ(state.definitions.back().positionField, "1024");
  ASSERT_EQ(state.records.size(), kMaxDefinitions);
  EXPECT_EQ(state.records.value(kMaxDefinitions - 1), "1024");
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            Strings{std::string("В CSV файле больше 1025 столбцов. Загружены только первые 1025."_w)});
}

TEST(CsvLog, MissingFileChangesNothingAndAnUnreadableOneIsReported) {
  AppState state;
  state.definitions.push_back({"2101", "old", "C", "0000", "FT", 0});
  ScriptedChannel channel;
  ReadCSV(state, channel, kData / "no_such_file.csv");
  EXPECT_EQ(state.definitions.size(), 1u);
  EXPECT_TRUE(channel.events.empty());

  // A folder exists but cannot be read as a file.
  ReadCSV(state, channel, kData);
  EXPECT_TRUE(state.definitions.empty());
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            Strings{std::string("Ошибка чтения CSV в строке:0 Запись-0"_w)});
}

}  // namespace
}  // namespace tervolin

// XML scan logs: entries and their ordinals, keys, matching definitions,
// skipped entries, parse failures and the edge-case files of tests/logs/data.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "decode/decode_dan.h"
#include "logs/xml_scan_log.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Strings = std::vector<std::string>;

const std::filesystem::path kData = std::filesystem::path(TERVOLIN_SOURCE_DIR) / "tests/logs/data";

class XmlScanLog : public ::testing::Test {
 protected:
  void SetUp() override {
    definitions = {
        {"2101", "Tw", "C", "0000", "FT", 0},
        {"2101", "Ta", "C", "0100", "FT", 1},
        {"2102", "Tb", "C", "0000", "FT", 2},
    };
  }

  // Reads `bytes` with the fixture's definitions (loaded as the loader does);
  // the records as "ordinal:name=value".
  Strings read(std::string_view bytes) {
    loaded = 0;
    outcome = readXmlScanLog(bytes, state, channel, [&] {
      ++loaded;
      state.definitions = definitions;
    });
    Strings out;
    for (std::size_t i = 0; i < state.records.size(); ++i)
      out.push_back(std::to_string(state.records.at(i).ordinal) + ":" + state.records.source(i).name + "=" +
                    std::string(state.records.value(i)));
    return out;
  }
  Strings readFile(std::string_view name) { return read(test::readFile(kData / name)); }
  Strings messages() const { return channel.texts(ScriptedChannel::Event::Message); }

  DefinitionTable definitions;
  AppState state;
  ScriptedChannel channel;
  XmlReadOutcome outcome;
  int loaded = 0;
};

TEST_F(XmlScanLog, EntriesKeepTheirIndexAndSkippedOnesStillCount) {
  // Entries: a match of two definitions; no child; another code; no sID; no
  // Data; a service without definitions; "sid" in the wrong case; a match.
  EXPECT_EQ(readFile("xml_entries.xml"),
            (Strings{"0:Tw=-14", "0:Ta=3", "2:Tb=-35", "7:Tw=88", "7:Ta=-40"}));
  EXPECT_EQ(outcome.status, XmlReadStatus::Read);
  EXPECT_TRUE(outcome.buildsTable());
  EXPECT_EQ(loaded, 1);
  EXPECT_TRUE(messages().empty());
  // One source per definition, in table order.
  ASSERT_EQ(state.records.sources().size(), 3u);
  EXPECT_EQ(state.records.sources()[2].name, "Tb");
}

TEST_F(XmlScanLog, KeyIsTheRequestServiceAndOneIdentifierByteComparedExactly) {
  struct Case {
    std::string_view sid, data;
    std::string code;  // the only definition
    bool matches;
  };
  const Case cases[] = {
      {"61", "01 1A", "2101", true},
      {"41", "0C 1A", "010C", true},
      {"7f", "01 1A", "3F01", true},       // the service is written in upper case
      {"61", "a1 1A", "21a1", true},       // the identifier is compared as written
      {"61", "a1 1A", "21A1", false},
      {"61", "01 02 1A", "210102", false},  // one identifier byte only
      {"1", "01 1A", "FFFFFFC101", true},   // below 0x40: 32-bit two's complement
      {"61", "0", "210", true},             // a short data text gives a short key
      {"0061", "01 1A", "2101", true},
  };
  for (const Case& c : cases) {
    definitions = {{c.code, "P", "", "0000", "", 0}};
    std::string xml = "<L><E><R sID=\"";
    xml.append(c.sid).append("\" Data=\"").append(c.data).append("\"/></E></L>");
    const Strings records = read(xml);
    EXPECT_EQ(records.size(), c.matches ? 1u : 0u) << c.sid << " " << c.data << " " << c.code;
  }
}

TEST_F(XmlScanLog, DataAfterTheIdentifierIsDecodedAndEntitiesAreResolved) {
  definitions = {{"2101", "Raw", "", "0000", "", 0}, {"2101", "T2", "C", "0200", "FT", 1}};
  // The entities spell sID 61 and Data "01 1A 2B 3C".
  EXPECT_EQ(readFile("xml_entities.xml"),
            (Strings{"0:Raw=" + DecodeDan("1A 2B 3C", "2101", "0000", "", {}), "0:T2=20"}));
}

TEST_F(XmlScanLog, DecodeFailureIsReportedAndTheRecordKeptEmpty) {
  definitions = {{"01B2", "V", "V", "0500", "", 0}};
  EXPECT_EQ(read("<L><E><R sID='41' Data='B2 01 02'/></E><E><R sID='41' Data='B2 01 02 03 04 05 06'/></E></L>"),
            (Strings{"0:V=", "1:V=" + DecodeDan("01 02 03 04 05 06", "01B2", "0500", "", {})}));
  EXPECT_EQ(messages(), Strings{std::string("Ошибка при распознавании данных: \\"_w) + "01 02/01B2/0500/"});
}

TEST_F(XmlScanLog, NoRootGivesTheMessageAndAnEmptyRecordList) {
  for (const char* file : {"xml_empty.xml", "xml_declaration_only.xml"}) {
    state.records.addSource({"2101", "0000", "", "old"});
    state.records.append(0, 0, "1");
    channel.events.clear();
    EXPECT_TRUE(readFile(file).empty()) << file;
    EXPECT_EQ(outcome.status, XmlReadStatus::NoRoot) << file;
    EXPECT_TRUE(outcome.buildsTable());
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(messages(), Strings{std::string("Ошибка чтения XML"_w)}) << file;
  }
}

TEST_F(XmlScanLog, NotWellFormedNamesTheParserErrorAndChangesNothing) {
  state.definitions = {{"9999", "old", "", "0000", "", 0}};
  state.records.addSource({"9999", "0000", "", "old"});
  state.records.append(5, 0, "1");
  EXPECT_EQ(readFile("xml_truncated.xml"), Strings{"5:old=1"});
  EXPECT_EQ(outcome.status, XmlReadStatus::NotParsed);
  EXPECT_FALSE(outcome.buildsTable());
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(state.definitions.size(), 1u);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind(std::string("Ошибка разбора XML: "_w), 0), 0u) << messages()[0];
  EXPECT_NE(messages()[0].find(std::string(", байт "_w)), std::string::npos);
}

TEST_F(XmlScanLog, ServiceThatIsNotHexEndsTheReadingKeepingTheRecordsSoFar) {
  const Strings records = readFile("xml_bad_service.xml");
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0], "0:Tw=-14");
  for (const std::string& r : records) EXPECT_EQ(r[0], '0') << r;  // nothing from entries 1 and 2
  EXPECT_EQ(outcome.status, XmlReadStatus::BadService);
  EXPECT_FALSE(outcome.buildsTable());
  EXPECT_EQ(messages(), Strings{std::string("Ошибка чтения XML: значение sID не шестнадцатеричное: 6G, запись 1"_w)});
}

TEST_F(XmlScanLog, Utf16FileReadsAsItsUtf8Twin) {
  EXPECT_EQ(readFile("xml_utf16.xml"), (Strings{"0:Tw=-14", "0:Ta=3"}));
}

TEST_F(XmlScanLog, ManyEntriesKeepEveryRecord) {
  std::string xml = "<L>";
  for (int i = 0; i < 70000; ++i) xml += "<E><R sID='61' Data='02 " + std::string(i % 2 ? "7B" : "50") + "'/></E>";
  xml += "</L>";
  const Strings records = read(xml);
  ASSERT_EQ(records.size(), 70000u);
  EXPECT_EQ(records[69999], "69999:Tb=83");
  EXPECT_EQ(records[69998], "69998:Tb=40");
}

TEST(XmlScanLogFile, UnreadableFileIsReportedAndChangesNothing) {
  AppState state;
  ScriptedChannel channel;
  EXPECT_EQ(XML1Click(state, channel, kData / "no_such_file.xml").status, XmlReadStatus::NotParsed);
  ASSERT_EQ(channel.texts(ScriptedChannel::Event::Message).size(), 1u);
}

}  // namespace
}  // namespace tervolin

// The generated XML scan logs and CSV logs read through the readers: every
// XML record equals the reference decoding of its entry, every CSV line
// gives one record per column.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "bench/loggen/loggen.h"
#include "bench/loggen/side_logs.h"
#include "common/app_state.h"
#include "common/text.h"
#include "decode/decode_dan.h"
#include "logs/csv_log.h"
#include "logs/xml_scan_log.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

DefinitionTable definitionsOf(const loggen::Profile& profile) {
  DefinitionTable table;
  for (const loggen::Definition& d : profile.definitions)
    table.push_back({loggen::compactCode(d.request), d.name, d.unit, d.position, d.formula,
                     static_cast<int>(table.size())});
  return table;
}

TEST(GeneratedXmlScanLog, EveryRecordIsTheReferenceDecodingOfItsEntry) {
  struct Case {
    std::string profile;
    std::vector<std::string> poll;
    char mark;
  };
  const Case cases[] = {
      {"Toyota", {"2101", "2102", "2105"}, ','},
      {"OBDII", {"0100", "0101", "0103", "0104", "0105", "010C", "010D", "0113", "011C", "0120"}, '.'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    const loggen::Profile profile = loggen::demoProfile(c.profile);
    const std::string xml = loggen::xmlScanLog(profile, c.poll, 600, 3);
    AppState state;
    state.decimalMark = c.mark;
    state.definitions = definitionsOf(profile);
    ScriptedChannel channel;
    ASSERT_EQ(readXmlScanLog(xml, state, channel).status, XmlReadStatus::Read);
    EXPECT_TRUE(channel.events.empty());

    // The reference: every entry's data decoded for every definition of its key.
    pugi::xml_document document;
    ASSERT_TRUE(document.load_buffer(xml.data(), xml.size()));
    std::vector<std::string> expected, actual;
    int ordinal = 0;
    for (pugi::xml_node entry : document.first_child().children()) {
      const pugi::xml_node response = entry.first_child();
      if (response) {
        const std::string data = response.attribute("Data").value();
        const int sid = std::stoi(response.attribute("sID").value(), nullptr, 16);
        char service[8];
        std::snprintf(service, sizeof service, "%02X", sid - 0x40);
        const std::string key = service + data.substr(0, 2);
        for (const ParamDef& d : state.definitions)
          if (d.requestCode == key)
            expected.push_back(std::to_string(ordinal) + " " + d.name + "=" +
                               DecodeDan(data.substr(3), d.requestCode, d.positionField, d.formulaCode,
                                         {false, c.mark}));
      }
      ++ordinal;
    }
    for (std::size_t i = 0; i < state.records.size(); ++i)
      actual.push_back(std::to_string(state.records.at(i).ordinal) + " " + state.records.source(i).name + "=" +
                       std::string(state.records.value(i)));
    EXPECT_GT(actual.size(), 500u);
    EXPECT_EQ(actual, expected);
  }
}

TEST(GeneratedCsvLog, EveryLineGivesOneRecordPerColumn) {
  for (const loggen::CsvStyle style : {loggen::CsvStyle::Semicolon, loggen::CsvStyle::ExportLayout}) {
    AppState state;
    state.requestCodeWidth = 4;
    ScriptedChannel channel;
    readCsvLog(loggen::csvLog(style, 300, 5), state, channel);
    EXPECT_TRUE(channel.events.empty());
    const std::size_t columns = style == loggen::CsvStyle::Semicolon ? 15 : 19;
    ASSERT_EQ(state.definitions.size(), columns);
    ASSERT_EQ(state.records.size(), columns * 300);
    EXPECT_EQ(state.records.at(state.records.size() - 1).ordinal, 299);
    // Values carry decimal commas either way.
    EXPECT_EQ(cp1251ToUtf8(state.definitions[columns - 8].name), "Напряжение ДК (В)");
    const std::string_view probe = state.records.value(columns * 10 + columns - 8);
    EXPECT_EQ(probe.substr(1, 1), ",") << probe;
  }
}

}  // namespace
}  // namespace tervolin

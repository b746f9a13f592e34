// What a read may fill: the record list, the buffer of the second half of a
// log read on two threads, and an XML document, each within its budget.

#include <gtest/gtest.h>

#include <string>

#include "common/app_state.h"
#include "common/memory_budget.h"
#include "logs/layout_detection.h"
#include "logs/text_log_records.h"
#include "logs/xml_budget.h"
#include "logs/xml_scan_log.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

// One response of 2101 a line, answered by `copies` definitions of the code.
struct AmplifiedLog {
  AppState state;
  std::string log;

  AmplifiedLog(int copies, int responses) {
    for (int i = 0; i < copies; ++i) state.definitions.push_back({"2101", "Tw", "C", "0000", "", i});
    for (int i = 0; i < responses; ++i) log += "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n";
    state.layout = detectLayout(log);
  }
};

TEST(ReadBudget, RecordsPastTheLimitEndTheReadOnOneThreadOrTwo) {
  for (const ReadSplit splitAbove : {ReadSplit{kSplitLogsAbove}, ReadSplit{1024, 2}}) {
    AmplifiedLog a(100, 2000);  // 200,000 records: about 3 MB
    ScriptedChannel channel;
    a.state.records.setMemoryLimit(std::size_t{2} << 20);
    EXPECT_THROW(readTextLogRecords(a.log, a.state, channel, splitAbove), MemoryBudgetExceeded) << splitAbove.above;
    EXPECT_LE(a.state.records.memoryBytes(), std::size_t{2} << 20);

    // With room enough the same log reads whole.
    a.state.records.setMemoryLimit(std::size_t{64} << 20);
    readTextLogRecords(a.log, a.state, channel, splitAbove);
    EXPECT_EQ(a.state.records.size(), 200000u) << splitAbove.above;
  }
}

TEST(ReadBudget, XmlDocumentsAreMeasuredBeforeTheyAreParsed) {
  std::string xml = "<L>";
  for (int i = 0; i < 1000; ++i) xml += "<E><R sID=\"61\" Data=\"01 7B\"/></E>";
  xml += "</L>";
  EXPECT_THROW(requireXmlDocumentFits(xml, 100'000), MemoryBudgetExceeded);
  EXPECT_NO_THROW(requireXmlDocumentFits(xml, 1'000'000));

  AppState state;
  state.definitions.push_back({"2101", "Tw", "C", "0000", "", 0});
  state.records.setMemoryLimit(100'000);
  ScriptedChannel channel;
  EXPECT_THROW(readXmlScanLog(xml, state, channel), MemoryBudgetExceeded);
  EXPECT_TRUE(channel.events.empty());
}

}  // namespace
}  // namespace tervolin

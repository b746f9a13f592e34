#include "table/open_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Row = std::vector<std::string>;

// Two cycles of 21 01 answered with two data bytes each; 21 02 is defined
// but never polled.
constexpr std::string_view kTextLog =
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 7B 2C 5E\r\n"
    "\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 50 32 5E\r\n";

class OpenLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.profileCode = "Toyota";
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                          {"2101", "Tw", "C", "0000", "", 0},
                                          {"2101", "Ta", "C", "0100", "", 1},
                                          {"2102", "Unused", "C", "0000", "", 2}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n21020000FT\r\n");
  }

  Row row(int r) const {
    Row out;
    for (int c = 0; c < grid.columnCount(); ++c) out.emplace_back(grid.cell(c, r));
    return out;
  }

  test::TempDir dir;
  AppState state;
  ScriptedChannel channel;
  Grid grid;
};

TEST(LogKind, ExtensionDecidesTheReader) {
  struct Case {
    const char* name;
    LogKind kind;
  };
  for (const Case& k : std::vector<Case>{{"a.rtd", LogKind::GraphFile},
                                         {"a.RTD", LogKind::TextLog},
                                         {"a.xml", LogKind::XmlLog},
                                         {"a.XML", LogKind::TextLog},
                                         {"a.csv", LogKind::CsvLog},
                                         {"a.CsV", LogKind::CsvLog},
                                         {"a.log", LogKind::TextLog},
                                         {"csv", LogKind::TextLog},
                                         {"a.csvx", LogKind::TextLog},
                                         {"a", LogKind::TextLog}})
    EXPECT_EQ(logKindOf(k.name), k.kind) << k.name;
}

TEST_F(OpenLogTest, TextLogInTableViewKeepsOnlyUsedParameters) {
  test::writeFile(dir / "demo.log", kTextLog);
  state.tableOnly = 1;
  const OpenOutcome outcome = openLog(state, channel, dir / "demo.log", grid);
  EXPECT_TRUE(outcome.built);
  EXPECT_EQ(state.viewMode, ViewMode::Table);
  EXPECT_EQ(state.openFileName, dir / "demo.log");
  EXPECT_EQ(state.layout.ecuPair, "F1 10");
  ASSERT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(row(0), (Row{"2101/0000", "2101/0100"}));
  EXPECT_EQ(row(1), (Row{"Tw (C)", "Ta (C)"}));
  EXPECT_EQ(row(2), (Row{"83", "4"}));  // 7B - 40 and 2C - 40
  EXPECT_EQ(row(3), (Row{"40", "10"}));
  EXPECT_TRUE(fileExistsIgnoringCase(dir.path(), "_UsesTblPids.ini"));
}

TEST_F(OpenLogTest, EveryOpenComputesTheLogKeyAfresh) {
  test::writeFile(dir / "demo.log", "123456789");
  openLog(state, channel, dir / "demo.log", grid);
  EXPECT_EQ(state.logKey, "3421780262");
  // A copy under another name has the same key; a planted key does not
  // survive an open.
  test::writeFile(dir / "copy.log", "123456789");
  state.logKey = "planted";
  openLog(state, channel, dir / "copy.log", grid);
  EXPECT_EQ(state.logKey, "3421780262");
  test::writeFile(dir / "demo.log", "abc");
  openLog(state, channel, dir / "demo.log", grid);
  EXPECT_EQ(state.logKey, "891568578");
}

TEST_F(OpenLogTest, ProfilesThatSkipSelectionShowEveryDefinition) {
  test::writeFile(dir / "demo.log", kTextLog);
  state.profileCode = "Hyndai";
  state.tableOnly = 1;
  openLog(state, channel, dir / "demo.log", grid);
  EXPECT_EQ(state.definitionFileName, "pids.ini");
  ASSERT_EQ(grid.columnCount(), 3);
  EXPECT_EQ(row(2), (Row{"83", "4", ""}));
  EXPECT_FALSE(fileExistsIgnoringCase(dir.path(), "_UsesTblPids.ini"));
}

TEST_F(OpenLogTest, TextLogInLogViewShowsTheLinesAndSwitchesToTable) {
  test::writeFile(dir / "demo.log", kTextLog);
  openLog(state, channel, dir / "demo.log", grid);
  EXPECT_EQ(state.viewMode, ViewMode::Log);
  ASSERT_EQ(grid.rowCount(), 6);
  EXPECT_EQ(grid.cell(0, 2), "TxD 82 10 F1 21 01 A5");
  EXPECT_EQ(grid.cell(0, 5), "RxD 84 F1 10 61 01 50 32 5E");
  EXPECT_EQ(state.records.size(), 4u);

  // The view switch rebuilds from the records without reading the log again.
  std::filesystem::remove(dir / "demo.log");
  state.viewMode = ViewMode::Table;
  showCurrentView(state, channel, grid);
  EXPECT_EQ(row(3), (Row{"40", "10"}));
}

// A log written on a machine of the other locale reads the same: the two
// bundled Toyota logs write their interval as "0.25" and "0,25".
TEST(OpenSampleLogs, IntervalReadsWithEitherMark) {
  for (const char mark : {'.', ','}) {
    for (const char* name : {"toyota_zapros_otvet.log", "toyota_interval_comma.log"}) {
      test::TempDir program;
      std::filesystem::copy(TERVOLIN_SOURCE_DIR "/samples", program.path(), std::filesystem::copy_options::recursive);
      AppState state;
      state.programDir = program.path();
      state.lastProfile = "Toyota";
      state.decimalMark = mark;
      state.tableOnly = 1;
      ASSERT_TRUE(prepareOpen(state));
      ScriptedChannel channel;
      Grid grid;
      const OpenOutcome outcome = openLog(state, channel, program / "logs" / name, grid);
      EXPECT_FALSE(outcome.readStop) << name << " " << mark;
      EXPECT_DOUBLE_EQ(state.requestInterval, 0.25) << name << " " << mark;
      EXPECT_GT(state.records.size(), 0u) << name << " " << mark;
      EXPECT_GT(grid.rowCount(), 3) << name << " " << mark;
      EXPECT_FALSE(std::filesystem::exists(program / "Toyota" / "error_ini.txt")) << name << " " << mark;
    }
  }
}

// A read error ends the read early: the outcome says where, the records
// before it are in the table, and nothing was shown during the open. A text
// log that cannot be read in LOG view is told by the LOG view itself.
TEST_F(OpenLogTest, ReadErrorComesBackWithTheOutcome) {
  test::writeFile(dir / "bad.log", std::string(kTextLog) + "RxD ZZ F1 10 61 01 7B 2C 5E\r\n");
  state.tableOnly = 1;
  OpenOutcome outcome = openLog(state, channel, dir / "bad.log", grid);
  ASSERT_TRUE(outcome.readStop);
  EXPECT_EQ(outcome.readStop->cause, ReadStopCause::LengthNotHex);
  EXPECT_EQ(outcome.readStop->line, 6u);
  EXPECT_EQ(outcome.readStop->file, dir / "bad.log");
  EXPECT_TRUE(channel.events.empty());
  EXPECT_EQ(row(3), (Row{"40", "10"}));
  EXPECT_GT(outcome.elapsed.count(), 0);

  const auto missing = dir / "missing.log";
  outcome = openLog(state, channel, missing, grid);
  ASSERT_TRUE(outcome.readStop);
  EXPECT_EQ(outcome.readStop->cause, ReadStopCause::Unreadable);
  state.tableOnly = 0;
  state.viewMode = ViewMode::Log;
  outcome = openLog(state, channel, missing, grid);
  EXPECT_FALSE(outcome.readStop);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message).size(), 1u);  // the LOG view's own
}

TEST_F(OpenLogTest, GraphFileOpensInTableView) {
  std::string rtd(6, '\0');
  rtd += std::string("\x64\x00", 2);                    // interval 100
  rtd += std::string("\x21\x01\x00\x00\x00", 5);        // channel 0: 2101, 0000
  rtd += std::string("\x21\x01\x00\x01\x00", 5);        // channel 1: 2101, 0100
  rtd += std::string(30, '\0');                         // six empty channels
  for (std::string_view frame : {std::string_view("\x04\x00\x61\x01\x7B\x2C", 6),
                                 std::string_view("\x02\x00\x50\x01", 4),  // session answer: skipped
                                 std::string_view("\x04\x00\x61\x01\x50\x32", 6)})
    rtd += frame;
  test::writeFile(dir / "demo.rtd", rtd);
  const OpenOutcome outcome = openLog(state, channel, dir / "demo.rtd", grid);
  EXPECT_EQ(outcome.kind, LogKind::GraphFile);
  EXPECT_EQ(state.viewMode, ViewMode::Table);
  EXPECT_EQ(state.definitionFileName, "_tmp.ini");
  ASSERT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(row(0), (Row{"2101/0000", "2101/0100"}));
  EXPECT_EQ(row(1), (Row{"Tw (C)", "Ta (C)"}));
  EXPECT_EQ(row(2), (Row{"83", "4"}));
  EXPECT_EQ(row(3), (Row{"40", "10"}));
}

TEST_F(OpenLogTest, XmlScanLogOpensInTableView) {
  test::writeFile(dir / "scan.xml",
                  "<?xml version=\"1.0\"?><L><E><R sID=\"61\" Data=\"01 7B 2C\"/></E><E/>"
                  "<E><R sID=\"61\" Data=\"01 50 32\"/></E></L>");
  const OpenOutcome outcome = openLog(state, channel, dir / "scan.xml", grid);
  EXPECT_EQ(outcome.kind, LogKind::XmlLog);
  EXPECT_TRUE(outcome.built);
  EXPECT_EQ(state.viewMode, ViewMode::Table);
  EXPECT_EQ(state.openFileName, dir / "scan.xml");
  EXPECT_FALSE(state.csvFlag);
  ASSERT_EQ(grid.rowCount(), 4);
  EXPECT_EQ(row(0), (Row{"2101/0000", "2101/0100", "2102/0000"}));
  EXPECT_EQ(row(2), (Row{"83", "4", ""}));
  EXPECT_EQ(row(3), (Row{"40", "10", ""}));
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(OpenLogTest, XmlThatDoesNotParseLeavesEverythingAsItWas) {
  test::writeFile(dir / "demo.CSV", "A;B;\r\n1;2;\r\n");
  ASSERT_TRUE(openLog(state, channel, dir / "demo.CSV", grid).built);
  const Row before = row(1);
  test::writeFile(dir / "broken.xml", "<L><E><R sID=\"61\" Data=\"01 7B");
  const OpenOutcome outcome = openLog(state, channel, dir / "broken.xml", grid);
  EXPECT_FALSE(outcome.built);
  // The CSV log stays open: its flag, its definitions, its table.
  EXPECT_TRUE(state.csvFlag);
  EXPECT_EQ(state.openFileName, dir / "demo.CSV");
  EXPECT_EQ(state.definitions.size(), 2u);
  EXPECT_EQ(row(1), before);
  ASSERT_EQ(channel.texts(ScriptedChannel::Event::Message).size(), 1u);
  // A refresh builds the same table again.
  showCurrentView(state, channel, grid);
  EXPECT_EQ(row(1), before);
}

TEST_F(OpenLogTest, CsvLogInAnyCaseOpensWithItsOwnColumnsUntilTheNextFile) {
  for (const char* name : {"drive.csv", "drive.CsV"}) {
    test::writeFile(dir / name, "Обороты;ОЗ;\r\n800;90.5;\r\n900;;\r\n"_w);
    const OpenOutcome outcome = openLog(state, channel, dir / name, grid);
    EXPECT_EQ(outcome.kind, LogKind::CsvLog) << name;
    EXPECT_TRUE(state.csvFlag);
    EXPECT_EQ(state.viewMode, ViewMode::Table);
    ASSERT_EQ(grid.rowCount(), 4) << name;
    EXPECT_EQ(row(0), (Row{"0000/0000", "0000/0001"}));
    EXPECT_EQ(row(1), (Row{std::string("Обороты ()"_w), std::string("ОЗ ()"_w)}));
    EXPECT_EQ(row(2), (Row{"800", "90,5"}));
    EXPECT_EQ(row(3), (Row{"900", "0"}));
    // A rebuild keeps the CSV columns: the definition file is not read.
    showCurrentView(state, channel, grid);
    EXPECT_EQ(row(1), (Row{std::string("Обороты ()"_w), std::string("ОЗ ()"_w)}));
  }
  // The next file reads the profile's definitions again.
  test::writeFile(dir / "demo.rtd", std::string(48, '\0'));
  openLog(state, channel, dir / "demo.rtd", grid);
  EXPECT_FALSE(state.csvFlag);
}

TEST_F(OpenLogTest, GraphsOnlyReadsEveryFileAndBuildsNoView) {
  state.graphsOnly = 1;
  state.profileCode = "Hyndai";  // selection runs even for the profiles that skip it
  for (const char* name : {"demo.log", "scan.xml", "export.CSV"}) {
    test::writeFile(dir / name, kTextLog);
    Grid untouched;
    untouched.setColumnCount(1);
    untouched.setRowCount(1);
    untouched.setCell(0, 0, "before");
    const OpenOutcome outcome = openLog(state, channel, dir / name, untouched);
    EXPECT_TRUE(outcome.graphsOnly) << name;
    EXPECT_TRUE(outcome.built) << name;
    EXPECT_EQ(state.openFileName, dir / name);
    EXPECT_EQ(state.records.size(), 4u) << name;
    EXPECT_EQ(state.definitionFileName, "_UsesTblPids.ini") << name;
    EXPECT_EQ(untouched.cell(0, 0), "before");
    EXPECT_EQ(state.viewMode, ViewMode::Log);
  }
}

TEST_F(OpenLogTest, GraphsOnlyReadsAGraphFileWithItsReader) {
  std::string rtd(6, '\0');
  rtd += std::string("\x64\x00", 2);
  rtd += std::string("\x21\x01\x00\x00\x00", 5);
  rtd += std::string(35, '\0');
  rtd += std::string("\x04\x00\x61\x01\x7B\x2C", 6);
  test::writeFile(dir / "demo.rtd", rtd);
  state.graphsOnly = 1;
  const OpenOutcome outcome = openLog(state, channel, dir / "demo.rtd", grid);
  EXPECT_TRUE(outcome.graphsOnly);
  EXPECT_EQ(state.definitionFileName, "_tmp.ini");
  EXPECT_EQ(state.records.size(), 1u);
  EXPECT_EQ(state.requestInterval, 100);
  EXPECT_EQ(grid.rowCount(), 0);
}

TEST_F(OpenLogTest, MissingFormulaFileEndsTheProgram) {
  std::filesystem::remove(dir / "formules.ini");
  test::writeFile(dir / "demo.log", kTextLog);
  state.tableOnly = 1;
  EXPECT_THROW(openLog(state, channel, dir / "demo.log", grid), ProgramEnds);
}

}  // namespace
}  // namespace tervolin

// Opens that fail: no memory left for what a file makes, derived definition
// files that cannot be written, definitions that multiply into more cells
// than the grid may hold.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"
#include "table/open_log.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Row = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr std::string_view kTextLog =
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 7B 2C 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 50 32 5E\r\n";

// Channels 2101/0000 and 2101/0100, two frames.
std::string graphFile() {
  return test::graphFileBytes(100, {{{0x21, 0x01, 0x00}, {0x00, 0x00}}, {{0x21, 0x01, 0x00}, {0x01, 0x00}}},
                              {{0x61, 0x01, 0x7B, 0x2C}, {0x61, 0x01, 0x50, 0x32}});
}

class OpenFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.profileCode = "Toyota";
    state.tableOnly = 1;
    writeDefinitions({{"2101", "Tw", "C", "0000", "", 0},
                      {"2101", "Ta", "C", "0100", "", 1},
                      {"2102", "Unused", "C", "0000", "", 2}});
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n21020000FT\r\n");
    test::writeFile(dir / "demo.log", kTextLog);
    test::writeFile(dir / "demo.rtd", graphFile());
    test::writeFile(dir / "scan.xml", "<L><E><R sID=\"61\" Data=\"01 7B 2C\"/></E></L>");
    test::writeFile(dir / "drive.csv", "A;B;\r\n1;2;\r\n");
  }

  void writeDefinitions(const std::vector<ParamDef>& definitions) {
    test::writeFile(dir / "pids.ini", definitionFileText(definitions));
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

// Whatever kind of file runs out of memory, the message is ours and the file
// opened before stays open with its records, definitions and table.
TEST_F(OpenFailureTest, OutOfMemoryLeavesThePreviousOpenAsItWas) {
  for (const char* name : {"demo.log", "demo.rtd", "scan.xml", "drive.csv"}) {
    ASSERT_TRUE(openLog(state, channel, dir / "drive.csv", grid).built);
    const Row before = row(2);
    const std::size_t records = state.records.size();
    channel.events.clear();

    state.records.setMemoryLimit(0);
    const OpenOutcome outcome = openLog(state, channel, dir / name, grid);
    state.records.setMemoryLimit(std::size_t{1} << 30);
    EXPECT_FALSE(outcome.built) << name;
    EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
              std::vector<std::string>{std::string("Недостаточно памяти для открытия файла "_w) +
                                       pathText(dir / name) +
                                       std::string(". Открытый ранее файл и таблица остались как были."_w)})
        << name;
    EXPECT_EQ(state.openFileName, dir / "drive.csv") << name;
    EXPECT_TRUE(state.csvFlag) << name;
    EXPECT_EQ(state.records.size(), records) << name;
    EXPECT_EQ(state.definitions.size(), 2u) << name;
    EXPECT_EQ(row(2), before) << name;
    // The kept state rebuilds the same table.
    showCurrentView(state, channel, grid);
    EXPECT_EQ(row(2), before) << name;
  }
}

// 300 copies of one definition make every record fill 300 cells of a row of
// its own. The grid stops at its budget with the placement box, asked once,
// and shows what it placed.
TEST_F(OpenFailureTest, AmplifiedDefinitionsStopAtTheGridBudgetWithOneBox) {
  writeDefinitions(std::vector<ParamDef>(300, ParamDef{"2101", "Tw", "C", "0000", "", 0}));
  std::string log;
  for (int i = 0; i < 200; ++i) log += std::string(kTextLog);
  test::writeFile(dir / "demo.log", log);
  for (const bool stop : {true, false}) {
    ScriptedChannel asked;
    asked.yesNoAnswers = {stop};
    grid.setMaxCellBytes(std::size_t{4} << 20);
    ASSERT_TRUE(openLog(state, asked, dir / "demo.log", grid).built);
    EXPECT_EQ(state.records.size(), 400u * 300u);
    const auto questions = asked.texts(ScriptedChannel::Event::YesNo);
    ASSERT_EQ(questions.size(), 1u) << stop;
    EXPECT_EQ(questions[0].rfind(std::string("Ошибка построения таблицы! Записей 120000 Строк 3"_w), 0), 0u)
        << questions[0];
    // The first record's row was placed; every later one needed a row more.
    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(row(2), Row(300, "83"));
    EXPECT_LE(grid.cellBytes(), std::size_t{16} << 20);
  }
}

TEST_F(OpenFailureTest, UnwritableUsedParameterFileIsReportedAndPidsIniUsed) {
  // A file that cannot take a byte stands where _usesTblPids.ini goes.
  fs::create_symlink("/dev/full", dir / "_usesTblPids.ini");
  ASSERT_TRUE(openLog(state, channel, dir / "demo.log", grid).built);
  EXPECT_EQ(state.definitionFileName, "pids.ini");
  EXPECT_EQ(row(0), (Row{"2101/0000", "2101/0100", "2102/0000"}));
  EXPECT_EQ(row(2), (Row{"83", "4", ""}));
  const auto messages = channel.texts(ScriptedChannel::Event::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], std::string("Не удалось записать файл "_w) + pathText(dir / "_usesTblPids.ini") +
                             ": No space left on device" +
                             std::string(". Загружены все параметры профиля из pids.ini."_w));
}

TEST_F(OpenFailureTest, UnwritableChannelFileIsReportedAndPidsIniUsed) {
  fs::create_symlink("/dev/full", dir / "_tmp.ini");
  ASSERT_TRUE(openLog(state, channel, dir / "demo.rtd", grid).built);
  EXPECT_EQ(state.definitionFileName, "pids.ini");
  EXPECT_EQ(row(0), (Row{"2101/0000", "2101/0100", "2102/0000"}));
  EXPECT_EQ(row(3), (Row{"40", "10", ""}));
  const auto messages = channel.texts(ScriptedChannel::Event::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], std::string("Не удалось записать файл "_w) + pathText(dir / "_tmp.ini") +
                             ": No space left on device" +
                             std::string(". Таблица построена по параметрам профиля из pids.ini."_w));
}

TEST_F(OpenFailureTest, UnwritableErrorDumpIsNamedInTheReadErrorMessage) {
  fs::create_symlink("/dev/full", dir / "error_ini.txt");
  test::writeFile(dir / "stop.log", std::string(kTextLog) + std::string("Интервал между запросами тестера: x\r\n"_w));
  const OpenOutcome outcome = openLog(state, channel, dir / "stop.log", grid);
  ASSERT_TRUE(outcome.readStop.has_value());
  EXPECT_TRUE(outcome.readStop->dump.empty());
  const std::string failure = std::string("Не удалось записать файл "_w) + pathText(dir / "error_ini.txt") +
                              ": No space left on device";
  EXPECT_EQ(outcome.readStop->dumpFailure, failure);
  const std::string message = readStopMessage(*outcome.readStop, state.records.size());
  EXPECT_NE(message.find("\n" + failure + "."), std::string::npos) << message;
}

}  // namespace
}  // namespace tervolin

// The three stages on files: layout detection, used-parameter selection
// writing _usesTblPids.ini, record reading through the definition loader,
// and the error dump of a failed read.

#include <gtest/gtest.h>

#include <string>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/error_dump.h"
#include "logs/layout_detection.h"
#include "logs/text_log_records.h"
#include "logs/used_parameters.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using test::TempDir;

class OpenTextLog : public ::testing::Test {
 protected:
  void SetUp() override {
    state.workingFolder = dir.path();
    state.programDir = dir.path();
    state.profileCode = "VAZ";
    state.requestCodeWidth = 4;
    // Long names keep the used-parameter file above the loader's empty-file
    // threshold.
    test::writeFile(dir / "pids.ini",
                    "21 01\r\nCoolant temperature of the engine\r\nC\r\n0000\r\n"
                    "2101\r\nRaw second byte of the answer\r\nhex\r\n0100\r\n"
                    "2103\r\nNever answered parameter\r\nx\r\n0000\r\n"
                    "2101\r\nBit three of the first data byte\r\nbit\r\n000B\r\n");
    test::writeFile(dir / "Formules.ini", "21010000FT\r\n");
  }

  TempDir dir;
  AppState state;
  ScriptedChannel channel;
};

TEST_F(OpenTextLog, SelectionWritesTheUsedDefinitionsAndTheReadUsesThem) {
  test::writeFile(dir / "a.log",
                  "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n"
                  "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 28 FF 5E\r\n");
  FindAddr(state, dir / "a.log");
  selectUsedParameters(state, channel, dir / "a.log");
  EXPECT_EQ(state.definitionFileName, "_UsesTblPids.ini");
  EXPECT_EQ(test::readFile(dir / "_usesTblPids.ini"),
            "2101\r\nCoolant temperature of the engine\r\nC\r\n0000\r\n"
            "2101\r\nRaw second byte of the answer\r\nhex\r\n0100\r\n"
            "2101\r\nBit three of the first data byte\r\nbit\r\n000B\r\n");

  EXPECT_FALSE(readTextLog(state, channel, dir / "a.log"));
  ASSERT_EQ(state.definitions.size(), 3u);
  ASSERT_EQ(state.records.size(), 6u);
  EXPECT_EQ(state.records.value(0), "83");
  EXPECT_EQ(state.records.at(3).ordinal, 2);
  EXPECT_EQ(state.records.value(3), "0");
  EXPECT_EQ(state.requestCounter, 2u);
  EXPECT_FALSE(std::filesystem::exists(dir / "error_ini.txt"));
}

TEST_F(OpenTextLog, ReadErrorWritesTheDumpAndKeepsTheRecords) {
  state.definitionFileName = "pids.ini";
  test::writeFile(dir / "b.log",
                  "TxD 82 10 F1 21 03 A5\r\nRxD 83 F1 10 61 03 7B 5E\r\n" +
                      std::string("Интервал между запросами тестера: abc"_w) +
                      "\r\nTxD 82 10 F1 21 03 A5\r\nRxD 83 F1 10 61 03 01 5E\r\n");
  FindAddr(state, dir / "b.log");
  const auto stop = readTextLog(state, channel, dir / "b.log");
  ASSERT_EQ(state.records.size(), 1u);
  // Nothing is shown during the read: the stop names the file, the line and
  // the dump, for the caller to tell once.
  EXPECT_TRUE(channel.texts(ScriptedChannel::Event::Message).empty());
  ASSERT_TRUE(stop);
  EXPECT_EQ(stop->cause, ReadStopCause::IntervalNotNumber);
  EXPECT_EQ(stop->line, 3u);
  EXPECT_EQ(stop->offset, 49u);
  EXPECT_EQ(stop->text, "abc");
  EXPECT_EQ(stop->file, dir / "b.log");
  EXPECT_EQ(stop->dump, dir / "error_ini.txt");
  EXPECT_EQ(test::readFile(dir / "error_ini.txt"),
            std::string("Ошибка при заполнении массива данных "_w) + "21030000Never answered parameter7Bx\r\n");
}

TEST_F(OpenTextLog, MissingLogIsAReadErrorWithAnEmptyDump) {
  state.definitionFileName = "pids.ini";
  FindAddr(state, dir / "missing.log");
  EXPECT_EQ(state.layout.ecuPair, "");
  const auto stop = readTextLog(state, channel, dir / "missing.log");
  ASSERT_TRUE(stop);
  EXPECT_EQ(stop->cause, ReadStopCause::Unreadable);
  EXPECT_TRUE(state.records.empty());
  EXPECT_EQ(test::readFile(dir / "error_ini.txt"), "");
}

}  // namespace
}  // namespace tervolin

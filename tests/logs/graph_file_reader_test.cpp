// Graph files: header, channels, frames, the derived _tmp.ini and read errors.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/text.h"
#include "logs/graph_file_reader.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using test::TempDir;

using ChannelSpec = test::GraphChannel;
using test::graphFileBytes;

class GraphFileReader : public ::testing::Test {
 protected:
  void SetUp() override {
    state.workingFolder = dir.path();
    state.programDir = dir.path();
    state.profileCode = "VAZ";
    state.requestCodeWidth = 4;
    test::writeFile(dir / "pids.ini",
                    "2101\r\nRPM\r\nrpm\r\n0000\r\n2101\r\nTemp\r\nC\r\n0100\r\n22F40C\r\nLambda\r\nl\r\n0000\r\n");
    test::writeFile(dir / "Formules.ini", "21010000FT\r\n");
  }

  struct Row {
    std::int32_t ordinal;
    std::string text;  // name=value
    bool operator==(const Row&) const = default;
  };

  std::vector<Row> read(const std::string& bytes) {
    test::writeFile(dir / "log.rtd", bytes);
    stop = readGraphFile(state, channel, dir / "log.rtd");
    std::vector<Row> rows;
    for (std::size_t i = 0; i < state.records.size(); ++i)
      rows.push_back({state.records.at(i).ordinal,
                      state.records.source(i).name + "=" + std::string(state.records.value(i))});
    return rows;
  }

  std::string tmpIni() { return test::readFile(dir / "_tmp.ini"); }

  TempDir dir;
  AppState state;
  ScriptedChannel channel;
  std::optional<ReadStop> stop;  // of the last read
};

const ChannelSpec kRpm{{0x21, 0x01, 0x00}, {0x00, 0x00}};
const ChannelSpec kTemp{{0x21, 0x01, 0x00}, {0x01, 0x00}};

TEST_F(GraphFileReader, FramesBecomeRecordsAndChannelsTheTmpFile) {
  const auto rows = read(graphFileBytes(250, {kRpm, kTemp},
                                    {{0x61, 0x01, 0x7B, 0x2C}, {0x50, 0x81}, {0x62, 0x01, 0x01}, {0x61, 0x01, 0x28, 0x00}}));
  // Service 10 is skipped without counting; the ordinal counts records.
  EXPECT_EQ(rows, (std::vector<Row>{{0, "RPM=83"}, {1, "Temp=7B2C"}, {2, "RPM=0"}, {3, "Temp=2800"}}));
  EXPECT_EQ(state.requestCounter, 4u);
  EXPECT_DOUBLE_EQ(state.requestInterval, 250);
  EXPECT_EQ(state.definitionFileName, "_tmp.ini");
  EXPECT_EQ(tmpIni(), "2101\r\nRPM\r\nrpm\r\n0000\r\n2101\r\nTemp\r\nC\r\n0100\r\n");
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(GraphFileReader, FewerRecordsThanChannelsWriteEmptyEntries) {
  const ChannelSpec other{{0x21, 0x02, 0x00}, {0x00, 0x00}};
  const auto rows = read(graphFileBytes(10, {kRpm, other}, {{0x61, 0x01, 0x7B}}));
  EXPECT_EQ(rows, (std::vector<Row>{{0, "RPM=83"}}));
  EXPECT_EQ(tmpIni(), "2101\r\nRPM\r\nrpm\r\n0000\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(GraphFileReader, SixDigitRequestCodes) {
  state.requestCodeWidth = 6;
  const ChannelSpec lambda{{0x22, 0xF4, 0x0C}, {0x00, 0x00}};
  const auto rows = read(graphFileBytes(10, {lambda}, {{0x62, 0xF4, 0x0C, 0x01, 0x02}, {0x62, 0xF4, 0x0D, 0x03}}));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(state.records.source(0).requestCode, "22F40C");
  EXPECT_EQ(state.records.source(0).positionField, "0000");
  // No formula: the raw data after service and identifier.
  EXPECT_EQ(rows[0].text, "Lambda=0102");
}

// Frames repeat in a graph file; each repeat must read as that frame read on
// its own, whatever came between (raw-data, formula and empty values).
TEST_F(GraphFileReader, RepeatedFramesReadAsTheyDoAlone) {
  const std::vector<std::vector<std::uint8_t>> pool = {
      {0x61, 0x01, 0x7B, 0x2C}, {0x61, 0x01, 0x7C, 0x2C}, {0x61, 0x01, 0x7B, 0x2D}, {0x61, 0x01},
      {0x61, 0x01, 0x00}, {0x61, 0x01, 0xFF, 0x00, 0x01}, {0x61, 0x01, 0x7B}};
  std::vector<std::string> alone;  // RPM and Temp values of each pool frame read on its own
  for (const auto& frame : pool) {
    const auto rows = read(graphFileBytes(10, {kRpm, kTemp}, {frame}));
    ASSERT_EQ(rows.size(), 2u);
    alone.push_back(rows[0].text + " " + rows[1].text);
  }
  std::mt19937 rng(5);
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::size_t> picked;
  for (int k = 0; k < 400; ++k) {
    picked.push_back(rng() % pool.size());
    frames.push_back(pool[picked.back()]);
  }
  const auto rows = read(graphFileBytes(10, {kRpm, kTemp}, frames));
  ASSERT_EQ(rows.size(), 2 * frames.size());
  for (std::size_t k = 0; k < frames.size(); ++k)
    ASSERT_EQ(rows[2 * k].text + " " + rows[2 * k + 1].text, alone[picked[k]]) << "frame " << k;
}

TEST_F(GraphFileReader, FrameWithoutDataGivesAnEmptyValue) {
  const auto rows = read(graphFileBytes(10, {kRpm}, {{0x61, 0x01}, {0x61, 0x01, 0x7B}}));
  EXPECT_EQ(rows, (std::vector<Row>{{0, "RPM="}, {1, "RPM=83"}}));
}

TEST_F(GraphFileReader, ShortFilesAreNotGraphFiles) {
  const std::string notGraph(std::string("Некорректный файл"_w));
  // 48 bytes: the header is read, no frame.
  EXPECT_TRUE(read(graphFileBytes(10, {kRpm, kTemp}, {})).empty());
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message), std::vector<std::string>{notGraph});
  EXPECT_EQ(tmpIni(), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(state.definitionFileName, "_tmp.ini");
  // Shorter: no header either, so all eight channels count as used.
  channel.events.clear();
  EXPECT_TRUE(read(std::string(20, '\x01')).empty());
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message), std::vector<std::string>{notGraph});
  std::string eightEmpty;
  for (int i = 0; i < 32; ++i) eightEmpty += "\r\n";
  EXPECT_EQ(tmpIni(), eightEmpty);
}

TEST_F(GraphFileReader, ReadErrorsKeepRecordsAndWriteTheDumpAndTheTmpFile) {
  const struct {
    const char* what;
    std::string tail;
    ReadStopCause cause;
  } cases[] = {
      {"frame length past the end", std::string("\x09\x00\x61\x01", 4), ReadStopCause::FramePastEnd},
      {"frame of length 0", std::string("\x00\x00\x61\x01\x7B", 5), ReadStopCause::FrameLengthZero},
      {"one stray byte", std::string("\x05", 1), ReadStopCause::FramePastEnd},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir / "error_ini.txt");
    channel.events.clear();
    const auto rows = read(graphFileBytes(10, {kRpm}, {{0x61, 0x01, 0x7B}}) + c.tail);
    EXPECT_EQ(rows, (std::vector<Row>{{0, "RPM=83"}})) << c.what;
    EXPECT_TRUE(channel.events.empty()) << c.what;
    EXPECT_EQ(test::readFile(dir / "error_ini.txt"),
              std::string("Ошибка при заполнении массива данных "_w) + "21010000RPM83rpm\r\n")
        << c.what;
    EXPECT_EQ(tmpIni(), "2101\r\nRPM\r\nrpm\r\n0000\r\n") << c.what;
    // The stop names the frame after the first one (48 + 2 + 3) and the dump.
    ASSERT_TRUE(stop) << c.what;
    EXPECT_EQ(stop->cause, c.cause) << c.what;
    EXPECT_EQ(stop->offset, 53u) << c.what;
    EXPECT_EQ(stop->line, 0u) << c.what;
    EXPECT_EQ(stop->file, dir / "log.rtd") << c.what;
    EXPECT_EQ(stop->dump, dir / "error_ini.txt") << c.what;
  }
  // A whole file has no stop; neither has a short one ("Некорректный файл").
  read(graphFileBytes(10, {kRpm}, {{0x61, 0x01, 0x7B}}));
  EXPECT_FALSE(stop);
  read(std::string(20, '\x01'));
  EXPECT_FALSE(stop);
}

TEST_F(GraphFileReader, GarbageIsReadSafely) {
  std::mt19937 rng(7);
  for (int i = 0; i < 60; ++i) {
    std::string bytes(rng() % 3000, '\0');
    for (char& b : bytes) b = static_cast<char>(rng() % 256);
    if (bytes.size() > 10) bytes[8] = 0x21;  // a channel that frames can match
    read(bytes);
    EXPECT_EQ(state.definitionFileName, "_tmp.ini");
    EXPECT_LE(state.records.size(), bytes.size());
  }
}

}  // namespace
}  // namespace tervolin

// The graph, XML and CSV readers stop on a cancel (even inside their own
// catch-all for bad input) and tell how far they came.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/progress.h"
#include "logs/csv_log.h"
#include "logs/graph_file_reader.h"
#include "logs/xml_scan_log.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

// Counts what it is told; cancelled from the start when asked to be.
class CountingProgress : public Progress {
 public:
  explicit CountingProgress(bool cancel) : cancel_(cancel) {}
  void report(std::uint64_t done, std::uint64_t total) override {
    ++reports;
    lastDone = done;
    lastTotal = total;
  }
  void lines(std::uint64_t count) override { lastLines = count; }
  bool cancelled() const override { return cancel_; }

  int reports = 0;
  std::uint64_t lastDone = 0, lastTotal = 0, lastLines = 0;

 private:
  bool cancel_;
};

struct Reader {
  const char* name;
  std::function<void(AppState&, test::ScriptedChannel&, const test::TempDir&, Progress&)> read;
  bool reportsShare;  // report() with the bytes read of the whole
  bool reportsLines;
};

std::string csvText(int rows) {
  std::string text = "A;B;\r\n";
  for (int r = 0; r < rows; ++r) text += std::to_string(r) + ";" + std::to_string(r * 2) + ";\r\n";
  return text;
}

std::string xmlText(int entries) {
  std::string text = "<?xml version=\"1.0\"?><L>";
  for (int e = 0; e < entries; ++e) text += "<E><R sID=\"61\" Data=\"01 7B 2C\"/></E>";
  return text + "</L>";
}

// One channel (2101/0000) and `frames` frames of it.
std::string graphBytes(int frames) {
  return test::graphFileBytes(100, {{{0x21, 0x01, 0x00}, {0x00, 0x00}}},
                              std::vector<std::vector<std::uint8_t>>(frames, {0x61, 0x01, 0x7B, 0x2C}));
}

const std::vector<Reader>& readers() {
  static const std::vector<Reader> all{
      {"csv",
       [](AppState& state, test::ScriptedChannel& channel, const test::TempDir&, Progress& progress) {
         readCsvLog(csvText(10000), state, channel, progress);
       },
       true, true},
      {"xml",
       [](AppState& state, test::ScriptedChannel& channel, const test::TempDir&, Progress& progress) {
         readXmlScanLog(
             xmlText(10000), state, channel, [&] { state.definitions = {{"2101", "Tw", "C", "0000", "FT", 0}}; },
             progress);
       },
       false, true},
      {"graph",
       [](AppState& state, test::ScriptedChannel& channel, const test::TempDir& dir, Progress& progress) {
         test::writeFile(dir / "log.rtd", graphBytes(10000));
         readGraphFile(state, channel, dir / "log.rtd", progress);
       },
       true, false},
  };
  return all;
}

class ReaderProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.profileCode = "VAZ";
    test::writeFile(dir / "pids.ini", "2101\r\nTw\r\nC\r\n0000\r\n");
    test::writeFile(dir / "Formules.ini", "21010000FT\r\n");
  }
  test::TempDir dir;
  AppState state;
  test::ScriptedChannel channel;
};

TEST_F(ReaderProgress, CancelStopsTheReadWithoutAMessage) {
  for (const Reader& reader : readers()) {
    CountingProgress cancelled(true);
    EXPECT_THROW(reader.read(state, channel, dir, cancelled), Cancelled) << reader.name;
    EXPECT_TRUE(channel.texts(test::ScriptedChannel::Event::Message).empty()) << reader.name;
  }
}

TEST_F(ReaderProgress, ReadsTellHowFarTheyCame) {
  for (const Reader& reader : readers()) {
    CountingProgress watched(false);
    reader.read(state, channel, dir, watched);
    EXPECT_GT(state.records.size(), 0u) << reader.name;
    if (reader.reportsShare) {
      EXPECT_GE(watched.reports, 2) << reader.name;
      EXPECT_GT(watched.lastDone, 0u) << reader.name;
      EXPECT_LE(watched.lastDone, watched.lastTotal) << reader.name;
    }
    if (reader.reportsLines) {
      EXPECT_GE(watched.lastLines, 8192u) << reader.name;
    }
  }
}

}  // namespace
}  // namespace tervolin

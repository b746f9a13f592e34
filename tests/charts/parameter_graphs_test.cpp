#include "charts/parameter_graphs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"
#include "table/open_log.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;

// Three polls of 21 01 (two parameters answered), 50 ms between requests.
constexpr std::string_view kLog =
    "Интервал между запросами тестера: 50  \r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 0A 14 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 0B 15 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 0C 16 5E\r\n"_w;

class ParameterGraphsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.profileCode = "Toyota";
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                          {"2101", "Tw", "C", "0000", "", 0},
                                          {"2101", "Ta", "%", "0100", "", 1},
                                          {"2102", "Unused", "V", "0000", "", 2}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n21020000FT\r\n");
  }

  // The drive log opened as the open command opens it.
  void openDrive() {
    test::writeFile(dir / "drive.log", kLog);
    open(dir / "drive.log");
  }

  void open(const std::filesystem::path& file) {
    Grid grid;
    openLog(state, channel, file, grid);
    channel.events.clear();
  }

  test::TempDir dir;
  AppState state;
  MemoryRegistry registry;
  ScriptedChannel channel;
};

TEST_F(ParameterGraphsTest, ActivationFillsListsDefaultsAndTiming) {
  openDrive();
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  c.timing = "typed before";
  ASSERT_TRUE(graphs.activate(c));
  // The used-parameter file holds what the log answers.
  EXPECT_EQ(graphs.items(), (std::vector<std::string>{std::string("Нет"_w), "01/0000 Tw", "01/0100 Ta"}));
  for (int k = 0; k < kSeriesCount; ++k) {
    EXPECT_EQ(c.list[k], 0);
    EXPECT_EQ(c.listText[k], "Нет"_w);
  }
  EXPECT_EQ(c.colour, kDesignSeriesColours);
  EXPECT_EQ(c.lineWidth, 0);
  EXPECT_EQ(c.cursorLine, kBlackColour);
  EXPECT_EQ(c.timing, "50");
  EXPECT_FALSE(graphs.timingEnabled());
  EXPECT_FALSE(state.logKey.empty());
  EXPECT_TRUE(channel.events.empty());
}

TEST_F(ParameterGraphsTest, BuildFromTheChosenItems) {
  openDrive();
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  graphs.activate(c);
  graphs.selectItem(c, 0, 1);
  graphs.selectItem(c, 1, 2);
  graphs.build(c);
  EXPECT_DOUBLE_EQ(graphs.timeStep(), 0.05);
  ASSERT_EQ(graphs.series(0).count(), 3u);
  EXPECT_DOUBLE_EQ(graphs.series(0).x[2], 0.15);
  EXPECT_EQ(graphs.series(0).raw, (std::vector<double>{-30, -29, -28}));  // 0A, 0B, 0C less 40
  EXPECT_EQ(graphs.series(1).unit, "%");
  EXPECT_TRUE(graphs.leftAxisVisible());
  EXPECT_GT(graphs.axis().max, graphs.axis().min);
}

TEST_F(ParameterGraphsTest, SettingsComeBackForACopyUnderAnotherName) {
  test::writeFile(dir / "drive.log", kLog);
  test::writeFile(dir / "copy of drive.log", kLog);
  open(dir / "drive.log");
  {
    ParameterGraphs graphs(state, registry, channel);
    GraphControls c;
    graphs.activate(c);
    graphs.selectItem(c, 0, 2);
    graphs.selectItem(c, 3, 1);
    c.unit = 0;
    c.fit = true;
    c.colour[2] = 14;
    graphs.store(c);
  }
  open(dir / "copy of drive.log");
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  ASSERT_TRUE(graphs.activate(c));
  EXPECT_EQ(c.listText[0], "01/0100 Ta");
  EXPECT_EQ(c.listText[3], "01/0000 Tw");
  EXPECT_EQ(c.list[1], 0);
  EXPECT_EQ(c.unit, 0);
  EXPECT_TRUE(c.fit);
  EXPECT_EQ(c.colour[2], 14);
  EXPECT_EQ(c.timing, "050");  // shown as stored
}

TEST_F(ParameterGraphsTest, GraphFileListsAllEightChannels) {
  std::string bytes(48, '\0');
  bytes[6] = 20;
  bytes[8] = 0x21, bytes[9] = 0x01, bytes[11] = 0x00, bytes[12] = 0x00;  // channel 1: 2101/0000
  bytes += std::string("\x03\x00\x61\x01\x0A", 5);
  test::writeFile(dir / "drive.rtd", bytes);
  state.requestCodeWidth = 4;
  open(dir / "drive.rtd");
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  ASSERT_TRUE(graphs.activate(c));
  ASSERT_EQ(graphs.items().size(), 9u);
  EXPECT_EQ(graphs.items()[1], "01/0000 Tw");
  EXPECT_EQ(graphs.items()[2], "00/0000 ");
  EXPECT_EQ(c.timing, "20");
}

TEST_F(ParameterGraphsTest, AnUnreadableLogEndsTheActivationAfterTheLists) {
  openDrive();
  std::filesystem::remove(dir / "drive.log");
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  EXPECT_FALSE(graphs.activate(c));
  EXPECT_EQ(graphs.items().size(), 3u);
  const auto messages = channel.texts(Event::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Ошибка ввода/вывода"_w, 0), 0u);
}

TEST_F(ParameterGraphsTest, AFailedRestoreLeavesTheTimingEmpty) {
  openDrive();
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  graphs.activate(c);
  registry.writeString("Software\\Tervolin\\crc_databases", state.logKey, "1:0012:0-1");
  ParameterGraphs again(state, registry, channel);
  EXPECT_FALSE(again.activate(c));
  EXPECT_EQ(c.listText[0], "01/0000 Tw");
  EXPECT_EQ(c.timing, "");
  EXPECT_TRUE(again.timingEnabled());
}

TEST_F(ParameterGraphsTest, MarkersInCursorModeOnly) {
  openDrive();
  ParameterGraphs graphs(state, registry, channel);
  GraphControls c;
  graphs.activate(c);
  graphs.selectItem(c, 0, 1);
  graphs.build(c);

  EXPECT_EQ(graphs.markerClick(0.1, c), 0);  // cursor mode off
  graphs.toggleCursorMode();
  graphs.cursorAt(120, 0.125);
  EXPECT_EQ(graphs.labels()[0], "-28.500 C");
  EXPECT_EQ(graphs.lastCursorPixel(), 120);
  EXPECT_EQ(graphs.markerClick(0.125, c), 1);
  EXPECT_FALSE(graphs.cursorMode());
  EXPECT_EQ(graphs.markerText(1), "Параметры под маркером 1:-28.500 C;0.000 ;0.000 ;0.000 ;0.000 ;0.000 ;x1=0.13с"_w);
  graphs.toggleCursorMode();
  const double last = graphs.series(0).x[2];
  graphs.cursorAt(200, last);
  EXPECT_EQ(graphs.markerClick(last, c), 2);
  EXPECT_EQ(graphs.markerText(2),
            "Параметры под маркером 2:-28.000 C;0.000 ;0.000 ;0.000 ;0.000 ;0.000 ;x2=0.15с x2-x1=0.03с"_w);
  graphs.toggleCursorMode();
  EXPECT_EQ(graphs.markerClick(0.2, c), 0);  // a third marker: nothing
  EXPECT_TRUE(graphs.cursorMode());
  graphs.removeMarkers();
  EXPECT_EQ(graphs.markerClick(0.2, c), 1);
}

}  // namespace
}  // namespace tervolin

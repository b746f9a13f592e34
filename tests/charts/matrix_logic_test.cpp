#include "charts/matrix_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/matrix_grid.h"
#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using Event = test::ScriptedChannel::Event;

struct Window {
  AppState state;
  MemoryRegistry registry;
  test::ScriptedChannel channel;
  MatrixLogic logic{state, registry, channel};
  std::uint32_t rpm = 0, load = 0, inj = 0;

  Window() {
    state.profileCode = "Toyota";
    state.requestCodeWidth = 4;
    state.decimalMark = ',';
    state.definitions = {{"2101", "N", "", "0200", "", 0}, {"2101", "L", "", "0600", "", 1},
                         {"2101", "T", "", "0800", "", 2}};
    rpm = state.records.addSource({"2101", "0200", "", "N"});
    load = state.records.addSource({"2101", "0600", "", "L"});
    inj = state.records.addSource({"2101", "0800", "", "T"});
  }
  void pass(std::string_view r, std::string_view l, std::string_view i) {
    state.records.append(0, rpm, r);
    state.records.append(0, load, l);
    state.records.append(0, inj, i);
  }
  void chooseAll() {
    logic.selectX("2101/0200 N");
    logic.selectY("2101/0600 L");
    logic.selectData("2101/0800 T");
  }
  std::vector<std::string> messages() const { return channel.texts(Event::Message); }
};

TEST(MatrixLogic, ActivationFillsTheListsAndRestoresTheProfilesSettings) {
  Window w;
  w.logic.activate();
  EXPECT_EQ(w.logic.items(), (std::vector<std::string>{"2101/0200 N", "2101/0600 L", "2101/0800 T"}));
  EXPECT_EQ(w.logic.lists().x, "<null>");  // no key: the texts stay
  EXPECT_EQ(w.logic.quantTexts().minX, "");

  const std::string key = "Software\\Tervolin\\Toyota\\matrix";
  w.registry.writeString(key, "cbb1", "2101/0200 N");
  w.registry.writeString(key, "cbb3", "2101/0800 T");
  w.registry.writeString(key, "minx", "500");
  w.registry.writeString(key, "stepy", "10");
  w.pass("800", "20", "3,5");
  w.pass("900", "20", "-2");
  w.logic.activate();
  EXPECT_EQ(w.logic.lists().x, "2101/0200 N");
  EXPECT_EQ(w.logic.lists().y, "");  // a missing value gives an empty text
  EXPECT_EQ(w.logic.quantTexts().minX, "500");
  EXPECT_EQ(w.logic.quantTexts().stepY, "10");
  EXPECT_EQ(w.logic.quantTexts().maxX, "");
  // The Z range of the restored data list.
  EXPECT_EQ(w.logic.zRange().smallest, -2);
  EXPECT_EQ(w.logic.zRange().largest, 3.5);
  EXPECT_FALSE(w.logic.startEnabled());
}

TEST(MatrixLogic, ClosingStoresTheListTextsAndTheGridCells) {
  Window w;
  w.pass("0", "10", "1");
  w.pass("6000", "90", "1");
  w.chooseAll();
  EXPECT_TRUE(w.logic.startEnabled());
  w.logic.quantTexts().stepY = "10";
  ASSERT_TRUE(w.logic.storeSettings());
  const std::string key = "Software\\Tervolin\\Toyota\\matrix";
  const std::pair<const char*, const char*> stored[] = {
      {"cbb1", "2101/0200 N"}, {"cbb2", "2101/0600 L"}, {"cbb3", "2101/0800 T"}, {"minx", "0,00"}, {"maxx", "6000,00"},
      {"stepx", "375,0"},      {"miny", "10,00"},       {"maxy", "90,00"},       {"stepy", "10"},
  };
  for (const auto& [name, value] : stored) EXPECT_EQ(w.registry.readString(key, name).value_or("?"), value) << name;
  EXPECT_EQ(w.registry.valueNames(key).size(), std::size(stored));
  w.registry.setReadOnly(true);
  EXPECT_FALSE(w.logic.storeSettings());
}

TEST(MatrixLogic, ABuildNeedsThreeListsAndGridCellsThatAreNumbers) {
  Window w;
  w.pass("800", "20", "1");
  w.logic.selectX("2101/0200 N");
  EXPECT_FALSE(w.logic.startBuild());
  EXPECT_EQ(w.messages(), std::vector<std::string>{std::string("Вы должны выбрать из списка!"_w)});
  EXPECT_TRUE(w.logic.startEnabled());

  w.chooseAll();
  w.logic.quantTexts().stepX = "0";
  EXPECT_FALSE(w.logic.startBuild());
  EXPECT_FALSE(w.logic.startEnabled());  // until a parameter is chosen again
  EXPECT_EQ(cp1251ToUtf8(w.messages().back()), "Параметры квантования оси X: шаг равен 0");
  EXPECT_FALSE(w.logic.built());
  w.logic.quantTexts().stepX = "abc";
  w.logic.selectData("2101/0800 T");
  EXPECT_FALSE(w.logic.buildNow());
  EXPECT_EQ(cp1251ToUtf8(w.messages().back()), "Параметры квантования оси X: \"abc\" - не число");
}

TEST(MatrixLogic, BuildFillsTheMatrixAndModesReuseTheSamples) {
  Window w;
  w.pass("800", "20", "2");
  w.pass("1000", "20", "4");
  w.pass("3000", "60", "0");
  w.pass("3000", "60", "0");
  w.pass("3000", "60", "5");
  w.chooseAll();
  w.logic.quantTexts() = {"1000", "1000", "3000", "20", "20", "60"};
  ASSERT_TRUE(w.logic.buildNow());
  EXPECT_FALSE(w.logic.startEnabled());
  EXPECT_EQ(w.logic.lastSample(), 4u);
  w.logic.fillMatrix();
  // Each speed lands in the sample before: samples (1000, 20, 2),
  // (3000, 20, 4), (3000, 60, 0), (3000, 60, 0) and (0, 60, 5), whose X bin
  // no record set: it stays 0.
  EXPECT_EQ(matrixClipboardText(w.logic.grid()),
            "\t1000,00\t2000,00\t3000,00\r\n"
            "20,00\t2,00\t\t4,00\r\n"
            "40,00\t\t\t\r\n"
            "60,00\t5,00\t\t0,00\r\n");
  w.logic.setMode(4);
  w.state.records.clear();  // modes read the samples of the build, not the records
  w.logic.fillMatrix();
  EXPECT_EQ(w.logic.grid().cell(3, 3), "2");
  w.logic.setMode(5);
  w.logic.fillMatrix();
  EXPECT_EQ(w.logic.grid().cell(3, 3), "0");
  w.logic.setMinHits(3);
  w.logic.setMode(4);
  w.logic.fillMatrix();
  EXPECT_EQ(w.logic.grid().cell(3, 3), "");
  EXPECT_EQ(w.logic.progress(), 9u);
  EXPECT_EQ(w.logic.progressMaximum(), 9u);
  EXPECT_EQ(w.logic.rowTitle(2), "60,00");
  EXPECT_EQ(w.logic.chartSeries().size(), 3u);
}

TEST(MatrixLogic, ASlicedBuildReportsProgressAndGivesUpWhenAnotherLogOpens) {
  Window w;
  for (int k = 0; k < 50; ++k) w.pass(std::to_string(800 + 100 * k), "20", "1");
  w.chooseAll();
  w.logic.quantTexts() = {"800", "100", "5700", "20", "10", "20"};
  ASSERT_TRUE(w.logic.startBuild());
  EXPECT_TRUE(w.logic.building());
  EXPECT_FALSE(w.logic.startBuild());  // one build at a time
  EXPECT_EQ(w.logic.progressMaximum(), 50u * 1u + 150u);
  EXPECT_FALSE(w.logic.continueBuild(40));
  EXPECT_EQ(w.logic.progress(), 40u);
  while (!w.logic.continueBuild(40)) {
  }
  EXPECT_TRUE(w.logic.built());
  EXPECT_EQ(w.logic.lastSample(), 49u);
  w.logic.fillMatrix();
  const std::string filled = matrixClipboardText(w.logic.grid());

  // A second build is given up when the record list changes under it: the
  // first build stays what the window shows.
  w.logic.selectData("2101/0800 T");
  ASSERT_TRUE(w.logic.startBuild());
  w.logic.continueBuild(10);
  w.state.records.clear();
  EXPECT_TRUE(w.logic.continueBuild(10));
  EXPECT_FALSE(w.logic.building());
  EXPECT_EQ(w.logic.lastSample(), 49u);
  EXPECT_EQ(matrixClipboardText(w.logic.grid()), filled);
}

TEST(MatrixLogic, ALogWithOnePassStillFillsTheMatrix) {
  Window w;
  w.pass("800", "20", "7");
  w.chooseAll();
  // The scans found one value: Step 0,0 would end the build.
  EXPECT_EQ(w.logic.quantTexts().stepX, "0,0");
  w.logic.quantTexts() = {"800", "100", "800", "20", "5", "20"};
  ASSERT_TRUE(w.logic.buildNow());
  EXPECT_EQ(w.logic.lastSample(), 0u);
  EXPECT_TRUE(w.logic.chartSeries().size() == 1);
  w.logic.fillMatrix();
  EXPECT_EQ(w.logic.grid().cell(1, 1), "7,00");
}

}  // namespace
}  // namespace tervolin

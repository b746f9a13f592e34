// Column layout: storing and applying hidden columns and widths per profile
// and log key, the hidden list's pieces, and the column choice window.

#include "table/column_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/registry.h"
#include "common/text.h"
#include "support/test_support.h"
#include "table/column_choice.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 5; ++i)
      state.definitions.push_back({"2101", "P" + std::to_string(i), "u", "0" + std::to_string(i) + "00", "FT", i});
    state.profileCode = "Toyota";
    state.viewMode = ViewMode::Table;
    test::writeFile(dir / "a.log", "abc");
    state.openFileName = dir / "a.log";
    build();
  }

  // The full table, as a rebuild makes it.
  void build() {
    grid.reset();
    grid.setColumnCount(static_cast<int>(state.definitions.size()));
    grid.setRowCount(3);
    grid.setFixedRows(2);
    for (std::size_t i = 0; i < state.definitions.size(); ++i)
      grid.setCell(static_cast<int>(i), 0, headingKey(state.definitions[i]));
  }

  std::vector<std::string> headings() const {
    std::vector<std::string> out;
    for (int c = 0; c < grid.columnCount(); ++c) out.emplace_back(grid.cell(c, 0));
    return out;
  }

  const std::string hideKey = "Software\\Tervolin\\Toyota\\HideCols";
  const std::string widthKey = "Software\\Tervolin\\Toyota\\Col_Width\\891568578";  // CRC of "abc"
  test::TempDir dir;
  AppState state;
  Grid grid;
  MemoryRegistry registry;
  ScriptedChannel channel;
};

TEST(HiddenList, PiecesAndKeys) {
  EXPECT_EQ(hiddenListPieces("2101/00002101/0100", 9), (std::vector<std::string>{"2101/0000", "2101/0100"}));
  // 13 / 9 rounds to 1, 14 / 9 to 2 (the second piece is what is left).
  EXPECT_EQ(hiddenListPieces("2101/00002101", 9), std::vector<std::string>{"2101/0000"});
  EXPECT_EQ(hiddenListPieces("2101/000021010", 9), (std::vector<std::string>{"2101/0000", "21010"}));
  EXPECT_EQ(hiddenListPieces("", 9), std::vector<std::string>{});
  EXPECT_EQ(hiddenListPieces("210102/0000210103/0100", 11),
            (std::vector<std::string>{"210102/0000", "210103/0100"}));
  EXPECT_EQ(headingKey({"21 01", "n", "u", "02 00", "", 0}), "2101/0200");
  AppState six;
  six.requestCodeWidth = 6;
  EXPECT_EQ(headingKeyLength(six), 11u);
  EXPECT_EQ(headingKeyLength(AppState{}), 9u);
}

TEST_F(LayoutTest, HiddenColumnsAndWidthsComeBackAfterARebuild) {
  grid.setColumnWidth(0, 150);
  grid.deleteColumn(3);
  grid.deleteColumn(1);
  grid.setColumnWidth(2, 77);  // P4, now third
  SaveParam(state, registry, grid);
  EXPECT_EQ(state.logKey, "891568578");
  EXPECT_EQ(registry.readString(hideKey, "891568578"), "2101/01002101/0300");
  EXPECT_EQ(registry.readInt(widthKey, "Col[0]"), 150);
  EXPECT_EQ(registry.readInt(widthKey, "Col[2]"), 77);
  EXPECT_FALSE(registry.valueExists(widthKey, "Col[3]"));

  build();
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(headings(), (std::vector<std::string>{"2101/0000", "2101/0200", "2101/0400"}));
  EXPECT_EQ(grid.columnWidth(0), 150);
  EXPECT_EQ(grid.columnWidth(2), 77);
  EXPECT_TRUE(channel.events.empty());

  // Storing the full table replaces the list with an empty one.
  build();
  SaveParam(state, registry, grid);
  EXPECT_EQ(registry.readString(hideKey, "891568578"), "");
}

TEST_F(LayoutTest, StoreActsInTableViewOnlyAndWithoutALogUnderEmptyNames) {
  state.viewMode = ViewMode::Log;
  SaveParam(state, registry, grid);
  EXPECT_FALSE(registry.keyExists(hideKey));

  state.viewMode = ViewMode::Table;
  state.openFileName.clear();
  grid.deleteColumn(0);
  SaveParam(state, registry, grid);
  EXPECT_EQ(state.logKey, "");
  EXPECT_EQ(registry.readString(hideKey, ""), "2101/0000");
  EXPECT_EQ(registry.readInt("Software\\Tervolin\\Toyota\\Col_Width", "Col[0]"), 100);
}

TEST_F(LayoutTest, ApplyingEndsAtAMissingWidthAndSkipsWhatIsNotThere) {
  // No stored layout: nothing changes, nothing is said.
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(grid.columnCount(), 5);
  EXPECT_TRUE(channel.events.empty());

  registry.writeInt(widthKey, "Col[0]", 40);
  registry.writeInt(widthKey, "Col[1]", 41);
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(grid.columnWidth(1), 41);
  EXPECT_EQ(grid.columnWidth(2), 100);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{w("Ошибка чтения реестра: нет значения Col[2]")});

  // A registry that cannot be written: storing does nothing, and no harm.
  MemoryRegistry locked;
  locked.setReadOnly(true);
  SaveParam(state, locked, grid);
  applyColumnLayout(state, locked, channel, grid);
  EXPECT_EQ(grid.columnCount(), 5);
}

TEST_F(LayoutTest, EveryPieceDeletesAtMostOneOfNeighbouringTwins) {
  // Two columns with one heading key side by side: after a deletion the scan
  // goes on past the column that moved into its place.
  grid.setCell(2, 0, "2101/0100");
  registry.writeString(hideKey, "891568578", "2101/0100");
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(headings(), (std::vector<std::string>{"2101/0000", "2101/0100", "2101/0300", "2101/0400"}));
  build();
  grid.setCell(2, 0, "2101/0100");
  registry.writeString(hideKey, "891568578", "2101/01002101/0100");
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(headings(), (std::vector<std::string>{"2101/0000", "2101/0300", "2101/0400"}));
}

TEST_F(LayoutTest, SixDigitProfilesAreCutAtTheirKeyLength) {
  state.profileCode = "Nissan";
  state.requestCodeWidth = 6;
  state.definitions = {{"210102", "A", "u", "0000", "", 0}, {"210103", "B", "u", "0100", "", 1},
                       {"210103", "C", "u", "0200", "", 2}};
  build();
  grid.deleteColumn(2);
  grid.deleteColumn(0);
  SaveParam(state, registry, grid);
  build();
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(headings(), std::vector<std::string>{"210103/0100"});
}

TEST_F(LayoutTest, StandardWidths) {
  grid.setColumnWidth(1, 333);
  standardColumnWidths(grid);
  for (int c = 0; c < grid.columnCount(); ++c) EXPECT_EQ(grid.columnWidth(c), 100);
}

TEST_F(LayoutTest, ColumnChoiceMarksTogglesAndApplies) {
  registry.writeString(hideKey, "891568578", "2101/01002101/0400");
  ColumnChoice choice;
  choice.activate(state, registry);
  ASSERT_EQ(choice.rows().size(), 5u);
  EXPECT_EQ(choice.rows()[0].key, "2101/0000");
  EXPECT_EQ(choice.rows()[0].name, "P0");
  auto marks = [&] {
    std::string out;
    for (const auto& row : choice.rows()) out += row.shown ? 'Y' : 'N';
    return out;
  };
  EXPECT_EQ(marks(), "YNYYN");
  EXPECT_EQ(ColumnChoice::shownText(true), w("Да"));
  EXPECT_EQ(ColumnChoice::shownText(false), w("Нет"));

  choice.toggleSelected();  // nothing selected yet
  EXPECT_EQ(marks(), "YNYYN");
  choice.selectRow(0);  // the heading row is never toggled
  choice.toggleSelected();
  EXPECT_EQ(marks(), "YNYYN");
  choice.selectRow(2);
  choice.toggleSelected();
  EXPECT_EQ(marks(), "YYYYN");
  choice.selectRow(1);
  choice.toggleSelected();
  choice.invert();
  EXPECT_EQ(marks(), "YNNNY");

  choice.apply(state, registry, channel, grid);
  EXPECT_EQ(registry.readString(hideKey, "891568578"), "2101/01002101/02002101/0300");
  EXPECT_EQ(headings(), (std::vector<std::string>{"2101/0000", "2101/0400"}));

  // Un-hiding does not bring a column back into the current grid.
  choice.activate(state, registry);
  choice.selectAll();
  EXPECT_EQ(marks(), "YYYYY");
  choice.apply(state, registry, channel, grid);
  EXPECT_EQ(grid.columnCount(), 2);
  build();
  applyColumnLayout(state, registry, channel, grid);
  EXPECT_EQ(grid.columnCount(), 5);
}

}  // namespace
}  // namespace tervolin

// The Table view against its row rules written out cell by cell, on random
// polling orders over definition tables with shared keys and over-long
// fields; and the LOG view's rows on awkward line ends.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"
#include "table/table_views.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

struct Key {
  std::string code, position;
};

std::vector<std::vector<std::string>> referenceTable(const std::vector<Key>& defs,
                                                     const std::vector<std::pair<Key, std::string>>& records) {
  const std::size_t columns = defs.size();
  std::vector<std::vector<std::string>> rows(3, std::vector<std::string>(columns));
  for (std::size_t i = 0; i < columns; ++i) {
    std::string heading;
    for (const char c : defs[i].code + "/" + defs[i].position)
      if (c != ' ') heading += c;
    rows[0][i] = heading;
    rows[1][i] = "N" + std::to_string(i) + " (u)";
  }
  std::size_t r = 2, p = 0;
  for (const auto& [key, value] : records) {
    // The record carries at most 8 characters of the code and 4 of the position.
    const std::string code = key.code.substr(0, 8), position = key.position.substr(0, 4);
    bool matched = false;
    std::size_t last = 0;
    for (std::size_t i = 0; i < columns; ++i) {
      if (defs[i].code != code || defs[i].position != position) continue;
      if (i < p) {
        ++r;
        rows.emplace_back(columns);
      }
      rows[r][i] = value;
      matched = true;
      last = i;
    }
    if (matched) p = last;
  }
  return rows;
}

TEST(TableConformance, RowsFollowTheColumnOrderOfEachRecord) {
  test::TempDir dir;
  test::writeFile(dir / "formules.ini", "");
  const std::vector<Key> keys = {{"2101", "0000"},       {"2101", "0100"}, {"2102", "0000"},
                                 {"2101", "000000"},     {"210102030", "0000"}, {"21010203", "0000"},
                                 {"2101", "0200"}};
  std::mt19937 rng(11);
  for (int round = 0; round < 150; ++round) {
    std::vector<Key> defs;
    const int count = 1 + static_cast<int>(rng() % 7);
    std::vector<ParamDef> params;
    for (int i = 0; i < count; ++i) {
      defs.push_back(keys[rng() % keys.size()]);
      params.push_back({defs.back().code, "N" + std::to_string(i), "u", defs.back().position, "", i});
    }
    test::writeFile(dir / "pids.ini", definitionFileText(params));
    AppState state;
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.definitionFileName = std::string(kPidsIni);
    std::vector<std::pair<Key, std::string>> records;
    const int polled = static_cast<int>(rng() % 25);
    for (int j = 0; j < polled; ++j) {
      const Key& key = keys[rng() % keys.size()];
      const std::uint32_t source = state.records.addSource({key.code, key.position, "u", "x"});
      records.push_back({key, "v" + std::to_string(j)});
      state.records.append(j + 1, source, records.back().second);
    }
    ScriptedChannel channel;
    Grid grid;
    TablSG(state, channel, grid);
    const auto expected = referenceTable(defs, records);
    ASSERT_EQ(grid.rowCount(), static_cast<int>(expected.size())) << "round " << round;
    ASSERT_EQ(grid.columnCount(), count);
    for (int r = 0; r < grid.rowCount(); ++r)
      for (int c = 0; c < count; ++c)
        ASSERT_EQ(grid.cell(c, r), expected[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
            << "round " << round << " cell " << c << "," << r;
    EXPECT_TRUE(channel.events.empty());
  }
}

TEST(TableConformance, LogViewRowsAreTheReadersLines) {
  test::TempDir dir;
  test::writeFile(dir / "formules.ini", "");
  struct Case {
    std::string file;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"\r\n\r\n \t\r\n", {}},
      {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "d"}},
      {"  TxD 82 10 F1 21 01 A5 \r\n\tRxD x\t y\n", {"TxD 82 10 F1 21 01 A5 ", "RxD x\t y"}},
      {std::string("\x01\x1F a\0b\n", 8), {std::string("a\0b", 3)}},
  };
  for (const Case& k : cases) {
    test::writeFile(dir / "l.log", k.file);
    AppState state;
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    ScriptedChannel channel;
    Grid grid;
    buildLogView(state, channel, dir / "l.log", grid);
    ASSERT_EQ(grid.rowCount(), static_cast<int>(k.lines.size()) + 2) << k.file;
    EXPECT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.cell(0, 0), "Log как он есть"_w);
    EXPECT_EQ(grid.cell(0, 1), "");
    for (std::size_t i = 0; i < k.lines.size(); ++i) EXPECT_EQ(grid.cell(0, static_cast<int>(i) + 2), k.lines[i]);
  }
}

}  // namespace
}  // namespace tervolin

namespace tervolin {
namespace {

// Hundreds of thousands of records placed by several threads at once, in
// runs of blocks, give the grid of the placement in order: random polling
// orders over definitions with shared keys, record lists joined from pieces
// (blocks left short), and a row limit that the rows reach (the placement
// then goes on in order and asks the same questions).
TEST(TableConformance, PlacementAtOnceEqualsPlacementInOrder) {
  test::TempDir dir;
  test::writeFile(dir / "formules.ini", "");
  const std::vector<Key> keys = {{"2101", "0000"}, {"2101", "0100"}, {"2102", "0000"}, {"2101", "0200"},
                                 {"2103", "0000"}, {"2101", "0300"}};
  std::mt19937 rng(5);
  for (int round = 0; round < 6; ++round) {
    std::vector<ParamDef> params;
    const int count = 2 + static_cast<int>(rng() % 8);
    for (int i = 0; i < count; ++i) {
      const Key& k = keys[rng() % keys.size()];
      params.push_back({k.code, "N" + std::to_string(i), "u", k.position, "", i});
    }
    test::writeFile(dir / "pids.ini", definitionFileText(params));
    AppState state;
    state.programDir = dir.path();
    state.workingFolder = dir.path();
    state.definitionFileName = std::string(kPidsIni);
    // Sources in a polling cycle of random length, sometimes out of turn.
    std::vector<std::uint32_t> sources(keys.size());
    const std::size_t parts = 1 + static_cast<std::size_t>(round % 3);
    state.records = state.records.forPart(0, parts);
    for (std::size_t s = 0; s < keys.size(); ++s)
      sources[s] = state.records.addSource({keys[s].code, keys[s].position, "u", "x"});
    const std::size_t total = 150000 + rng() % 100000;
    std::vector<RecordList> pieces;
    for (std::size_t k = 1; k < parts; ++k) pieces.push_back(state.records.forPart(k, parts));
    for (std::size_t j = 0; j < total; ++j) {
      const std::size_t piece = j * parts / total;
      RecordList& into = piece == 0 ? state.records : pieces[piece - 1];
      const std::size_t s = rng() % 7 == 0 ? rng() % keys.size() : j % keys.size();
      into.append(static_cast<std::int32_t>(j / 4), sources[s], "v" + std::to_string(rng() % 300));
    }
    for (RecordList& piece : pieces) state.records.appendPart(std::move(piece), 0);
    for (const int maxRows : {Grid::kMaxRows, static_cast<int>(total / 7)}) {
      ScriptedChannel inOrder, atOnce;
      inOrder.yesNoAnswers = atOnce.yesNoAnswers = {false, false, false, true};
      Grid one, many;
      one.setMaxRows(maxRows);
      many.setMaxRows(maxRows);
      TablSG(state, inOrder, one, noProgress(), {std::size_t(-1)});
      TablSG(state, atOnce, many, noProgress(), {0, 2 + static_cast<std::size_t>(round % 2)});
      ASSERT_EQ(many.rowCount(), one.rowCount()) << "round " << round;
      for (int c = 0; c < count; ++c)
        for (int r = 0; r < one.rowCount(); ++r)
          ASSERT_EQ(many.cell(c, r), one.cell(c, r)) << "round " << round << " cell " << c << "," << r;
      EXPECT_EQ(atOnce.texts(ScriptedChannel::Event::YesNo), inOrder.texts(ScriptedChannel::Event::YesNo));
      EXPECT_EQ(atOnce.texts(ScriptedChannel::Event::Message), inOrder.texts(ScriptedChannel::Event::Message));
    }
  }
}

}  // namespace
}  // namespace tervolin

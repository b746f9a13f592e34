#include "profiles/settings_store.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace tervolin::settings {
namespace {

// Stored values; a missing entry is not written, a string is written where
// an integer belongs when `asString` is set.
struct Stored {
  std::optional<int> autoTabl, tablOnly, graphOnly;
  std::optional<std::string> orvikPath, lastProfile;
  bool tablOnlyAsString = false;
};

MemoryRegistry make(const Stored& s) {
  MemoryRegistry r;
  r.createKey(kSettingsKey);
  if (s.autoTabl) r.writeInt(kSettingsKey, kAutoTabl, *s.autoTabl);
  if (s.tablOnly && s.tablOnlyAsString) r.writeString(kSettingsKey, kTablOnly, std::to_string(*s.tablOnly));
  if (s.tablOnly && !s.tablOnlyAsString) r.writeInt(kSettingsKey, kTablOnly, *s.tablOnly);
  if (s.graphOnly) r.writeInt(kSettingsKey, kGraphOnly, *s.graphOnly);
  if (s.orvikPath) r.writeString(kSettingsKey, kOrvikPath, *s.orvikPath);
  if (s.lastProfile) r.writeString(kSettingsKey, kLastProfile, *s.lastProfile);
  return r;
}

TEST(StartupRead, StopsAtFirstMissingInteger) {
  struct Case {
    Stored stored;
    std::int16_t table, graphs;
    std::string last;
  } cases[] = {
      {{0, 1, 1, {}, "Toyota"}, 1, 1, "Toyota"},
      {{0, {}, 1, {}, "Toyota"}, 0, 0, "before"},       // no TablOnly: nothing read
      {{0, 1, {}, {}, "Toyota"}, 1, 0, "before"},       // no GraphOnly: LastProfile not read
      {{0, 1, 1, {}, {}}, 1, 1, "before"},              // no LastProfile: the old one stays
      {{0, 1, 1, {}, "Toyota", true}, 0, 0, "before"},  // TablOnly stored as text
  };
  for (const Case& c : cases) {
    AppState state;
    state.lastProfile = "before";
    readStartupSettings(make(c.stored), state);
    EXPECT_EQ(state.tableOnly, c.table);
    EXPECT_EQ(state.graphsOnly, c.graphs);
    EXPECT_EQ(state.lastProfile, c.last);
  }
}

TEST(DialogRead, ReadsInOrderAndStopsAtAFailure) {
  struct Case {
    Stored stored;
    SettingsRead result;
    std::int16_t autodetect, table, graphs;
    std::string path;
  } cases[] = {
      {{1, 0, 1, std::string("/opt/Программа/"_w), {}}, SettingsRead::Read, 1, 0, 1, "/opt/Программа/"},
      {{0, 1, 0, {}, {}}, SettingsRead::Read, 0, 1, 0, ""},                  // no path: program folder
      {{1, {}, 1, "/opt/", {}}, SettingsRead::Failed, 1, 0, 0, "/old/"},     // stops at TablOnly
      {{{}, 1, 1, "/opt/", {}}, SettingsRead::Failed, 0, 0, 0, "/old/"},
  };
  for (const Case& c : cases) {
    AppState state;
    state.orvikPath = "/old/";
    EXPECT_EQ(readDialogSettings(make(c.stored), state), c.result);
    EXPECT_EQ(state.tableAutodetect, c.autodetect);
    EXPECT_EQ(state.tableOnly, c.table);
    EXPECT_EQ(state.graphsOnly, c.graphs);
    EXPECT_EQ(state.orvikPath.string(), c.path);
  }
  MemoryRegistry none;
  AppState state;
  state.orvikPath = "/old/";
  EXPECT_EQ(readDialogSettings(none, state), SettingsRead::NoKey);
  EXPECT_EQ(state.orvikPath, "/old/");
}

TEST(Save, WritesTheChoiceAndMirrorsItInTheState) {
  struct Case {
    SettingsChoice choice;
    int graphOnly, autoTabl, tablOnly;
    std::string path;
  } cases[] = {
      {{true, false, false, true}, 0, 0, 1, ""},
      {{false, true, false, false}, 0, 1, 0, "/opt/orvik/"},
      // Graphs only on a fresh key: the never-stored flags come from the boxes.
      {{true, true, true, false}, 1, 1, 1, "/opt/orvik/"},
  };
  for (const Case& c : cases) {
    MemoryRegistry r = make({{}, {}, {}, "/opt/orvik/", {}});
    AppState state;
    state.orvikPath = "/opt/orvik/";
    ASSERT_TRUE(saveSettings(r, state, c.choice));
    EXPECT_EQ(r.readInt(kSettingsKey, kGraphOnly), c.graphOnly);
    EXPECT_EQ(r.readInt(kSettingsKey, kAutoTabl), c.autoTabl);
    EXPECT_EQ(r.readInt(kSettingsKey, kTablOnly), c.tablOnly);
    EXPECT_EQ((std::tuple{state.graphsOnly, state.tableAutodetect, state.tableOnly}),
              (std::tuple<std::int16_t, std::int16_t, std::int16_t>{c.graphOnly, c.autoTabl, c.tablOnly}));
    EXPECT_EQ(r.readString(kSettingsKey, kOrvikPath), c.path);
    EXPECT_EQ(state.orvikPath.string(), c.path);
  }
}

TEST(Save, GraphsOnlyKeepsStoredTableFlagsAndEverythingStaysReadable) {
  MemoryRegistry r = make({1, 1, {}, {}, {}});
  AppState state;
  ASSERT_TRUE(saveSettings(r, state, {false, false, true, true}));
  EXPECT_EQ(r.readInt(kSettingsKey, kTablOnly), 1);
  EXPECT_EQ(r.readInt(kSettingsKey, kAutoTabl), 1);
  AppState next;
  readStartupSettings(r, next);
  EXPECT_EQ(next.graphsOnly, 1);
  EXPECT_EQ(readDialogSettings(r, next), SettingsRead::Read);
}

TEST(Save, WriteFailureIsReportedAndStateUntouched) {
  MemoryRegistry r;
  r.setReadOnly(true);
  AppState state;
  state.orvikPath = "/opt/orvik/";
  EXPECT_FALSE(saveSettings(r, state, {true, true, false, true}));
  EXPECT_EQ(state.orvikPath, "/opt/orvik/");
  EXPECT_EQ(state.tableOnly, 0);
  EXPECT_FALSE(storeLastProfile(r, "Toyota"));
}

TEST(Clean, DeletesExactlyTheListedSubkeys) {
  MemoryRegistry r;
  cleanStoredGraphSettings(r);  // nothing there: nothing happens
  EXPECT_FALSE(r.keyExists(kSettingsKey));
  const std::vector<std::string> wiped = {"crc_databases", "GreatWall", "Toyota", "Nissan",
                                          "Hyndai", "OBDII", "Chery"};
  const std::vector<std::string> kept = {"graph_colors", "B797", "Hyndai2", "megane"};
  for (const auto& k : wiped) r.writeInt(settingsKey(k, kColWidth), "x", 1);
  for (const auto& k : kept) r.writeInt(settingsKey(k, kColWidth), "x", 1);
  cleanStoredGraphSettings(r);
  for (const auto& k : wiped) EXPECT_FALSE(r.keyExists(settingsKey(k))) << k;
  for (const auto& k : kept) EXPECT_TRUE(r.keyExists(settingsKey(k, kColWidth))) << k;
}

TEST(Paths, PickedFileFolderAndStoredText) {
  EXPECT_EQ(folderWithSeparator("/opt/orvik/orvik.exe").string(), "/opt/orvik/");
  EXPECT_EQ(folderWithSeparator("orvik.exe").string(), "");
  MemoryRegistry r;
  ASSERT_TRUE(storeOrvikPath(r, "/home/Иван/"));
  EXPECT_EQ(*r.readString(kSettingsKey, kOrvikPath), "/home/Иван/"_w);
}

}  // namespace
}  // namespace tervolin::settings

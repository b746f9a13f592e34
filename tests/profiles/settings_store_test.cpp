#include "profiles/settings_store.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace tervolin::settings {
namespace {

// Start-up reads TablOnly, GraphOnly, LastProfile and stops at the first
// missing integer.
struct StartupCase {
  const char* what;
  std::optional<int> tablOnly, graphOnly;
  std::optional<std::string> lastProfile;
  std::int16_t wantTable, wantGraphs;
  std::string wantLast;
};

class StartupRead : public ::testing::TestWithParam<StartupCase> {};

TEST_P(StartupRead, StopsAtFirstMissingInteger) {
  const StartupCase& c = GetParam();
  MemoryRegistry registry;
  registry.createKey(kSettingsKey);
  if (c.tablOnly) registry.writeInt(kSettingsKey, kTablOnly, *c.tablOnly);
  if (c.graphOnly) registry.writeInt(kSettingsKey, kGraphOnly, *c.graphOnly);
  if (c.lastProfile) registry.writeString(kSettingsKey, kLastProfile, *c.lastProfile);
  AppState state;
  state.lastProfile = "before";
  readStartupSettings(registry, state);
  EXPECT_EQ(state.tableOnly, c.wantTable) << c.what;
  EXPECT_EQ(state.graphsOnly, c.wantGraphs) << c.what;
  EXPECT_EQ(state.lastProfile, c.wantLast) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupRead,
    ::testing::Values(StartupCase{"all present", 1, 1, "Toyota", 1, 1, "Toyota"},
                      StartupCase{"no TablOnly stops at once", std::nullopt, 1, "Toyota", 0, 0, "before"},
                      StartupCase{"no GraphOnly keeps TablOnly", 1, std::nullopt, "Toyota", 1, 0, "before"},
                      StartupCase{"no LastProfile keeps the old one", 0, 1, std::nullopt, 0, 1, "before"},
                      StartupCase{"nothing stored", std::nullopt, std::nullopt, std::nullopt, 0, 0, "before"}));

TEST(StartupRead, StringWhereIntegerExpectedEndsTheReading) {
  MemoryRegistry registry;
  registry.writeString(kSettingsKey, kTablOnly, "1");
  registry.writeInt(kSettingsKey, kGraphOnly, 1);
  AppState state;
  readStartupSettings(registry, state);
  EXPECT_EQ(state.tableOnly, 0);
  EXPECT_EQ(state.graphsOnly, 0);
}

TEST(DialogRead, MissingKeyLeavesStateAlone) {
  MemoryRegistry registry;
  AppState state;
  state.orvikPath = "/opt/orvik/";
  state.tableOnly = 1;
  EXPECT_EQ(readDialogSettings(registry, state), SettingsRead::NoKey);
  EXPECT_EQ(state.orvikPath, "/opt/orvik/");
  EXPECT_EQ(state.tableOnly, 1);
}

TEST(DialogRead, ReadsAllFourValues) {
  MemoryRegistry registry;
  registry.writeInt(kSettingsKey, kAutoTabl, 1);
  registry.writeInt(kSettingsKey, kTablOnly, 0);
  registry.writeInt(kSettingsKey, kGraphOnly, 1);
  registry.writeString(kSettingsKey, kOrvikPath, "/opt/Программа/"_w);
  AppState state;
  state.tableOnly = 1;
  ASSERT_EQ(readDialogSettings(registry, state), SettingsRead::Read);
  EXPECT_EQ(state.tableAutodetect, 1);
  EXPECT_EQ(state.tableOnly, 0);
  EXPECT_EQ(state.graphsOnly, 1);
  // The stored Windows-1251 text becomes a UTF-8 file-system path.
  EXPECT_EQ(state.orvikPath.string(), "/opt/Программа/");
}

TEST(DialogRead, MissingPathMeansProgramFolder) {
  MemoryRegistry registry;
  for (auto name : {kAutoTabl, kTablOnly, kGraphOnly}) registry.writeInt(kSettingsKey, name, 0);
  AppState state;
  state.orvikPath = "/old/";
  EXPECT_EQ(readDialogSettings(registry, state), SettingsRead::Read);
  EXPECT_TRUE(state.orvikPath.empty());
}

TEST(DialogRead, MissingIntegerFailsAfterTheValuesBeforeIt) {
  // AutoTabl is read, TablOnly is missing: GraphOnly and the path are skipped.
  MemoryRegistry registry;
  registry.writeInt(kSettingsKey, kAutoTabl, 1);
  registry.writeInt(kSettingsKey, kGraphOnly, 1);
  registry.writeString(kSettingsKey, kOrvikPath, "/opt/orvik/");
  AppState state;
  EXPECT_EQ(readDialogSettings(registry, state), SettingsRead::Failed);
  EXPECT_EQ(state.tableAutodetect, 1);
  EXPECT_EQ(state.graphsOnly, 0);
  EXPECT_TRUE(state.orvikPath.empty());
}

TEST(DialogRead, IntegerPathIsAReadError) {
  MemoryRegistry registry;
  for (auto name : {kAutoTabl, kTablOnly, kGraphOnly}) registry.writeInt(kSettingsKey, name, 0);
  registry.writeInt(kSettingsKey, kOrvikPath, 5);
  AppState state;
  EXPECT_EQ(readDialogSettings(registry, state), SettingsRead::Failed);
}

// Save: which values end up stored, and the state mirrors them.
struct SaveCase {
  const char* what;
  SettingsChoice choice;
  int graphOnly, autoTabl, tablOnly;
  bool pathCleared;
};

class Save : public ::testing::TestWithParam<SaveCase> {};

TEST_P(Save, WritesTheChoice) {
  const SaveCase& c = GetParam();
  MemoryRegistry registry;
  registry.writeString(kSettingsKey, kOrvikPath, "/opt/orvik/");
  AppState state;
  state.orvikPath = "/opt/orvik/";
  ASSERT_TRUE(saveSettings(registry, state, c.choice)) << c.what;
  EXPECT_EQ(registry.readInt(kSettingsKey, kGraphOnly), c.graphOnly) << c.what;
  EXPECT_EQ(registry.readInt(kSettingsKey, kAutoTabl), c.autoTabl) << c.what;
  EXPECT_EQ(registry.readInt(kSettingsKey, kTablOnly), c.tablOnly) << c.what;
  EXPECT_EQ(state.graphsOnly, c.graphOnly);
  EXPECT_EQ(state.tableAutodetect, c.autoTabl);
  EXPECT_EQ(state.tableOnly, c.tablOnly);
  EXPECT_EQ(*registry.readString(kSettingsKey, kOrvikPath), c.pathCleared ? "" : "/opt/orvik/");
  EXPECT_EQ(state.orvikPath.empty(), c.pathCleared);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Save,
    ::testing::Values(SaveCase{"table only, local folder", {true, false, false, true}, 0, 0, 1, true},
                      SaveCase{"autodetect, own path", {false, true, false, false}, 0, 1, 0, false},
                      // TablOnly and AutoTabl were never stored: written from the boxes.
                      SaveCase{"graphs only on a fresh key", {true, true, true, false}, 1, 1, 1, false}));

TEST(Save, GraphsOnlyKeepsStoredTableFlags) {
  MemoryRegistry registry;
  registry.writeInt(kSettingsKey, kTablOnly, 1);
  registry.writeInt(kSettingsKey, kAutoTabl, 1);
  AppState state;
  ASSERT_TRUE(saveSettings(registry, state, {false, false, true, true}));
  EXPECT_EQ(registry.readInt(kSettingsKey, kTablOnly), 1);
  EXPECT_EQ(registry.readInt(kSettingsKey, kAutoTabl), 1);
  EXPECT_EQ(state.graphsOnly, 1);
  // The next start-up reads everything again.
  AppState next;
  readStartupSettings(registry, next);
  EXPECT_EQ(next.graphsOnly, 1);
  EXPECT_EQ(readDialogSettings(registry, next), SettingsRead::Read);
}

TEST(Save, WriteFailureIsReportedAndStateUntouched) {
  MemoryRegistry registry;
  registry.setReadOnly(true);
  AppState state;
  state.orvikPath = "/opt/orvik/";
  EXPECT_FALSE(saveSettings(registry, state, {true, true, false, true}));
  EXPECT_FALSE(registry.keyExists(kSettingsKey));
  EXPECT_EQ(state.orvikPath, "/opt/orvik/");
  EXPECT_EQ(state.tableOnly, 0);
}

TEST(Clean, DeletesExactlyTheListedSubkeys) {
  MemoryRegistry registry;
  const std::vector<std::string> wiped = {"crc_databases", "GreatWall", "Toyota", "Nissan",
                                          "Hyndai", "OBDII", "Chery"};
  const std::vector<std::string> kept = {"graph_colors", "B797", "Hyndai2", "megane"};
  for (const auto& k : wiped) registry.writeInt(settingsKey(k, kColWidth), "x", 1);
  for (const auto& k : kept) registry.writeInt(settingsKey(k, kColWidth), "x", 1);
  registry.writeInt(kSettingsKey, kTablOnly, 1);
  cleanStoredGraphSettings(registry);
  for (const auto& k : wiped) EXPECT_FALSE(registry.keyExists(settingsKey(k))) << k;
  for (const auto& k : kept) EXPECT_TRUE(registry.keyExists(settingsKey(k, kColWidth))) << k;
  EXPECT_EQ(registry.readInt(kSettingsKey, kTablOnly), 1);
}

TEST(Clean, FreshStoreStaysEmpty) {
  MemoryRegistry registry;
  cleanStoredGraphSettings(registry);
  EXPECT_FALSE(registry.keyExists(kSettingsKey));
}

TEST(Paths, FolderOfPickedFileEndsWithSeparator) {
  EXPECT_EQ(folderWithSeparator("/opt/orvik/orvik.exe").string(), "/opt/orvik/");
  EXPECT_EQ(folderWithSeparator("orvik.exe").string(), "");
  EXPECT_EQ(pathFromSetting(pathToSetting("/home/Иван/orvik/")).string(), "/home/Иван/orvik/");
}

TEST(Paths, OrvikPathStoredAndLastProfile) {
  MemoryRegistry registry;
  ASSERT_TRUE(storeOrvikPath(registry, "/home/Иван/"));
  EXPECT_EQ(*registry.readString(kSettingsKey, kOrvikPath), "/home/Иван/"_w);
  ASSERT_TRUE(storeLastProfile(registry, "Hyndai2"));
  AppState state;
  readOrvikPath(registry, state);
  EXPECT_EQ(state.orvikPath, "/home/Иван/");
  registry.setReadOnly(true);
  EXPECT_FALSE(storeLastProfile(registry, "Toyota"));
  EXPECT_EQ(*registry.readString(kSettingsKey, kLastProfile), "Hyndai2");
}

}  // namespace
}  // namespace tervolin::settings

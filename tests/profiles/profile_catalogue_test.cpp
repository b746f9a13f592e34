#include "profiles/profile_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

namespace fs = std::filesystem;

TEST(ProfileCatalogue, TreeNodesCodesAndDepthsInDisplayOrder) {
  struct Node {
    std::string_view text;
    std::string_view code;
    int depth;
  };
  const std::vector<Node> expected = {
      {"Тойота"_w, "Toyota", 0},
      {"Ниссан"_w, "Nissan", 0},
      {"Hyndai", "Hyndai", 0},
      {"G4EE", "Hyndai2", 1},
      {"G4EC", "Hyndai", 1},
      {"OBDII", "OBDII", 0},
      {"China", "", 0},
      {"MT20U", "Chery", 1},
      {"MT20U2", "GreatWall", 1},
      {"ВАЗ/ГАЗ/УАЗ"_w, "", 0},
      {"ВАЗ"_w, "", 1},
      {"Январь5, VS5, Bosch 1.5.4, Январь 7.2(+)"_w, "", 2},
      {"Россия 83"_w, "B154R", 3},
      {"Евро 2"_w, "B154E2", 3},
      {"Bosch 7.9.7(+), M73", "B797", 2},
      {"Bosch ME17.9.7, M74, M75", "B1797V", 2},
      {"Bosch MP7.0 euro2", "MP7E2", 2},
      {"Bosch MP7.0 euro3", "MP7E3", 2},
      {"Гранта"_w, "M74CAN", 2},
      {"Largus", "largus", 2},
      {"ГАЗ/УАЗ"_w, "", 1},
      {"Bosch ME17.9.7", "B1797G", 2},
      {"Микас11(Евро2)"_w, "M11E2", 2},
      {"Микас11(Евро3)"_w, "M11E3", 2},
      {"Микас 10.3"_w, "M103E2", 2},
      {"Микас 10.3+"_w, "M103E3", 2},
      {"Микас 7.6"_w, "M76", 2},
      {"Микас 12.3(Евро4)"_w, "M11E3", 2},
      {"Renault", "", 0},
      {"Megane(II)/Clio(II)/Scenic", "megane", 1},
      {"Logan", "logan", 1},
  };
  const auto tree = profileTree();
  ASSERT_EQ(tree.size(), expected.size());
  for (std::size_t i = 0; i < tree.size(); ++i) {
    SCOPED_TRACE(cp1251ToUtf8(expected[i].text));
    EXPECT_EQ(tree[i].text, expected[i].text);
    EXPECT_EQ(tree[i].code, expected[i].code);
    EXPECT_EQ(tree[i].depth, expected[i].depth);
  }
}

TEST(ProfileCatalogue, TheTwentyThreeCodesCompareExactly) {
  const std::vector<std::string_view> codes = {
      "Chery", "GreatWall", "B154R", "B154E2", "B797",  "B1797V", "B1797G", "M74CAN",
      "Toyota", "Hyndai",   "Hyndai2", "Nissan", "OBDII", "M11E2", "M11E3",  "M103E2",
      "M103E3", "M76",      "MP7E2", "MP7E3",  "megane", "largus", "logan"};
  const auto known = profileCodes();
  EXPECT_EQ(std::set<std::string_view>(known.begin(), known.end()),
            std::set<std::string_view>(codes.begin(), codes.end()));
  EXPECT_EQ(known.size(), 23u);
  for (std::string_view c : codes) EXPECT_TRUE(isProfileCode(c)) << c;
  for (std::string_view c : {"toyota", "MEGANE", "", "Hyndai3", "B797 ", "OBD"})
    EXPECT_FALSE(isProfileCode(c)) << c;
}

TEST(ProfileCatalogue, SwitchesOfEveryCode) {
  const std::set<std::string_view> lengthByte = {"Chery", "GreatWall", "B154R", "B154E2", "B797",
                                                 "B1797V", "B1797G", "M11E2", "M11E3", "M103E2"};
  const std::set<std::string_view> inverted = {"Hyndai", "Hyndai2", "B154R", "B154E2", "M11E3", "M11E2"};
  const std::set<std::string_view> sixDigits = {"Nissan", "M74CAN"};
  const std::set<std::string_view> noSelection = {"B797", "B1797V", "M74CAN", "B1797G", "Hyndai", "Hyndai2"};
  for (std::string_view code : profileCodes()) {
    SCOPED_TRACE(std::string(code));
    const ProfileSwitches s = switchesFor(code);
    EXPECT_EQ(s.lengthOffset, lengthByte.count(code) ? 3 : 0);
    EXPECT_EQ(s.byteOrderInversion, inverted.count(code) == 1);
    EXPECT_EQ(s.requestCodeWidth, sixDigits.count(code) ? 6 : 4);
    EXPECT_EQ(s.skipsUsedParameterSelection, noSelection.count(code) == 1);
  }
}

TEST(ProfileCatalogue, OnlyTheSelectionSkipComparesInUpperCase) {
  struct Case {
    std::string_view code;
    bool skips;
    int lengthOffset;
    bool inverted;
    int width;
  };
  const std::vector<Case> cases = {
      {"hyndai", true, 0, false, 4},   {"HYNDAI2", true, 0, false, 4}, {"b797", true, 0, false, 4},
      {"m74can", true, 0, false, 4},   {"nissan", false, 0, false, 4}, {"", false, 0, false, 4},
      {"Unknown", false, 0, false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code));
    const ProfileSwitches s = switchesFor(c.code);
    EXPECT_EQ(s.skipsUsedParameterSelection, c.skips);
    EXPECT_EQ(s.lengthOffset, c.lengthOffset);
    EXPECT_EQ(s.byteOrderInversion, c.inverted);
    EXPECT_EQ(s.requestCodeWidth, c.width);
  }
}

TEST(ProfileCatalogue, ApplyingSwitchesOverwritesThePreviousProfile) {
  AppState state;
  state.profileCode = "B154R";
  applyProfileSwitches(state);
  EXPECT_EQ(state.lengthOffset, 3);
  EXPECT_TRUE(state.byteOrderInversion);
  EXPECT_EQ(state.requestCodeWidth, 4);
  state.profileCode = "Nissan";
  applyProfileSwitches(state);
  EXPECT_EQ(state.lengthOffset, 0);
  EXPECT_FALSE(state.byteOrderInversion);
  EXPECT_EQ(state.requestCodeWidth, 6);
}

TEST(ProfileCatalogue, DefinitionPathOfAProfile) {
  test::TempDir dir, other;
  test::writeFile(other / "PIDS" / "toyota" / "POWERTRAIN" / "Pids.ini", "x");
  test::writeFile(dir / "pids" / "Hyndai" / "Powertrain2" / "pids.ini", "x");
  test::writeFile(dir / "pids" / "Hyndai" / "Powertrain" / "pids.ini", "x");
  struct Case {
    std::string_view code;
    fs::path base;
    fs::path expected;
  };
  const std::vector<Case> cases = {
      {"Toyota", other.path(), other / "PIDS" / "toyota" / "POWERTRAIN" / "Pids.ini"},  // case ignored
      {"Hyndai2", dir.path(), dir / "pids" / "Hyndai" / "Powertrain2" / "pids.ini"},
      {"Hyndai", dir.path(), dir / "pids" / "Hyndai" / "Powertrain" / "pids.ini"},
      {"M76", dir.path(), dir / "pids" / "M76" / "powertrain" / "pids.ini"},  // missing: the ordinary form
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code));
    EXPECT_EQ(profileDefinitionPath(c.base, c.code), c.expected);
  }
}

// Every code's readable name: its first node in the tree with the groups
// above it.
TEST(ProfileCatalogue, TreePathOfEveryCode) {
  const std::pair<std::string_view, std::string_view> names[] = {
      {"Toyota", "Тойота"},
      {"Nissan", "Ниссан"},
      {"Hyndai", "Hyndai"},
      {"Hyndai2", "Hyndai › G4EE"},
      {"OBDII", "OBDII"},
      {"Chery", "China › MT20U"},
      {"GreatWall", "China › MT20U2"},
      {"B154R", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Январь5, VS5, Bosch 1.5.4, Январь 7.2(+) › Россия 83"},
      {"B154E2", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Январь5, VS5, Bosch 1.5.4, Январь 7.2(+) › Евро 2"},
      {"B797", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Bosch 7.9.7(+), M73"},
      {"B1797V", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Bosch ME17.9.7, M74, M75"},
      {"MP7E2", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Bosch MP7.0 euro2"},
      {"MP7E3", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Bosch MP7.0 euro3"},
      {"M74CAN", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Гранта"},
      {"largus", "ВАЗ/ГАЗ/УАЗ › ВАЗ › Largus"},
      {"B1797G", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Bosch ME17.9.7"},
      {"M11E2", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Микас11(Евро2)"},
      {"M11E3", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Микас11(Евро3)"},  // the first of its two nodes
      {"M103E2", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Микас 10.3"},
      {"M103E3", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Микас 10.3+"},
      {"M76", "ВАЗ/ГАЗ/УАЗ › ГАЗ/УАЗ › Микас 7.6"},
      {"megane", "Renault › Megane(II)/Clio(II)/Scenic"},
      {"logan", "Renault › Logan"},
  };
  ASSERT_EQ(std::size(names), profileCodes().size());
  for (const auto& [code, name] : names) EXPECT_EQ(cp1251ToUtf8(profileTreePath(code)), name) << code;
  for (std::string_view notCode : {"", "toyota", "China", "NOSUCH"}) EXPECT_EQ(profileTreePath(notCode), "") << notCode;
}

}  // namespace
}  // namespace tervolin

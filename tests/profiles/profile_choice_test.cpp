#include "profiles/profile_choice.h"

#include <gtest/gtest.h>

#include "common/paths.h"
#include "common/text.h"
#include "profiles/profile_catalogue.h"
#include "profiles/settings_store.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;

std::optional<std::size_t> nodeIndex(std::string_view text) {
  const auto tree = profileTree();
  for (std::size_t i = 0; i < tree.size(); ++i)
    if (tree[i].text == text) return i;
  ADD_FAILURE() << "no tree node " << cp1251ToUtf8(text);
  return std::nullopt;
}

class ProfileChoiceTest : public ::testing::Test {
 protected:
  ProfileChoiceTest() {
    state.programDir = program.path();
    state.orvikPath = orvik.path() / "";
  }
  void addDefinitionFile(std::string_view relative) {
    const auto file = orvik / relative;
    std::filesystem::create_directories(file.parent_path());
    test::writeFile(file, "[1]\n");
  }
  std::string lastProfile() const {
    return registry.readString(kSettingsKey, settings::kLastProfile).value_or("<none>");
  }

  test::TempDir program, orvik;
  AppState state;
  MemoryRegistry registry;
  ScriptedChannel channel;
  ProfileChoice choice{state, registry, channel};
};

// Choosing a node: code, label, working folder.
struct ChooseCase {
  std::string_view before;  // profile code before the choice
  std::string_view node;
  std::string_view code;    // code after the choice
};

TEST_F(ProfileChoiceTest, ChooseSetsCodeLabelAndFolder) {
  const ChooseCase cases[] = {
      {"", "Тойота"_w, "Toyota"},
      {"Toyota", "China", "Toyota"},  // a group keeps the code
      {"", "Микас 12.3(Евро4)"_w, "M11E3"},
      {"", "G4EE", "Hyndai2"},
      {"B797", "Logan", "logan"},
  };
  for (const ChooseCase& c : cases) {
    state.profileCode = std::string(c.before);
    choice.activate();
    ASSERT_TRUE(choice.choose(nodeIndex(c.node)));
    EXPECT_EQ(state.profileCode, c.code);
    EXPECT_EQ(choice.label(), std::string("Вами выбран протокол "_w) + std::string(c.node));
    EXPECT_EQ(state.workingFolder, program.path() / std::string(c.code) / "");
    EXPECT_TRUE(choice.chosen());
  }
  EXPECT_TRUE(channel.events.empty());
  // Nothing selected: the choice stays as it was.
  EXPECT_FALSE(choice.choose(std::nullopt));
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message),
            std::vector<std::string>{std::string("Вы должны сделать выбор!!!"_w)});
  EXPECT_EQ(state.profileCode, "logan");
}

TEST_F(ProfileChoiceTest, ConfirmWithoutValidCodeStays) {
  for (std::string_view code : {"", "toyota", "China"}) {
    state.profileCode = std::string(code);
    EXPECT_FALSE(choice.confirm({}));
  }
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message).size(), 3u);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::Message)[0], "Сделайте выбор!"_w);
  EXPECT_EQ(lastProfile(), "<none>");
}

TEST_F(ProfileChoiceTest, HyndaiSecondVariantChecksPowertrain2) {
  addDefinitionFile("pids/Hyndai/powertrain/pids.ini");
  choice.choose(nodeIndex("G4EE"));
  EXPECT_THROW(choice.confirm({}), ProgramEnds);  // only powertrain\ exists
  addDefinitionFile("pids/Hyndai/powertrain2/pids.ini");
  EXPECT_TRUE(choice.confirm({}));
  EXPECT_EQ(lastProfile(), "Hyndai2");
}

TEST_F(ProfileChoiceTest, MissingFileNoEndsTheProgram) {
  choice.choose(nodeIndex("OBDII"));
  channel.yesNoAnswers = {false};
  EXPECT_THROW(choice.confirm({}), ProgramEnds);
  const auto questions = channel.texts(ScriptedChannel::Event::YesNo);
  ASSERT_EQ(questions.size(), 1u);
  const std::string path = pathText(orvik.path() / "pids/OBDII/powertrain/pids.ini");
  EXPECT_EQ(questions[0], std::string("Профиль "_w) + path +
                              std::string(" недоступен! Укажите путь к программе Orvik"_w));
  EXPECT_EQ(lastProfile(), "<none>");
}

TEST_F(ProfileChoiceTest, MissingFileYesShowsSettingsUntilFound) {
  test::TempDir realOrvik;
  std::filesystem::create_directories(realOrvik / "PIDS/obdii/powertrain");
  test::writeFile(realOrvik / "PIDS/obdii/powertrain/PIDS.INI", "x");
  choice.choose(nodeIndex("OBDII"));
  channel.yesNoAnswers = {true, true};
  int shown = 0;
  // The first showing changes nothing, the second points at the real folder.
  EXPECT_TRUE(choice.confirm([&] {
    if (++shown == 2) state.orvikPath = realOrvik.path() / "";
  }));
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::YesNo).size(), 2u);
  EXPECT_EQ(lastProfile(), "OBDII");
}

TEST_F(ProfileChoiceTest, EmptyExternalPathUsesProgramFolder) {
  state.orvikPath.clear();
  std::filesystem::create_directories(program / "pids/Nissan/powertrain");
  test::writeFile(program / "pids/Nissan/powertrain/pids.ini", "x");
  choice.choose(nodeIndex("Ниссан"_w));
  EXPECT_TRUE(choice.confirm([] { FAIL() << "settings shown"; }));
  EXPECT_EQ(lastProfile(), "Nissan");
}

TEST_F(ProfileChoiceTest, ConfirmKnownProfileWithoutChoiceSkipsTheCheck) {
  state.profileCode = "B797";
  choice.activate();
  EXPECT_TRUE(choice.confirm([] { FAIL() << "settings shown"; }));
  EXPECT_EQ(state.workingFolder, program.path() / "B797" / "");
  EXPECT_EQ(lastProfile(), "B797");
  EXPECT_TRUE(channel.events.empty());
}

// OK takes the highlighted node when it names another profile; otherwise it
// confirms what is current, as before.
TEST_F(ProfileChoiceTest, OkChoosesTheHighlightedProfileFirst) {
  addDefinitionFile("pids/Nissan/powertrain/pids.ini");
  const struct {
    std::string_view highlighted;  // empty: nothing highlighted
    std::string_view code;         // profile code after OK
    bool chosen;                   // the node was chosen (label changed, file checked)
  } cases[] = {
      {"Ниссан"_w, "Nissan", true},
      {"Тойота"_w, "Toyota", false},  // the current profile: no new choice, no file check
      {"China", "Toyota", false},      // a group
      {"", "Toyota", false},
  };
  for (const auto& c : cases) {
    state.profileCode = "Toyota";
    choice.activate();
    const auto node = c.highlighted.empty() ? std::nullopt : nodeIndex(c.highlighted);
    EXPECT_TRUE(choice.confirmHighlighted(node, [] { FAIL() << "settings shown"; })) << c.highlighted;
    EXPECT_EQ(state.profileCode, c.code);
    EXPECT_EQ(choice.chosen(), c.chosen);
    EXPECT_EQ(lastProfile(), c.code);
    EXPECT_EQ(state.workingFolder, program.path() / std::string(c.code) / "");
    if (c.chosen) {
      EXPECT_EQ(choice.label(), std::string("Вами выбран протокол "_w) + std::string(c.highlighted));
    }
  }
  EXPECT_TRUE(channel.events.empty());
  // A highlighted profile whose definition file is missing gets the warning.
  choice.activate();
  channel.yesNoAnswers = {false};
  EXPECT_THROW(choice.confirmHighlighted(nodeIndex("OBDII"), {}), ProgramEnds);
  EXPECT_EQ(channel.texts(ScriptedChannel::Event::YesNo).size(), 1u);
}

}  // namespace
}  // namespace tervolin

// The program's messages: long texts cut, repeated ones capped per command.

#include "common/message_cap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

using test::ScriptedChannel;
using Event = ScriptedChannel::Event;

TEST(CutMessage, KeepsThreeHundredCharactersOfEveryLineAndMarksTheCut) {
  const std::string exact(300, 'a');
  const std::string ellipsis("…"_w);
  EXPECT_EQ(cutMessage(exact), exact);
  EXPECT_EQ(cutMessage(exact + "b"), exact + ellipsis);
  EXPECT_EQ(cutMessage(std::string(2 << 20, 'c')).size(), 301u);
  EXPECT_EQ(cutMessage(""), "");
  EXPECT_EQ(cutMessage("short\n" + exact + "bb\n\nend\n"), "short\n" + exact + ellipsis + "\n\nend\n");
}

std::string numbered(std::string_view prefix, int i) { return std::string(prefix) + std::to_string(i); }

TEST(MessageCap, TenOfAKindThenOneQuestionForTheRest) {
  struct Case {
    bool showRest;
    std::size_t messages;  // boxes shown in all
  };
  for (const Case& c : {Case{true, 10 + 3 + 15}, Case{false, 10 + 3}}) {
    ScriptedChannel boxes;
    boxes.yesNoAnswers = {c.showRest};
    MessageCap cap(boxes);
    {
      const CommandScope command(cap);
      for (int i = 0; i < 25; ++i) {
        cap.similarMessage("bad line", numbered("line ", i));
        if (i < 3) cap.similarMessage("decode failure", numbered("decode ", i));
      }
      // Only the end of the command asks.
      EXPECT_TRUE(boxes.texts(Event::YesNo).empty());
    }
    EXPECT_EQ(boxes.texts(Event::YesNo),
              std::vector<std::string>{std::string("Ещё 15 похожих сообщений. Показывать их?"_w)});
    const auto shown = boxes.texts(Event::Message);
    ASSERT_EQ(shown.size(), c.messages);
    EXPECT_EQ(shown[9], "line 6");  // the first ten of the kind, the other kind among them
    if (c.showRest) {
      EXPECT_EQ(shown[13], "line 10");
      EXPECT_EQ(shown.back(), "line 24");
    }
  }
}

TEST(MessageCap, EveryCommandCountsAfreshAndNestedCommandsCountAsOne) {
  ScriptedChannel boxes;
  MessageCap cap(boxes);
  for (int round = 0; round < 2; ++round) {
    const CommandScope outer(cap);
    for (int i = 0; i < 6; ++i) {
      const CommandScope inner(cap);
      cap.similarMessage("kind", "m");
      cap.similarMessage("kind", "m");
    }
  }
  // 12 per command: 10 shown and one question, twice.
  EXPECT_EQ(boxes.texts(Event::Message).size(), 20u);
  EXPECT_EQ(boxes.texts(Event::YesNo).size(), 2u);
}

TEST(MessageCap, OutsideACommandEveryMessageShowsCut) {
  ScriptedChannel boxes;
  MessageCap cap(boxes);
  const std::string longText(500, 'x');
  for (int i = 0; i < 15; ++i) cap.similarMessage("kind", longText);
  cap.message(longText);
  boxes.yesNoAnswers = {true};
  EXPECT_TRUE(cap.yesNo(longText));
  EXPECT_TRUE(cap.okBox(longText));
  ASSERT_EQ(boxes.events.size(), 18u);
  for (const Event& e : boxes.events) EXPECT_EQ(e.text, cutMessage(longText));
}

TEST(MessageCap, ACommandEndedByAnExceptionDropsWhatItHeldBack) {
  ScriptedChannel boxes;
  MessageCap cap(boxes);
  try {
    const CommandScope command(cap);
    for (int i = 0; i < 12; ++i) cap.similarMessage("kind", "m");
    throw ProgramEnds();
  } catch (const ProgramEnds&) {
  }
  EXPECT_EQ(boxes.texts(Event::Message).size(), 10u);
  EXPECT_TRUE(boxes.texts(Event::YesNo).empty());
}

}  // namespace
}  // namespace tervolin

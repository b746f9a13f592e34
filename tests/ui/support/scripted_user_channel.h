#pragma once
// A UserChannel for window tests: records every text (converted to QString)
// and answers questions from a script, without showing any box.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "common/user_channel.h"
#include "qt/qt_text.h"

namespace tervolin::test {

class ScriptedUserChannel : public UserChannel {
 public:
  void message(std::string_view text) override { messages << toQString(text); }
  bool okBox(std::string_view text) override {
    okBoxes << toQString(text);
    return true;
  }
  bool yesNo(std::string_view text) override {
    questions << toQString(text);
    if (onQuestion) onQuestion();
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  void closeMainWindow() override { ++closeRequests; }

  QStringList messages, okBoxes, questions;
  std::deque<bool> yesNoAnswers;   // No when the script runs out
  std::function<void()> onQuestion;
  int closeRequests = 0;
};

}  // namespace tervolin::test

#pragma once
// The command-line UserChannel: every message goes to standard error as one
// UTF-8 line, cut as the program's boxes cut it; questions get the answers
// that let the work go on.

#include <iostream>
#include <string>

#include "common/message_cap.h"
#include "common/text.h"
#include "common/user_channel.h"

namespace tervolin::cli {

class CliChannel : public UserChannel {
 public:
  void message(std::string_view text) override { print(text); }
  // The empty-definition-file box is answered with OK (fall back to pids.ini).
  bool okBox(std::string_view text) override { print(text); return true; }
  // Questions (the not-a-multiple-of-4 warning, the placement-failure box)
  // are answered No, so that work goes on.
  bool yesNo(std::string_view text) override { print(text); return false; }
  void closeMainWindow() override {}

 private:
  static void print(std::string_view text) {
    std::string line = cp1251ToUtf8(cutMessage(text));
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    std::cerr << line << '\n';
  }
};

}  // namespace tervolin::cli

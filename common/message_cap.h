#pragma once
// What the user sees of the core's messages in the program: every line of a
// text cut to its first 300 characters with "…", and within one command at most ten
// boxes of one kind of repeated message (UserChannel::similarMessage). The
// rest of that kind wait for the end of the command, which then asks once
// "Ещё N похожих сообщений. Показывать их?": Yes shows them, No none.
// The command-line tool prints every message, cut the same way.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/user_channel.h"

namespace tervolin {

inline constexpr std::size_t kMessageCharacters = 300;
inline constexpr int kBoxesPerKind = 10;

// Every line of `text` cut to its first kMessageCharacters characters,
// followed by "…" where anything was cut (Windows-1251).
std::string cutMessage(std::string_view text);

// A UserChannel in front of the program's message boxes. Outside a command
// messages are only cut. Call it from one thread.
class MessageCap : public UserChannel {
 public:
  explicit MessageCap(UserChannel& boxes) : boxes_(boxes) {}

  void message(std::string_view text) override;
  bool okBox(std::string_view text) override;
  bool yesNo(std::string_view text) override;
  void closeMainWindow() override;
  void similarMessage(std::string_view kind, std::string_view text) override;
  // Commands nest: the outermost one counts and asks.
  void beginCommand() override;
  void endCommand(bool finished) override;

 private:
  // Held back of one kind: at most kKept texts, all of them counted.
  struct HeldBack {
    int shown = 0;
    std::size_t count = 0;
    std::vector<std::string> texts;
  };
  static constexpr std::size_t kKept = 10000;

  UserChannel& boxes_;
  int depth_ = 0;
  std::map<std::string, HeldBack, std::less<>> kinds_;
  std::vector<std::string> order_;  // kinds in the order they first held one back
};

}  // namespace tervolin

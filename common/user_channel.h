#pragma once
// How the core tells the user something or asks a question. The windows
// implement it with message boxes, the command-line tool with standard error
// and fixed answers, the tests with a scripted fake. All texts are
// Windows-1251.

#include <exception>
#include <string_view>

namespace tervolin {

class UserChannel {
 public:
  virtual ~UserChannel() = default;
  // A plain message box.
  virtual void message(std::string_view text) = 0;
  // An error box with an OK button; true when OK was pressed, false when the
  // box was closed otherwise.
  virtual bool okBox(std::string_view text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool yesNo(std::string_view text) = 0;
  // Asks the main window to close; the program ends when the operation under
  // way returns.
  virtual void closeMainWindow() = 0;

  // A message that one command may raise many times, such as one per bad
  // line of a log: `kind` names what these messages share. A channel that
  // caps repeated messages counts them by kind; any other shows a message.
  virtual void similarMessage(std::string_view kind, std::string_view text) {
    (void)kind;
    message(text);
  }
  // A command of the user begins and ends (CommandScope): the messages in
  // between belong to it. `finished` is false when it ended by an exception.
  virtual void beginCommand() {}
  virtual void endCommand(bool finished) { (void)finished; }
};

// Marks one command on a channel for its lifetime.
class CommandScope {
 public:
  explicit CommandScope(UserChannel& channel)
      : channel_(channel), exceptions_(std::uncaught_exceptions()) {
    channel_.beginCommand();
  }
  ~CommandScope() { channel_.endCommand(std::uncaught_exceptions() == exceptions_); }
  CommandScope(const CommandScope&) = delete;
  CommandScope& operator=(const CommandScope&) = delete;

 private:
  UserChannel& channel_;
  int exceptions_;
};

// Thrown where the program ends at once (a missing formula file, "Отмена" in
// the profile dialog). The program's entry points catch it and end cleanly.
class ProgramEnds : public std::exception {
 public:
  const char* what() const noexcept override { return "the program ends"; }
};

}  // namespace tervolin

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
};

// Thrown where the program ends at once (a missing formula file, "Отмена" in
// the profile dialog). The program's entry points catch it and end cleanly.
class ProgramEnds : public std::exception {
 public:
  const char* what() const noexcept override { return "the program ends"; }
};

}  // namespace tervolin

#pragma once
// tervolin-cli subcommands register themselves here; main() dispatches on
// the first argument.

#include <span>
#include <string_view>

namespace tervolin::cli {

struct Command {
  std::string_view name;
  std::string_view usage;  // one or more lines, shown by "tervolin-cli help"
  int (*run)(std::span<const std::string_view> args);  // args after the name
};

// Keeps a command for main(); used through a static Registration object in
// the command's own file.
void registerCommand(const Command& command);

struct Registration {
  explicit Registration(const Command& command) { registerCommand(command); }
};

// Exit codes shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitFailure = 2;

// "tervolin-cli COMMAND: WHAT" and the command's usage on standard error;
// returns kExitUsage.
int usageError(std::string_view command, std::string_view usage, std::string_view what);

}  // namespace tervolin::cli

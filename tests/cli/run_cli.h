#pragma once
// Runs the tervolin-cli of this build as a script outside the project would:
// arguments passed through the shell quoted, standard input from a file,
// standard output and error captured, the exit code.

#include <string>
#include <string_view>
#include <vector>

namespace tervolin::test {

struct CliRun {
  int code = -1;  // the exit code; -1 when the program did not exit normally
  std::string out, err;
};

// Where standard output goes and what the command runs under, when not the
// defaults.
struct CliSetting {
  std::string stdoutTo;              // a file such as /dev/full; captured when empty
  std::vector<std::string> prefix;   // a command that runs tervolin-cli (setpriv ...)
};

// tervolin-cli ARGS... < input
CliRun runCli(const std::vector<std::string>& args, std::string_view input = {}, const CliSetting& setting = {});

}  // namespace tervolin::test

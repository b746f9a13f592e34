// tervolin-cli: batch access to the Tervolin core for scripting, checks and
// benchmarks. Each subcommand lives in its own file and registers itself.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "common/user_channel.h"

namespace tervolin::cli {
namespace {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

void printUsage(std::ostream& out) {
  out << "usage: tervolin-cli COMMAND [OPTIONS]\n\ncommands:\n";
  for (const Command& c : commands()) out << c.usage << "\n";
}

}  // namespace

void registerCommand(const Command& command) { commands().push_back(command); }

int usageError(std::string_view command, std::string_view usage, std::string_view what) {
  std::cerr << "tervolin-cli " << command << ": " << what << "\n" << usage << "\n";
  return kExitUsage;
}

namespace {

// Whatever a command wrote must have reached standard output: a write that
// failed there (a full disk, a closed pipe) ends with a message and exit 2,
// never as success.
int checkedExit(int code) {
  std::cout.flush();
  errno = 0;
  // The reason is known when the last flush fails; an earlier failure only
  // left the stream's error flag.
  const int error = std::fflush(stdout) != 0 ? errno : 0;
  if (error == 0 && std::ferror(stdout) == 0 && std::cout) return code;
  std::cerr << "tervolin-cli: cannot write standard output";
  if (error != 0) std::cerr << ": " << std::strerror(error);
  std::cerr << "\n";
  return code == kExitUsage ? kExitUsage : kExitFailure;
}

}  // namespace

}  // namespace tervolin::cli

int main(int argc, char** argv) {
  using namespace tervolin::cli;
  std::sort(commands().begin(), commands().end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  if (argc < 2 || std::string_view(argv[1]) == "help" || std::string_view(argv[1]) == "--help") {
    printUsage(argc < 2 ? std::cerr : std::cout);
    return checkedExit(argc < 2 ? kExitUsage : kExitOk);
  }
  const std::vector<std::string_view> args(argv + 2, argv + argc);
  for (const Command& c : commands()) {
    if (c.name != argv[1]) continue;
    int code = kExitFailure;
    try {
      code = c.run(args);
    } catch (const tervolin::ProgramEnds&) {
    } catch (const std::exception& e) {
      std::cerr << "tervolin-cli: " << e.what() << "\n";
    }
    return checkedExit(code);
  }
  std::cerr << "tervolin-cli: unknown command '" << argv[1] << "'\n";
  printUsage(std::cerr);
  return kExitUsage;
}

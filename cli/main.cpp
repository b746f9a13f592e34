// tervolin-cli: batch access to the Tervolin core for scripting, checks and
// benchmarks. Each subcommand lives in its own file and registers itself.

#include <algorithm>
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

}  // namespace tervolin::cli

int main(int argc, char** argv) {
  using namespace tervolin::cli;
  std::sort(commands().begin(), commands().end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  if (argc < 2 || std::string_view(argv[1]) == "help" || std::string_view(argv[1]) == "--help") {
    printUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  const std::vector<std::string_view> args(argv + 2, argv + argc);
  for (const Command& c : commands()) {
    if (c.name != argv[1]) continue;
    try {
      return c.run(args);
    } catch (const tervolin::ProgramEnds&) {
      return kExitFailure;
    } catch (const std::exception& e) {
      std::cerr << "tervolin-cli: " << e.what() << "\n";
      return kExitFailure;
    }
  }
  std::cerr << "tervolin-cli: unknown command '" << argv[1] << "'\n";
  printUsage(std::cerr);
  return kExitUsage;
}

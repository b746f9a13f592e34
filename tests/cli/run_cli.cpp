#include "cli/run_cli.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/test_support.h"

namespace tervolin::test {
namespace {

std::string shellQuoted(std::string_view s) {
  std::string q = "'";
  for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

CliRun runCli(const std::vector<std::string>& args, std::string_view input, const CliSetting& setting) {
  TempDir dir;
  writeFile(dir / "stdin", input);
  std::string command;
  for (const std::string& p : setting.prefix) (command += shellQuoted(p)) += ' ';
  command += shellQuoted(TERVOLIN_CLI);
  for (const std::string& a : args) (command += ' ') += shellQuoted(a);
  (command += " <") += shellQuoted((dir / "stdin").string());
  (command += " >") += shellQuoted(setting.stdoutTo.empty() ? (dir / "stdout").string() : setting.stdoutTo);
  (command += " 2>") += shellQuoted((dir / "stderr").string());
  const int status = std::system(command.c_str());
  CliRun r;
  r.code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readFile(dir / "stdout");
  r.err = readFile(dir / "stderr");
  return r;
}

}  // namespace tervolin::test

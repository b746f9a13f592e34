// Runs the built tervolin-cli: the dispatch of commands and the usage text.

#include <gtest/gtest.h>

#include <string>

#include "cli/run_cli.h"

namespace tervolin {
namespace {

TEST(Cli, UnknownCommandAndHelp) {
  const test::CliRun none = test::runCli({});
  EXPECT_EQ(none.code, 1);
  EXPECT_NE(none.err.find("usage: tervolin-cli COMMAND"), std::string::npos);
  const test::CliRun help = test::runCli({"help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("  decode --batch"), std::string::npos);
  EXPECT_NE(help.out.find("  table --profile CODE"), std::string::npos);
  const test::CliRun unknown = test::runCli({"tabel"});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_NE(unknown.err.find("unknown command 'tabel'"), std::string::npos);
}

}  // namespace
}  // namespace tervolin

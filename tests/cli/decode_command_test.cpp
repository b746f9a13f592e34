// Runs the built tervolin-cli: the decode command, single and batch.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/run_cli.h"

namespace tervolin {
namespace {

TEST(DecodeCommand, SingleValueAndFailure) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
  };
  const Case cases[] = {
      {{"--formula", "FR", "--position", "0000", "--inverse", "F8 1A"}, 0, "1726\n"},
      {{"--formula", "FS", "--position", "0000", "FF"}, 0, "Не используется\n"},
      {{"--formula", "FZ", "--position", "0000", "--decimal-mark", ",", "81"}, 0, "0,50\n"},
      {{"--formula", "", "--position", "0100", "--request", "01B2", "FF"}, 2, "!error\n"},
      {{"--formula", "FT", "--position", "0000", "7B", "1C"}, 0, "83\n"},  // data words joined by a blank
      {{"--formula"}, 1, ""},
      {{"--colour", "red"}, 1, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"decode"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const test::CliRun r = test::runCli(args);
    EXPECT_EQ(r.code, c.code) << c.args.front();
    EXPECT_EQ(r.out, c.out) << c.args.front();
  }
}

TEST(DecodeCommand, TenThousandLinesGiveOneLineEach) {
  std::string input = "formula\tposition\trequest\tinverse\tdata\n";
  const char* lines[] = {"FT\t0000\t\t0\t7B 1C\n", "FR\t0100\t\t1\t00 F8 1A 00\n", "\t0000\t0101\t0\t83 17 00 00\n",
                         "\t0100\t01B2\t0\tFF\n"};
  for (int k = 0; k < 10000; ++k) input += lines[k % 4];
  const test::CliRun r = test::runCli({"decode", "--batch"}, input);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10000);
  EXPECT_TRUE(r.out.starts_with("83\n1726\nЛампа \"MIL\" горит, найдено 3 ошибок"));
  EXPECT_NE(r.out.find("\n!error\n"), std::string::npos);
}

}  // namespace
}  // namespace tervolin

// Runs the built tervolin-cli: the graphs command opens its FILE as table
// does (the shared options) and prints the series it builds.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "common/param_def.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

class CliGraphsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{{"2101", "Tw", "C", "0000", "", 0}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n");
    test::writeFile(dir / "demo.log",
                    "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 7B 2C 5E\r\n"
                    "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 50 32 5E\r\n");
  }
  test::CliRun run(std::vector<std::string> args) {
    args.insert(args.begin(), {"graphs", "--profile", "Toyota", "--program-dir", dir.path().string()});
    return test::runCli(args);
  }
  test::TempDir dir;
};

TEST_F(CliGraphsTest, PrintsTheAxisAndOnePointPerPoll) {
  const test::CliRun r = run({"--series", "01/0000 Tw", (dir / "demo.log").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("axis\t")) << r.out;
  EXPECT_NE(r.out.find("\nseries\t1\tC\t2\t"), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4) << r.out;  // axis, series, two points
}

TEST_F(CliGraphsTest, UsageErrorsAndUnreadableFiles) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string err;
  };
  const std::string log = (dir / "demo.log").string();
  std::vector<std::string> seven;
  for (int k = 0; k < 7; ++k) seven.insert(seven.end(), {"--series", "x"});
  seven.push_back(log);
  const std::vector<Case> cases = {
      {{log}, 1, "tervolin-cli graphs: --series ITEM is required"},
      {seven, 1, "tervolin-cli graphs: at most six --series"},
      {{"--series", "x", "--unit", "год", log}, 1, "--unit is one of мс, с, мин, час"},
      {{"--series", "x", "--decimal-mark", ",,", log}, 1, "--decimal-mark takes one character"},
      {{"--series", "x"}, 1, "tervolin-cli graphs: FILE is required"},
      {{"--series", "x", (dir / "missing.log").string()}, 2, "tervolin-cli graphs: cannot read"},
  };
  for (const Case& c : cases) {
    const test::CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace tervolin

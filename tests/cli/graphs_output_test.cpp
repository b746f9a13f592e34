// Runs the built tervolin-cli graphs: the output format, the options and
// the messages as scripts outside the project see them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "common/param_def.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

// Three polls of 21 01, 40 ms between requests; Tw = A - 40, Ta = A - 40.
constexpr std::string_view kLog =
    "Интервал между запросами тестера: 40  \r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 32 28 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 3C 29 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 46 2B 5E\r\n";

class CliGraphsOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                          {"2101", "Tw", "C", "0000", "", 0}, {"2101", "Ta", "%", "0100", "", 1}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n");
    test::writeFile(dir / "drive.log", utf8ToCp1251(kLog));
  }
  test::CliRun run(std::vector<std::string> args) {
    std::vector<std::string> all = {"graphs", "--profile", "Toyota", "--program-dir", dir.path().string()};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back((dir / "drive.log").string());
    return test::runCli(all);
  }
  test::TempDir dir;
};

TEST_F(CliGraphsOutputTest, AxisThenEverySeriesTakingPartWithItsPoints) {
  const test::CliRun r = run({"--series", "01/0000 Tw", "--series", "Нет", "--series", "01/0100 Ta"});
  EXPECT_EQ(r.code, 0) << r.err;
  // The timing comes from the interval line: 40 ms, shown in seconds.
  EXPECT_EQ(r.out,
            "axis\t-0.3\t30.3\n"
            "series\t1\tC\t3\t1\t0\n0.04\t10\n0.08\t20\n0.12\t30\n"
            "series\t3\t%\t3\t1\t0\n0.04\t0\n0.08\t1\n0.12\t3\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliGraphsOutputTest, TimingUnitAndFitMode) {
  const test::CliRun r =
      run({"--series", "01/0000 Tw", "--series", "01/0100 Ta", "--timing", "500", "--unit", "мин", "--fit"});
  EXPECT_EQ(r.code, 0) << r.err;
  // Ranges 20 and 3: multipliers 1 and 6, offsets the minimums.
  const std::string step = "0.008333333333333333";
  EXPECT_NE(r.out.find("series\t1\tC\t3\t1\t10\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("series\t2\t%\t3\t6\t0\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(step + "\t0\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "axis\t-0.2\t20.2");
}

TEST_F(CliGraphsOutputTest, UnknownItemsTakePartAndMatchNothing) {
  const test::CliRun r = run({"--series", "99/0000 nothing", "--timing", ""});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "axis\t66190.35\t-66190.35\nseries\t1\t\t0\t1\t0\n");
}

TEST_F(CliGraphsOutputTest, MessagesGoToStandardError) {
  const test::CliRun r = run({"--series", "01/0000 Tw", "--timing", "abc"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "Некорректное значение тайминга P2+P3\n");
}

TEST_F(CliGraphsOutputTest, UsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--series", "a", "--unit", "сек"}, {"--series", "1", "--series", "2", "--series", "3", "--series", "4",
                                                    "--series", "5", "--series", "6", "--series", "7"}}) {
    const test::CliRun r = run(args);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace tervolin

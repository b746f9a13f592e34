// tervolin-cli explain as scripts see it: the rows selected in order, each
// box printed after its row number, boxes raised on standard error, the row
// range and usage errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "common/param_def.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

class CliExplainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                          {"2101", "Tw", "C", "0000", "", 0},
                                          {"2101", "Ta", "C", "0100", "", 1}}));
    test::writeFile(dir / "formules.ini", "21010000FT\r\n21010100FT\r\n");
    test::writeFile(dir / "DTC.xml",
                    "<DTC><G Name=\"M7.9.7\"><C/><C Name=\"P0301\" Description=\"Пропуски \\ 1\"/></G></DTC>");
    test::writeFile(dir / "demo.log", utf8ToCp1251(
                                          "; заголовок\r\n"
                                          "TxD 82 10 F1 21 01 A5\r\n"
                                          "RxD 84 F1 10 61 01 7B 2C 5E\r\n"
                                          "RxD 83 F1 10 7F 21 12 36\r\n"
                                          "RxD 85 F1 10 58 01 03 01 24 C3\r\n"
                                          "RxD 84 F1 10 ZZ 01 7B 2C 5E\r\n"));
  }
  test::CliRun run(const std::string& profile, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"explain", "--profile", profile, "--program-dir", dir.path().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back((dir / "demo.log").string());
    return test::runCli(args);
  }
  test::TempDir dir;
};

TEST_F(CliExplainTest, EveryRowInOrder) {
  const test::CliRun r = run("B797");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "#0\nЭта строка не запрос и не ответ!\n"
            "#1\nЭта строка не запрос и не ответ!\n"
            "#2\nЭта строка не запрос и не ответ!\n"
            "#3\nПередача запроса к ECU Tw\nПередача запроса к ECU Ta\n"
            "#4\nОтвет ECU на запрос - Tw: 83 C\nОтвет ECU на запрос - Ta: 4 C\n"
            "#5\nОтвет ECU: Неверный запрос!\n"
            "#6\nКол-во ошибок: 1\nКод ошибки: 0301 Пропуски \\\\ 1\n"
            "#7\n");
  EXPECT_EQ(r.err,
            "#6: RxD 85 F1 10 58 01 03 01 24 C3|01 03 01 24\n"
            "#7: \"ZZ\" не является шестнадцатеричным числом\n");
}

TEST_F(CliExplainTest, RowRangeAndProfileRules) {
  test::CliRun r = run("Chery", {"--from", "4", "--to", "6"});
  EXPECT_EQ(r.code, 0) << r.err;
  // Chery reads a length byte and lists no trouble codes.
  // With its length offset the 7F sits where the identifier is read: not
  // recognised, no definition, nothing said.
  EXPECT_EQ(r.out, "#4\n#5\n#6\n");
  r = run("Toyota", {"--from", "7", "--to", "99"});
  EXPECT_EQ(r.out, "#7\n");
  r = run("Toyota", {"--from", "9"});
  EXPECT_EQ(r.out, "");
}

TEST_F(CliExplainTest, UsageErrors) {
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{{"--from", "-1"}, {"--to", "x"}, {"--from"}}) {
    const test::CliRun r = run("Toyota", extra);
    EXPECT_EQ(r.code, 1) << extra[0];
    EXPECT_NE(r.err.find("explain"), std::string::npos);
  }
  const test::CliRun none = test::runCli({"explain", "--profile", "Toyota", (dir / "missing.log").string()});
  EXPECT_EQ(none.code, 2);
}

}  // namespace
}  // namespace tervolin

// Runs the built tervolin-cli: the search command's report lines, its boxes
// on standard error and its exit codes, on the sample program folder and on
// small logs of its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/loggen/loggen.h"
#include "cli/run_cli.h"
#include "common/param_def.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

class CliSearchTest : public ::testing::Test {
 protected:
  CliSearchTest() {
    std::string error;
    if (!loggen::writeFiles(dir.path(), loggen::sampleFolder(), error)) ADD_FAILURE() << error;
    // A profile of its own beside the program: every small log below is
    // opened with it.
    test::writeFile(dir / "own" / "pids.ini",
                    definitionFileText(std::vector<ParamDef>{{"2101", "Tw", "C", "0000", "", 0}}));
    test::writeFile(dir / "own" / "formules.ini", "21010000FT\r\n");
  }

  test::CliRun search(const std::string& profile, const std::string& log, std::vector<std::string> own,
                      const std::string& programDir = {}) {
    std::vector<std::string> args = {"search", "--profile", profile, "--program-dir",
                                     programDir.empty() ? dir.path().string() : programDir};
    args.insert(args.end(), own.begin(), own.end());
    args.push_back(log);
    return test::runCli(args);
  }
  test::CliRun searchOwn(const std::string& logText, std::vector<std::string> own) {
    test::writeFile(dir / "own" / "small.log", logText);
    return search("Toyota", (dir / "own" / "small.log").string(), std::move(own), (dir / "own").string());
  }

  test::TempDir dir;
};

constexpr const char* kSmallLog =
    "TxD 82 10 F1 21 01 A5\r\nRxD 85 F1 10 61 01 7B 1A 01 CS\r\n"
    "TxD 82 10 F1 21 01 A5\r\nRxD 85 F1 10 61 01 7C 1A 02 CS\r\n";

TEST_F(CliSearchTest, FindsTheCoolantByteOfTheGreatWallSampleInEveryResponse) {
  const test::CliRun r = search("GreatWall", (dir / "logs" / "greatwall_length_byte.log").string(),
                                {"--formula", "CT: A*192/256-40 температура", "--min", "15", "--max", "100"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
            "Условия поиска: Формула:CT: A*192/256-40 температура Max:100 Мин:15 № искомого БАЙТА:0000 "
            "Мода/Пид:2101 Совпадений:513из 513 100.00%");
  EXPECT_EQ(r.err, "Все!\n");
}

TEST_F(CliSearchTest, TheFormulaTextFillsTheBoundsUnlessTheyAreGiven) {
  const std::string ft = "FT: A-40 (-40.. 215`C) Температура";
  const struct {
    std::vector<std::string> own;
    const char* bounds;
  } cases[] = {
      {{"--formula", ft}, " Max:215 Мин:-40 "},
      {{"--formula", ft, "--min", "80"}, " Max:215 Мин:80 "},
      {{"--max", "84", "--formula", ft}, " Max:84 Мин:-40 "},
      {{"--formula", "FI", "--min", "0", "--max", "1000"}, " Max:1000 Мин:0 "},
  };
  for (const auto& c : cases) {
    const test::CliRun r = searchOwn(kSmallLog, c.own);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(c.bounds), std::string::npos) << r.out;
  }
}

TEST_F(CliSearchTest, BoundsThatAreNotNumbersStopWithTheMessage) {
  const struct {
    std::vector<std::string> own;
    const char* err;
  } cases[] = {
      {{"--formula", "FI"}, "'edtmax' не является числом\n"},
      {{"--formula", "FI", "--max", "9"}, "'edtmin' не является числом\n"},
      {{"--formula", "FI", "--min", "0", "--max", "9.5"}, "'9.5' не является числом\n"},  // the mark is ','
  };
  for (const auto& c : cases) {
    std::vector<std::string> own = c.own;
    own.insert(own.end(), {"--decimal-mark", ","});
    const test::CliRun r = searchOwn(kSmallLog, own);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(CliSearchTest, ByteReportsGoToStandardErrorBeforeDone) {
  // FH writes 1A as it is: no number.
  const test::CliRun r = searchOwn(kSmallLog, {"--formula", "FH", "--min", "0", "--max", "99"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err,
            "7B 1A 01;st_byte - 0000 №цикла- 0\n7B 1A 01;st_byte - 0100 №цикла- 1\n"
            "7C 1A 02;st_byte - 0000 №цикла- 0\n7C 1A 02;st_byte - 0100 №цикла- 1\nВсе!\n");
  EXPECT_EQ(r.out,
            "Условия поиска: Формула:FH Max:99 Мин:0 № искомого БАЙТА:0200 Мода/Пид:2101 Совпадений:2из 2 100.00%\n");
}

TEST_F(CliSearchTest, InversionDecimalMarkAndEscapes) {
  // FO reads the word at byte 0: 7B 1A, inverted 1A 7B (6779).
  const test::CliRun r = searchOwn(kSmallLog, {"--formula", "FO\tword", "--min", "6779", "--max", "6779",
                                               "--inverse", "--decimal-mark", ","});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Условия поиска: Формула:FO\\tword Max:6779 Мин:6779 № искомого БАЙТА:0000 Мода/Пид:2101 "
            "Совпадений:1из 2 50,00%\n");
}

TEST_F(CliSearchTest, AnyFileIsSearchedAsATextLogWhateverItsExtension) {
  // The names the open command would give to its graph file, XML and CSV
  // readers: the search reads the responses all the same.
  const std::string text = test::readFile(dir / "logs" / "greatwall_length_byte.log");
  const std::vector<std::string> own = {"--formula", "CT: A*192/256-40 температура", "--min", "15", "--max", "100"};
  const test::CliRun expected = search("GreatWall", (dir / "logs" / "greatwall_length_byte.log").string(), own);
  ASSERT_EQ(expected.code, 0) << expected.err;
  ASSERT_NE(expected.out.find("Совпадений:513из 513 100.00%"), std::string::npos) << expected.out;
  for (const char* name : {"drive.rtd", "drive.xml", "drive.csv", "drive.CSV", "drive.txt"}) {
    test::writeFile(dir / "logs" / name, text);
    const test::CliRun r = search("GreatWall", (dir / "logs" / name).string(), own);
    EXPECT_EQ(r.code, 0) << name << ": " << r.err;
    EXPECT_EQ(r.out, expected.out) << name;
    EXPECT_EQ(r.err, "Все!\n") << name;
  }
}

TEST_F(CliSearchTest, UsageAndFileErrors) {
  EXPECT_EQ(searchOwn(kSmallLog, {}).code, 1);  // no --formula
  EXPECT_EQ(searchOwn(kSmallLog, {"--formula"}).code, 1);
  EXPECT_EQ(searchOwn(kSmallLog, {"--formula", "FT", "--bogus"}).code, 1);
  const test::CliRun missing = search("Toyota", (dir / "nothing.log").string(), {"--formula", "FT"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.out, "");
}

}  // namespace
}  // namespace tervolin

// Runs the built tervolin-cli where writing fails: a full standard output for
// every command, a working folder the derived definition file cannot be
// written to, and messages too long for one line.

#include <gtest/gtest.h>
#include <unistd.h>

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
namespace fs = std::filesystem;

constexpr std::string_view kTextLog =
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 7B 2C 5E\r\n";

class CliWriteFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The profile's folders as the program folder holds them.
    test::writeFile(dir / "pids" / "Toyota" / "Powertrain" / "pids.ini",
                    definitionFileText(std::vector<ParamDef>{{"2101", "Tw", "C", "0000", "", 0},
                                                             {"2102", "Unused", "C", "0000", "", 1}}));
    test::writeFile(dir / "Toyota" / "formules.ini", "21010000FT\r\n21020000FT\r\n");
    test::writeFile(dir / "demo.log", kTextLog);
  }

  std::vector<std::string> table(std::vector<std::string> extra = {}) const {
    std::vector<std::string> args{"table", "--profile", "Toyota", "--program-dir", dir.path().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back((dir / "demo.log").string());
    return args;
  }

  test::TempDir dir;
};

TEST_F(CliWriteFailureTest, FullStandardOutputIsExitTwoWithAMessageForEveryCommand) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
  };
  const std::vector<Case> cases = {
      {table(), ""},
      {table({"--view", "log"}), ""},
      {table({"--format", "csv"}), ""},
      {table({"--view", "log", "--format", "protocol"}), ""},
      {{"graphs", "--profile", "Toyota", "--program-dir", dir.path().string(), "--series", "01/0000 Tw",
        (dir / "demo.log").string()},
       ""},
      {{"decode", "--formula", "FT", "--position", "0000", "7B"}, ""},
      {{"decode", "--batch"}, "FT\t0000\t\t0\t7B\n"},
      {{"help"}, ""},
  };
  for (const Case& c : cases) {
    const test::CliRun ok = test::runCli(c.args, c.input);
    EXPECT_EQ(ok.code, 0) << c.args[0] << ok.err;
    const test::CliRun full = test::runCli(c.args, c.input, {"/dev/full", {}});
    EXPECT_EQ(full.code, 2) << c.args[0] << " " << c.args.size();
    EXPECT_NE(full.err.find("tervolin-cli: cannot write standard output"), std::string::npos)
        << c.args[0] << ": " << full.err;
  }
}

// A working folder nobody may write to (as root the command runs as nobody):
// the used-parameter file cannot be written, which is said, and the stale
// one of an earlier log is not read: the columns are those of pids.ini.
TEST_F(CliWriteFailureTest, ReadOnlyWorkingFolderUsesPidsIniAndSaysSo) {
  const fs::path working = dir / "Toyota";
  test::writeFile(working / "_usesTblPids.ini",
                  definitionFileText(std::vector<ParamDef>{{"2199", "Stale", "C", "0000", "", 0}}));
  test::CliSetting setting;
  if (::geteuid() == 0) {
    setting.prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  } else {
    fs::permissions(working, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  const test::CliRun r = test::runCli(table(), {}, setting);
  fs::permissions(working, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "2101/0000\t2102/0000\nTw (C)\tUnused (C)\n83\t\n");
  EXPECT_NE(r.err.find("Не удалось записать файл " + (working / "_usesTblPids.ini").string() + ": "),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Загружены все параметры профиля из pids.ini."), std::string::npos) << r.err;
}

TEST_F(CliWriteFailureTest, EveryMessageIsOneLineCutAfterThreeHundredCharacters) {
  // Request lines whose format byte is not hex are shown whole, one per line.
  std::string log(kTextLog);
  const std::string tail(400, 'x');
  for (int i = 0; i < 12; ++i) log += "TxD G2 10 F1 21 01 A5 " + tail + "\r\n";
  test::writeFile(dir / "demo.log", log);
  const test::CliRun r = test::runCli(table());
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string cut = "TxD G2 10 F1 21 01 A5 " + std::string(300 - 22, 'x') + "…\n";
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += cut;
  EXPECT_EQ(r.err, expected);
}

}  // namespace
}  // namespace tervolin

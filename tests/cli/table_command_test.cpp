// Runs the built tervolin-cli: the table command's output format, messages
// and exit codes as scripts outside the project see them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "common/param_def.h"
#include "common/paths.h"
#include "common/text.h"
#include "profiles/definition_file.h"
#include "support/test_support.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kTextLog =
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 7B 2C 5E\r\n"
    "TxD 82 10 F1 21 01 A5\r\n"
    "RxD 84 F1 10 61 01 50 32 5E\r\n";

constexpr std::string_view kExpected = "2101/0000\t2101/0100\nTw (C)\tTa (C)\n83\t4\n40\t10\n";

class CliTableTest : public ::testing::Test {
 protected:
  void writeProfileFiles(const fs::path& pidsFolder, const fs::path& formulaFolder) {
    test::writeFile(pidsFolder / "pids.ini", definitionFileText(std::vector<ParamDef>{
                                                 {"2101", "Tw", "C", "0000", "", 0},
                                                 {"2101", "Ta", "C", "0100", "", 1}}));
    test::writeFile(formulaFolder / "formules.ini", "21010000FT\r\n21010100FT\r\n");
  }

  static test::CliRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "table");
    return test::runCli(args);
  }

  test::TempDir dir;
};

TEST_F(CliTableTest, PrintsTheTableViewOfATextLog) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "demo.log", kTextLog);
  const test::CliRun r = run({"--profile", "Toyota", "--program-dir", dir.path().string(), (dir / "demo.log").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kExpected);
  EXPECT_EQ(r.err, "");

  const test::CliRun toFile = run({"--profile", "Toyota", "--program-dir", dir.path().string(), "--out",
                             (dir / "table.txt").string(), (dir / "demo.log").string()});
  EXPECT_EQ(toFile.code, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(test::readFile(dir / "table.txt"), kExpected);
}

TEST_F(CliTableTest, LogViewEscapesAndWritesUtf8) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "odd.log", std::string("Ответ\tA\\B"_w) + "\r\n  TxD 82\n");
  const test::CliRun r = run({"--profile", "Toyota", "--program-dir", dir.path().string(), "--view", "log",
                     (dir / "odd.log").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Log как он есть\n\nОтвет\\tA\\\\B\nTxD 82\n");
}

TEST_F(CliTableTest, ProfileFolderIsTheWorkingFolderWithoutALocalPidsIni) {
  // pids.ini in the external program's profile folder, the formula file and
  // the derived files in the program folder's profile folder (any case).
  const fs::path program = dir / "program";
  const fs::path orvik = dir / "orvik";
  writeProfileFiles(orvik / "pids" / "Toyota" / "powertrain", program / "TOYOTA");
  test::writeFile(dir / "demo.log", kTextLog);
  const test::CliRun r = run({"--profile", "Toyota", "--program-dir", program.string(), "--orvik-path", orvik.string(),
                     (dir / "demo.log").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kExpected);
  EXPECT_TRUE(fileExistsIgnoringCase(program / "TOYOTA", "_usesTblPids.ini"));
}

TEST_F(CliTableTest, FailuresGiveExitCodesAndClearMessages) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "scan.xml", "<x/>");
  test::writeFile(dir / "data.Csv", "a;b");
  test::writeFile(dir / "demo.log", kTextLog);
  const std::string prog = dir.path().string();
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string errPart;
  };
  const std::vector<Case> cases = {
      {{"--profile", "Toyota", "--program-dir", prog, (dir / "missing.log").string()}, 2, "missing.log"},
      {{"--profile", "Toyota", "--program-dir", prog, prog}, 2, "cannot read"},
      {{"--profile", "Toyota", "--program-dir", prog, (dir / "scan.xml").string()}, 2, "XML"},
      {{"--profile", "Toyota", "--program-dir", prog, (dir / "data.Csv").string()}, 2, "CSV"},
      {{"--program-dir", prog, (dir / "demo.log").string()}, 1, "--profile"},
      {{"--profile", "Toyota", "--view", "chart", (dir / "demo.log").string()}, 1, "--view"},
      {{"--profile", "Toyota", "--format", "csv", (dir / "demo.log").string()}, 1, "--format"},
      {{"--profile", "Toyota", "--decimal-mark", ",,", (dir / "demo.log").string()}, 1, "--decimal-mark"},
  };
  for (const Case& k : cases) {
    const test::CliRun r = run(k.args);
    EXPECT_EQ(r.code, k.code) << k.args.back();
    EXPECT_NE(r.err.find(k.errPart), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(CliTableTest, MissingFormulaFileEndsWithTheProgramsMessage) {
  writeProfileFiles(dir.path(), dir.path());
  fs::remove(dir / "formules.ini");
  test::writeFile(dir / "demo.log", kTextLog);
  const test::CliRun r = run({"--profile", "Toyota", "--program-dir", dir.path().string(), (dir / "demo.log").string()});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("Не найден файл формул в директории"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace tervolin

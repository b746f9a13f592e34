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

TEST_F(CliTableTest, FiltersApplyInOrderWithTheirMessagesOnStandardError) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "demo.log",
                  std::string(kTextLog) + "TxD 82 10 F1 21 01 A5\r\nRxD 84 F1 10 61 01 90 3C 5E\r\n");
  const std::vector<std::string> base = {"--profile", "Toyota", "--program-dir", dir.path().string()};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back((dir / "demo.log").string());
    return run(args);
  };
  // Rows Tw 83/40/104: > 50, then < 100, leave 83.
  test::CliRun r = with({"--filter", "Tw  2101", ">", "50", "--filter", "Tw  2101", "<", "100"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "2101/0000\t2101/0100\nTw (C)\tTa (C)\n83\t4\n");
  EXPECT_EQ(r.err, "");

  // The second column by its list text; an unknown operator says so.
  r = with({"--filter", "Ta  2101", "=", "10"});
  EXPECT_EQ(r.out, "2101/0000\t2101/0100\nTw (C)\tTa (C)\n40\t10\n");
  r = with({"--filter", "Tw  2101", ">=", "1"});
  EXPECT_EQ(r.out, "2101/0000\t2101/0100\nTw (C)\tTa (C)\n");
  EXPECT_EQ(r.err, "Ошибочное выражение! Допустимы знаки \"<\",\">\",\"=\"\n");
  r = with({"--filter", "Tw  2101", ">", "1,5"});
  EXPECT_EQ(r.err, "Ошибка загрузки из массива\n");

  r = run({"--profile", "Toyota", (dir / "demo.log").string(), "--filter", "Tw  2101", ">"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("--filter needs PARAM OP VALUE"), std::string::npos);
}

// --progress adds progress lines on standard error, one per stage at least;
// standard output stays the same.
TEST_F(CliTableTest, ProgressLinesGoToStandardErrorOnlyWhenAsked) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "demo.log", kTextLog);
  const test::CliRun r = run({"--progress", "--profile", "Toyota", "--program-dir", dir.path().string(),
                              (dir / "demo.log").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kExpected);
  EXPECT_NE(r.err.find("tervolin-cli table: Чтение лога… 100 %"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("tervolin-cli table: Построение таблицы… 100 %"), std::string::npos) << r.err;
  for (std::size_t at = 0; at < r.err.size(); at = r.err.find('\n', at) + 1)
    EXPECT_EQ(r.err.compare(at, 14, "tervolin-cli t"), 0) << r.err;
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
  test::writeFile(dir / "scan.xml", "<x><y sID='61' Data='01 7B'/>");
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
      {{"--profile", "Toyota", "--program-dir", prog, (dir / "scan.xml").string()}, 2, "Ошибка разбора XML: "},
      {{"--program-dir", prog, (dir / "demo.log").string()}, 1, "--profile"},
      {{"--profile", "Toyota", "--view", "chart", (dir / "demo.log").string()}, 1, "--view"},
      {{"--profile", "Toyota", "--format", "pdf", (dir / "demo.log").string()}, 1, "--format"},
      {{"--profile", "Toyota", "--format", "xlsx", (dir / "demo.log").string()}, 1, "--out"},
      {{"--profile", "Toyota", "--format", "xlsx", "--view", "log", "--out", "x", (dir / "demo.log").string()},
       1, "Table view"},
      {{"--profile", "Toyota", "--format", "protocol", (dir / "demo.log").string()}, 1, "--view log"},
      {{"--profile", "Toyota", "--decimal-mark", ",,", (dir / "demo.log").string()}, 1, "--decimal-mark"},
  };
  for (const Case& k : cases) {
    const test::CliRun r = run(k.args);
    EXPECT_EQ(r.code, k.code) << k.args.back();
    EXPECT_NE(r.err.find(k.errPart), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// Every command that opens a log refuses a profile code it does not know
// as a usage error, before it reads anything.
TEST_F(CliTableTest, UnknownProfileIsAUsageErrorOfEveryCommand) {
  test::writeFile(dir / "demo.log", kTextLog);
  for (const char* command : {"table", "graphs", "explain", "matrix", "search"}) {
    const test::CliRun r = test::runCli({command, "--profile", "NOSUCH", (dir / "demo.log").string()});
    EXPECT_EQ(r.code, 1) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_NE(r.err.find("unknown profile NOSUCH; the profile codes are Chery GreatWall"), std::string::npos)
        << command << ": " << r.err;
  }
}

// A read that ends early prints the table of what was read, exactly as
// before, and tells where the read ended on standard error, once.
TEST_F(CliTableTest, ReadErrorIsToldOnStandardErrorOnly) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "cut.log", std::string(kTextLog) + "RxD ZZ F1 10 61 01 7B 2C 5E\r\n");
  const test::CliRun r = run({"--profile", "Toyota", "--program-dir", dir.path().string(), (dir / "cut.log").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kExpected);
  EXPECT_EQ(r.err, "Чтение файла " + (dir / "cut.log").string() +
                       " прервано в строке 5 (байт 104): байт длины ответа «ZZ» не является шестнадцатеричным "
                       "числом. Показаны записи, прочитанные до этого места: 4. Прочитанные записи сохранены в файле " +
                       (dir / "error_ini.txt").string() + ".\n");
}

TEST_F(CliTableTest, XmlAndCsvLogsOpenInTableView) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "scan.xml", "<L><E><R sID='61' Data='01 7B 2C'/></E><E/><E><R sID='61' Data='01 50 32'/></E></L>");
  test::writeFile(dir / "drive.CSV", "Обороты;ОЗ;\r\n800;90.5;\r\n;7;\r\n"_w);
  const std::string prog = dir.path().string();
  const test::CliRun xml = run({"--profile", "Toyota", "--program-dir", prog, (dir / "scan.xml").string()});
  EXPECT_EQ(xml.code, 0) << xml.err;
  EXPECT_EQ(xml.out, kExpected);
  const test::CliRun csv = run({"--profile", "Toyota", "--program-dir", prog, "--view", "log", (dir / "drive.CSV").string()});
  EXPECT_EQ(csv.code, 0) << csv.err;
  // A CSV log has no LOG view of its own: the view asked for shows its lines.
  const test::CliRun table = run({"--profile", "Toyota", "--program-dir", prog, (dir / "drive.CSV").string()});
  EXPECT_EQ(table.code, 0) << table.err;
  EXPECT_EQ(table.out, "0000/0000\t0000/0001\nОбороты ()\tОЗ ()\n800\t90,5\n0\t7\n");
}

TEST_F(CliTableTest, FormatsWriteTheExportsBytes) {
  writeProfileFiles(dir.path(), dir.path());
  test::writeFile(dir / "demo.log", kTextLog);
  const std::string prog = dir.path().string();
  const std::string log = (dir / "demo.log").string();
  const std::string csv =
      "LogID,LogEntryDate,LogEntryTime,LogEntrySeconds,LogNotes,Tw (C),Ta (C),\r\n0,,,,,83,4,\r\n1,,,,,40,10,\r\n";
  const test::CliRun toStdout = run({"--profile", "Toyota", "--program-dir", prog, "--format", "csv", log});
  EXPECT_EQ(toStdout.code, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, csv);
  const test::CliRun toFile =
      run({"--profile", "Toyota", "--program-dir", prog, "--format", "csv", "--out", (dir / "t.csv").string(), log});
  EXPECT_EQ(toFile.code, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(test::readFile(dir / "t.csv"), csv);

  const test::CliRun protocol =
      run({"--profile", "Toyota", "--program-dir", prog, "--format", "protocol", "--view", "log", log});
  EXPECT_EQ(protocol.code, 0) << protocol.err;
  EXPECT_EQ(protocol.out, "\r\n" + std::string(kTextLog));

  const test::CliRun xlsx =
      run({"--profile", "Toyota", "--program-dir", prog, "--format", "xlsx", "--out", (dir / "t.xlsx").string(), log});
  EXPECT_EQ(xlsx.code, 0) << xlsx.err;
  EXPECT_EQ(xlsx.out, "");
  EXPECT_EQ(test::readFile(dir / "t.xlsx").substr(0, 4), std::string("PK\x03\x04", 4));

  // A target that cannot be written: exit 2, the message names it.
  const test::CliRun failed = run({"--profile", "Toyota", "--program-dir", prog, "--format", "xlsx", "--out",
                                   (dir / "no" / "t.xlsx").string(), log});
  EXPECT_EQ(failed.code, 2);
  EXPECT_NE(failed.err.find("Не удалось записать файл"), std::string::npos) << failed.err;
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

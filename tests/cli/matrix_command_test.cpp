// Runs the built tervolin-cli: the matrix command opens its FILE as table
// does and prints the matrix grid that the literal walk of the build and the
// per-cell fill give, on every bundled sample log and a generated drive, in
// every mode.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/loggen/loggen.h"
#include "charts/matrix_bins.h"
#include "charts/matrix_items.h"
#include "charts/matrix_ranges.h"
#include "charts/matrix_reference.h"
#include "cli/open_options.h"
#include "cli/run_cli.h"
#include "common/number_format.h"
#include "common/text.h"
#include "support/test_support.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

const fs::path kSampleFolder = fs::path(TERVOLIN_CLI).parent_path();

// A log opened in process as the command opens it.
struct Opened {
  AppState state;
  test::ScriptedChannel channel;
  bool ok = false;
  Opened(const fs::path& programDir, const std::string& profile, char mark, const fs::path& file) {
    cli::OpenOptions o;
    o.profile = profile;
    o.programDir = programDir;
    o.decimalMark = mark;
    o.file = file;
    Grid grid;
    ok = cli::openFromOptions("matrix", o, false, state, channel, grid) == 0;
  }
  std::vector<test::RefRecord> records() const {
    std::vector<test::RefRecord> out;
    for (std::size_t i = 0; i < state.records.size(); ++i) {
      const RecordSource& s = state.records.source(i);
      out.push_back({s.requestCode, s.positionField, s.name, std::string(state.records.value(i))});
    }
    return out;
  }
};

// The grid text the command must print: headers and cells by the literal
// rules, every row from row 0, TAB between cells.
std::string referenceGrid(const Opened& log, const std::string& x, const std::string& y, const std::string& data,
                          const QuantTexts& q, int mode) {
  const char mark = log.state.decimalMark;
  const test::RefAxis ax{*parseNumber(q.minX, mark), *parseNumber(q.stepX, mark), *parseNumber(q.maxX, mark)};
  const test::RefAxis ay{*parseNumber(q.minY, mark), *parseNumber(q.stepY, mark), *parseNumber(q.maxY, mark)};
  std::vector<Sample> samples;
  const std::size_t s = test::refBuild(log.records(), log.state.definitions, x, y, data, ax, ay, mark, samples);
  const int nX = test::refBinCount(ax), nY = test::refBinCount(ay);
  const std::vector<std::string> cells = test::refFill(samples, s, nX, nY, mode, mark);
  std::string out;
  for (int k = 0; k <= nX; ++k) out += "\t" + fixedText(ax.min + k * ax.step, 18, 2, mark);
  out += "\n";
  for (int yb = 0; yb <= nY; ++yb) {
    out += fixedText(ay.min + yb * ay.step, 18, 2, mark);
    for (int xb = 0; xb <= nX; ++xb) out += "\t" + cells[static_cast<std::size_t>(yb * (nX + 1) + xb)];
    out += "\n";
  }
  return cp1251ToUtf8(out);
}

struct LogCase {
  fs::path programDir;
  std::string profile;
  char mark;
  fs::path file;
};

// Three definitions whose values all convert and spread, chosen as a user would: the
// X and Y rows of the grid as the range scans write them.
void checkLog(const LogCase& c) {
  SCOPED_TRACE(c.file.filename().string());
  Opened log(c.programDir, c.profile, c.mark, c.file);
  ASSERT_TRUE(log.ok);
  const std::vector<std::string> items = matrixItems(log.state.definitions, log.state.requestCodeWidth);
  std::vector<std::string> numeric;
  for (const std::string& item : items) {
    test::ScriptedChannel quiet;
    const ValueRange r = scanRange(log.state.records, item, c.mark, quiet);
    // A step written as 0,0 would end the build.
    if (quiet.events.empty() && *parseNumber(axisTexts(r, c.mark).step, c.mark) != 0) numeric.push_back(item);
  }
  ASSERT_GE(numeric.size(), 3u);
  const std::string& x = numeric[numeric.size() / 3];
  const std::string& y = numeric[numeric.size() / 2];
  const std::string& data = numeric.back();
  test::ScriptedChannel quiet;
  const AxisTexts tx = axisTexts(scanRange(log.state.records, x, c.mark, quiet), c.mark);
  const AxisTexts ty = axisTexts(scanRange(log.state.records, y, c.mark, quiet), c.mark);
  // The Y range narrowed, so that some samples lie outside every bin.
  const QuantTexts q{tx.min, tx.step, tx.max, ty.min, ty.step,
                     fixedText(*parseNumber(ty.max, c.mark) * 0.7, 18, 2, c.mark)};
  for (int mode = 0; mode < 7; ++mode) {
    const test::CliRun r = test::runCli({"matrix", "--profile", c.profile, "--program-dir", c.programDir.string(),
                                         "--decimal-mark", std::string(1, c.mark), "--x", cp1251ToUtf8(x), "--y",
                                         cp1251ToUtf8(y), "--data", cp1251ToUtf8(data), "--min-x", tx.min, "--step-x",
                                         tx.step, "--max-x", tx.max, "--min-y", q.minY, "--step-y", q.stepY,
                                         "--max-y", q.maxY, "--mode", std::to_string(mode), c.file.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, referenceGrid(log, x, y, data, q, mode)) << "mode " << mode;
    if (mode == 4) {
      // Enough samples in enough cells for the comparison to mean something.
      int filled = 0;
      for (std::size_t at = r.out.find('\n'); at != std::string::npos; at = r.out.find('\t', at + 1))
        if (at + 1 < r.out.size() && r.out[at + 1] >= '1' && r.out[at + 1] <= '9' && r.out[at] == '\t') ++filled;
      EXPECT_GE(filled, 3) << r.out;
    }
  }
}

TEST(CliMatrix, EverySampleLogInEveryModeEqualsTheLiteralWalk) {
  const LogCase cases[] = {
      {kSampleFolder, "Toyota", '.', kSampleFolder / "logs" / "toyota_zapros_otvet.log"},
      {kSampleFolder, "Toyota", ',', kSampleFolder / "logs" / "toyota_interval_comma.log"},
      {kSampleFolder, "Toyota", '.', kSampleFolder / "logs" / "toyota_graph.rtd"},
      {kSampleFolder, "Toyota", '.', kSampleFolder / "logs" / "toyota_scan.xml"},
      {kSampleFolder, "GreatWall", '.', kSampleFolder / "logs" / "greatwall_length_byte.log"},
      {kSampleFolder, "Nissan", '.', kSampleFolder / "logs" / "nissan_6digit.log"},
      {kSampleFolder, "OBDII", '.', kSampleFolder / "logs" / "obd2_kwp.log"},
      {kSampleFolder, "OBDII", '.', kSampleFolder / "logs" / "obd2_elm_adapter.log"},
      {kSampleFolder, "Toyota", ',', kSampleFolder / "logs" / "drive_semicolon.csv"},
  };
  for (const LogCase& c : cases) checkLog(c);
}

TEST(CliMatrix, AGeneratedDriveOfTheBenchmarkProfile) {
  test::TempDir dir;
  auto files = loggen::benchProfileFiles();
  files.push_back({"drive.log", loggen::bigLog(6000)});
  std::string error;
  ASSERT_TRUE(loggen::writeFiles(dir.path(), files, error)) << error;
  checkLog({dir.path(), "Toyota", '.', dir / "drive.log"});
}

class CliMatrixTest : public ::testing::Test {
 protected:
  test::CliRun run(std::vector<std::string> args) {
    const std::vector<std::string> common = {
        "matrix",   "--profile", "Toyota", "--program-dir", kSampleFolder.string(),
        "--x",      "2101/0200 Обороты двигателя", "--y", "2101/0600 Расчётная нагрузка",
        "--data",   "2101/0800 Время впрыска",
        "--min-x",  "800",  "--step-x", "500", "--max-x", "3000",
        "--min-y",  "0",    "--step-y", "20",  "--max-y", "80"};
    args.insert(args.begin(), common.begin(), common.end());
    args.push_back((kSampleFolder / "logs" / "toyota_zapros_otvet.log").string());
    return test::runCli(args);
  }
};

TEST_F(CliMatrixTest, FailuresUsageAndOutputs) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"--mode", "7"}, 1, "tervolin-cli matrix: --mode is a number from 0 to 6"},
      {{"--mode", "x"}, 1, "--mode is a number from 0 to 6"},
      {{"--format", "csv"}, 1, "--format is grid or xlsx"},
      {{"--format", "xlsx"}, 1, "--format xlsx needs --out FILE"},
      {{"--x", "<null>"}, 2, "Вы должны выбрать из списка!"},
      {{"--step-y", "0"}, 2, "Параметры квантования оси Y: шаг равен 0"},
      {{"--min-x", "8OO"}, 2, "Параметры квантования оси X: \"8OO\" - не число"},
      {{"--min-x", "800,5"}, 2, "\"800,5\" - не число"},  // the decimal mark is '.'
  };
  for (const Case& c : cases) {
    const test::CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    if (c.code == 2) {
      EXPECT_EQ(r.out, "");
    }
  }
  // A required option left out.
  const test::CliRun missing = test::runCli({"matrix", "--profile", "Toyota", "--x", "a", "--y", "b", "--data", "c",
                                             (kSampleFolder / "logs" / "obd2_kwp.log").string()});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("--min-x T is required"), std::string::npos) << missing.err;

  // The grid to --out is what standard output gets; the Excel export is a workbook.
  test::TempDir dir;
  const test::CliRun printed = run({"--mode", "4"});
  ASSERT_EQ(printed.code, 0) << printed.err;
  EXPECT_TRUE(printed.out.starts_with("\t800.00\t1300.00\t1800.00\t2300.00\t2800.00\n0.00\t")) << printed.out;
  ASSERT_EQ(run({"--mode", "4", "--out", (dir / "m.txt").string()}).code, 0);
  EXPECT_EQ(test::readFile(dir / "m.txt"), printed.out);
  const test::CliRun xlsx = run({"--format", "xlsx", "--out", (dir / "m.xlsx").string()});
  ASSERT_EQ(xlsx.code, 0) << xlsx.err;
  EXPECT_EQ(xlsx.out, "");
  EXPECT_TRUE(test::readFile(dir / "m.xlsx").starts_with("PK"));
  EXPECT_EQ(run({"--format", "xlsx", "--out", (dir / "no" / "m.xlsx").string()}).code, 2);
}

}  // namespace
}  // namespace tervolin

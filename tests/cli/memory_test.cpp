// Runs the built tervolin-cli on files bigger than the memory it may use: a
// sparse file of 1 GB under an address-space limit of 768 MB. Every kind of
// file fails with our message and exit 2, never an abort.

#include <gtest/gtest.h>

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

TEST(CliMemory, SparseGigabyteFilesFailCleanlyUnderAMemoryLimit) {
  test::TempDir dir;
  test::writeFile(dir / "pids" / "Toyota" / "Powertrain" / "pids.ini",
                  definitionFileText(std::vector<ParamDef>{{"2101", "Tw", "C", "0000", "", 0}}));
  test::writeFile(dir / "Toyota" / "formules.ini", "21010000FT\r\n");
  const test::CliSetting limited{{}, {"prlimit", "--as=" + std::to_string(768u << 20)}};
  for (const char* name : {"big.log", "big.rtd", "big.xml", "big.csv"}) {
    const fs::path file = dir / name;
    test::writeFile(file, "");
    fs::resize_file(file, std::uintmax_t{1} << 30);
    for (const char* view : {"table", "log"}) {
      const test::CliRun r = test::runCli(
          {"table", "--profile", "Toyota", "--program-dir", dir.path().string(), "--view", view, file.string()}, {},
          limited);
      EXPECT_EQ(r.code, 2) << name << " " << view << ": " << r.err;
      EXPECT_EQ(r.err, "Недостаточно памяти для открытия файла " + file.string() +
                           ". Открытый ранее файл и таблица остались как были.\n")
          << name << " " << view;
    }
    fs::remove(file);
  }
}

}  // namespace
}  // namespace tervolin

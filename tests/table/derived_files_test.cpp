// The derived definition files put back after an open that did not finish:
// old contents written back, files made since removed again, whatever the
// letter case of their names.

#include "table/derived_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace tervolin {
namespace {
namespace fs = std::filesystem;

TEST(DerivedFiles, RestorePutsBackWhatWasThere) {
  test::TempDir dir;
  test::writeFile(dir / "_USESTBLPIDS.INI", "2101\r\nTw\r\nC\r\n0000\r\n");
  const DerivedFiles taken = DerivedFiles::take(dir.path());
  // The open that did not finish: the used-parameter file rewritten, a
  // graph file's _tmp.ini made.
  test::writeFile(dir / "_USESTBLPIDS.INI", "2102\r\nTa\r\nC\r\n0000\r\n");
  test::writeFile(dir / "_tmp.ini", "2101\r\n");
  ASSERT_TRUE(taken.restore());
  EXPECT_EQ(test::readFile(dir / "_USESTBLPIDS.INI"), "2101\r\nTw\r\nC\r\n0000\r\n");
  EXPECT_FALSE(fs::exists(dir / "_tmp.ini"));
  // Nothing changed since: nothing is written.
  const auto stamp = fs::last_write_time(dir / "_USESTBLPIDS.INI");
  ASSERT_TRUE(taken.restore());
  EXPECT_EQ(fs::last_write_time(dir / "_USESTBLPIDS.INI"), stamp);
  // A file made since under another letter case is removed too.
  const DerivedFiles none = DerivedFiles::take(dir / "empty");
  fs::create_directory(dir / "empty");
  test::writeFile(dir / "empty" / "_usesTblPids.ini", "x");
  EXPECT_TRUE(none.restore());
  EXPECT_FALSE(fs::exists(dir / "empty" / "_usesTblPids.ini"));
  // Without a working folder there is nothing to take.
  EXPECT_TRUE(DerivedFiles::take({}).restore());
}

}  // namespace
}  // namespace tervolin

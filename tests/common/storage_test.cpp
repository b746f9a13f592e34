#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <string>

#include "common/atomic_file.h"
#include "common/registry.h"
#include "common/paths.h"
#include "common/record_list.h"
#include "support/test_support.h"

namespace tervolin {
namespace {

TEST(TextArena, KeepsTextsOfEverySizeAcrossChunks) {
  TextArena arena(64);
  std::vector<std::pair<TextRef, std::string>> added;
  for (int i = 0; i < 500; ++i) {
    std::string text(static_cast<std::size_t>(i % 200), static_cast<char>('a' + i % 26));
    added.emplace_back(arena.add(text), text);
  }
  for (const auto& [ref, text] : added) EXPECT_EQ(arena.get(ref), text);
  EXPECT_EQ(arena.add(""), kEmptyText);
  EXPECT_EQ(arena.get(kEmptyText), "");
}

TEST(RecordList, GrowsInBlocksAndCutsSourceTexts) {
  RecordList list;
  const auto src = list.addSource({"210102030405", "00001", "километры/час", "Имя"});
  EXPECT_EQ(list.sources()[src].requestCode, "21010203");
  EXPECT_EQ(list.sources()[src].positionField, "0000");
  EXPECT_EQ(list.sources()[src].unit.size(), 10u);
  const std::size_t n = RecordList::kBlock * 2 + 5;
  for (std::size_t i = 0; i < n; ++i) list.append(static_cast<int>(i), src, std::to_string(i));
  ASSERT_EQ(list.size(), n);
  EXPECT_EQ(list.value(RecordList::kBlock), std::to_string(RecordList::kBlock));
  EXPECT_EQ(list.at(n - 1).ordinal, static_cast<int>(n - 1));
  const auto oldArena = list.arena();
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(oldArena->get(oldArena->add("kept")), "kept");  // a grid may still hold the old one
}

TEST(MemoryRegistry, KeysValuesAndSubtrees) {
  MemoryRegistry reg;
  EXPECT_FALSE(reg.keyExists("Software\\Tervolin"));
  ASSERT_TRUE(reg.createKey("Software\\Tervolin\\Toyota\\Col_Width"));
  EXPECT_TRUE(reg.keyExists("software\\tervolin"));  // parents exist, names fold case
  EXPECT_TRUE(reg.writeInt("Software\\Tervolin", "TablOnly", 1));
  EXPECT_TRUE(reg.writeString("Software\\Tervolin", "", "empty name"));
  EXPECT_EQ(reg.readInt("Software\\Tervolin", "TablOnly"), 1);
  EXPECT_FALSE(reg.readString("Software\\Tervolin", "TablOnly"));  // kinds stay apart
  EXPECT_EQ(reg.readString("Software\\Tervolin", ""), "empty name");
  EXPECT_EQ(reg.subKeys("Software\\Tervolin"), std::vector<std::string>{"Toyota"});
  EXPECT_TRUE(reg.deleteKey("Software\\Tervolin\\Toyota"));
  EXPECT_FALSE(reg.keyExists("Software\\Tervolin\\Toyota\\Col_Width"));
  EXPECT_TRUE(reg.keyExists("Software\\Tervolin"));
  reg.setReadOnly(true);
  EXPECT_FALSE(reg.writeInt("Software\\Tervolin", "GraphOnly", 0));
}

TEST(Paths, ResolveIgnoringCaseAndAtomicWrite) {
  test::TempDir dir;
  test::writeFile(dir / "Toyota" / "Formules.ini", "x");
  EXPECT_EQ(resolveIgnoringCase(dir.path(), "toyota\\FORMULES.INI"), dir / "Toyota" / "Formules.ini");
  EXPECT_TRUE(fileExistsIgnoringCase(dir.path(), "TOYOTA/formules.ini"));
  EXPECT_FALSE(fileExistsIgnoringCase(dir.path(), "toyota\\pids.ini"));
  EXPECT_EQ(resolveIgnoringCase(dir.path(), "nissan\\pids.ini"), dir / "nissan" / "pids.ini");
  ASSERT_TRUE(writeFileAtomically(dir / "out.txt", "data"));
  EXPECT_EQ(test::readFile(dir / "out.txt"), "data");
  EXPECT_FALSE(writeFileAtomically(dir / "missing" / "out.txt", "data"));
  std::string bytes;
  EXPECT_TRUE(readWholeFile(dir / "out.txt", bytes));
  EXPECT_EQ(bytes, "data");
}

TEST(Paths, AtomicWriteFollowsLinksAndWritesSpecialFilesInPlace) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  // A symbolic link: the file it names gets the bytes, the link stays; a
  // link to a link is followed to its end.
  test::writeFile(dir / "real.txt", "old");
  fs::create_directory(dir / "sub");
  fs::create_symlink("../real.txt", dir / "sub" / "link.txt");
  fs::create_symlink("sub/link.txt", dir / "link2.txt");
  ASSERT_TRUE(writeFileAtomically(dir / "link2.txt", "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "link2.txt"));
  EXPECT_TRUE(fs::is_symlink(dir / "sub" / "link.txt"));
  EXPECT_EQ(test::readFile(dir / "real.txt"), "new");
  // A link to a file not there yet: the file is made where the link points.
  fs::create_symlink("made.txt", dir / "ahead.txt");
  ASSERT_TRUE(writeFileAtomically(dir / "ahead.txt", "made"));
  EXPECT_TRUE(fs::is_symlink(dir / "ahead.txt"));
  EXPECT_EQ(test::readFile(dir / "made.txt"), "made");
  // A loop of links is refused and left alone.
  fs::create_symlink("loop2", dir / "loop1");
  fs::create_symlink("loop1", dir / "loop2");
  EXPECT_FALSE(writeFileAtomically(dir / "loop1", "x"));
  EXPECT_TRUE(fs::is_symlink(dir / "loop1"));

  // A FIFO is written in place and stays a FIFO: the reader already waiting
  // on its other end gets the bytes.
  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(writeFileAtomically(fifo, "through the pipe"));
  char received[64] = {};
  const ssize_t got = ::read(reader, received, sizeof received);
  ::close(reader);
  EXPECT_EQ(std::string(received, got > 0 ? static_cast<std::size_t>(got) : 0), "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));

  // No temporary file is left behind by any of them.
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(AtomicFile, PiecesAppearWholeOrNotAtAll) {
  test::TempDir dir;
  test::writeFile(dir / "dump.txt", "before");
  {
    AtomicFile dropped(dir / "dump.txt");
    ASSERT_TRUE(dropped.ok());
    EXPECT_TRUE(dropped.write("half"));
  }
  EXPECT_EQ(test::readFile(dir / "dump.txt"), "before");
  AtomicFile file(dir / "dump.txt");
  for (const char* piece : {"0", "1", "2"}) EXPECT_TRUE(file.write(piece));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(test::readFile(dir / "dump.txt"), "012");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
  AtomicFile nowhere(dir / "missing" / "x.txt");
  EXPECT_FALSE(nowhere.ok());
  EXPECT_FALSE(nowhere.commit());
}

}  // namespace
}  // namespace tervolin

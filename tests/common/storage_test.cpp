#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

#include "common/atomic_file.h"
#include "common/file_bytes.h"
#include "common/parallel.h"
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

// Arenas filled apart, each in its own class of chunk numbers, joined
// without copying: every ref of every part names its text afterwards, and
// texts added later to the joined arena get refs of their own.
TEST(TextArena, PartsJoinWithTheirRefsKept) {
  std::vector<std::unique_ptr<TextArena>> parts;
  std::vector<std::vector<std::pair<TextRef, std::string>>> added(3);
  for (std::uint32_t k = 0; k < 3; ++k) {
    parts.push_back(std::make_unique<TextArena>(64, TextArena::SlotClass{1 + k, 3}));
    for (int i = 0; i < 300; ++i) {
      std::string text(static_cast<std::size_t>(1 + (i * 7 + static_cast<int>(k)) % 150), static_cast<char>('a' + k));
      added[k].emplace_back(parts[k]->add(text), text);
    }
  }
  TextArena& joined = *parts[0];
  joined.adopt(std::move(*parts[1]));
  joined.adopt(std::move(*parts[2]));
  const TextRef later = joined.add("later");
  for (const auto& part : added)
    for (const auto& [ref, text] : part) ASSERT_EQ(joined.get(ref), text);
  EXPECT_EQ(joined.get(later), "later");
  const std::unique_ptr<TextArena> copy = joined.clone();
  for (const auto& [ref, text] : added[2]) EXPECT_EQ(copy->get(ref), text);
  // Two arenas of one class cannot be joined.
  TextArena a(64), b(64);
  a.add("x");
  b.add("y");
  EXPECT_THROW(a.adopt(std::move(b)), std::logic_error);
}

// Records are packed unless a block's ordinals spread too far or a source
// number is too big; either way they read back as appended, by index and
// block by block.
TEST(RecordList, PackedAndWideBlocksReadBackTheSame) {
  RecordList list;
  std::vector<LogRecord> expected;
  std::mt19937 rng(3);
  const std::size_t n = RecordList::kBlock * 3 + 17;
  std::int32_t ordinal = 1;
  for (std::size_t i = 0; i < n; ++i) {
    if (rng() % 10 == 0) ++ordinal;
    // A jump of millions in block 1 and a source past 2047 in block 2.
    if (i == RecordList::kBlock + 5) ordinal += 5'000'000;
    const std::uint32_t source = i == 2 * RecordList::kBlock + 9 ? 70000 : static_cast<std::uint32_t>(rng() % 40);
    const TextRef ref = list.append(ordinal, source, std::to_string(i % 97));
    expected.push_back({ordinal, source, ref});
  }
  ASSERT_EQ(list.size(), n);
  ASSERT_EQ(list.blockCount(), 4u);
  std::size_t i = 0;
  for (std::size_t k = 0; k < list.blockCount(); ++k)
    for (const LogRecord r : list.block(k)) {
      ASSERT_EQ(r.ordinal, expected[i].ordinal) << i;
      ASSERT_EQ(r.source, expected[i].source) << i;
      ASSERT_EQ(r.value, expected[i].value) << i;
      ++i;
    }
  EXPECT_EQ(i, n);
  EXPECT_EQ(list.at(2 * RecordList::kBlock + 9).source, 70000u);
  EXPECT_EQ(list.value(n - 1), std::to_string((n - 1) % 97));
}

// Copies share the records until one of them changes; the first change
// gives it storage of its own, and the other keeps what it had.
TEST(RecordList, CopiesShareUntilChanged) {
  RecordList list;
  const std::uint32_t src = list.addSource({"2101", "0000", "u", "A"});
  for (int i = 0; i < 10; ++i) list.append(i, src, "v" + std::to_string(i));
  RecordList copy = list;
  EXPECT_EQ(copy.arena(), list.arena());
  copy.append(10, src, "added");
  EXPECT_EQ(list.size(), 10u);
  EXPECT_EQ(copy.size(), 11u);
  EXPECT_NE(copy.arena(), list.arena());
  EXPECT_EQ(copy.value(3), "v3");
  EXPECT_EQ(copy.value(10), "added");
  RecordList cleared = list;
  cleared.clear();
  EXPECT_TRUE(cleared.empty());
  EXPECT_EQ(list.value(9), "v9");
  RecordList moved = std::move(list);
  EXPECT_EQ(moved.size(), 10u);
  EXPECT_TRUE(list.empty());  // NOLINT: a moved-from list is empty and usable
  list.append(1, 0, "again");
  EXPECT_EQ(list.value(0), "again");
}

// Pieces read apart are joined in order: their blocks are taken over (each
// piece's last block left short), their ordinals moved on, and records
// appended afterwards, by the appender too, land after them.
TEST(RecordList, PartsJoinInOrderWithTheirOrdinalsMovedOn) {
  const std::size_t sizes[] = {RecordList::kBlock + 10, 7, 0, 2 * RecordList::kBlock};
  RecordList joined = RecordList().forPart(0, 4);
  std::vector<std::pair<std::int32_t, std::string>> expected;
  std::uint32_t shift = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    RecordList part = joined.forPart(k, 4);
    RecordList& into = k == 0 ? joined : part;
    for (std::size_t i = 0; i < sizes[k]; ++i) {
      const auto ordinal = static_cast<std::int32_t>(i / 3 + 1);
      const std::string value = std::to_string(k) + ":" + std::to_string(i % 50);
      if (i % 2 == 0) {
        into.append(ordinal, 1, value);
      } else {
        RecordList::Appender appender(into);
        appender.append(ordinal, 1, appender.add(value));
      }
      expected.emplace_back(static_cast<std::int32_t>(ordinal + shift), value);
    }
    if (k > 0) joined.appendPart(std::move(part), shift);
    shift += static_cast<std::uint32_t>(sizes[k] / 3 + 1);
  }
  {
    RecordList::Appender appender(joined);
    for (int i = 0; i < 5; ++i) appender.append(99, 1, appender.add("tail"));
    expected.insert(expected.end(), 5, {99, "tail"});
  }
  ASSERT_EQ(joined.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); i += 997) {
    ASSERT_EQ(joined.at(i).ordinal, expected[i].first) << i;
    ASSERT_EQ(joined.value(i), expected[i].second) << i;
  }
  std::size_t i = 0;
  for (std::size_t k = 0; k < joined.blockCount(); ++k)
    for (const LogRecord r : joined.block(k)) {
      ASSERT_EQ(r.ordinal, expected[i].first) << i;
      ASSERT_EQ(joined.arena()->get(r.value), expected[i].second) << i;
      ++i;
    }
  EXPECT_EQ(i, expected.size());
}

// The bytes of a file: mapped when it is a regular file, read otherwise;
// nothing for a missing file or a folder. A mapped file that shrinks under
// the reader reads as zero bytes past its new end instead of ending the
// program.
TEST(FileBytes, MappedReadOrNothing) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  test::writeFile(dir / "log.txt", "TxD 82 10 F1\r\n");
  const auto bytes = FileBytes::read(dir / "log.txt");
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(bytes->mapped());
  EXPECT_EQ(bytes->view(), "TxD 82 10 F1\r\n");
  test::writeFile(dir / "empty.txt", "");
  ASSERT_TRUE(FileBytes::read(dir / "empty.txt"));
  EXPECT_EQ(FileBytes::read(dir / "empty.txt")->view(), "");
  EXPECT_FALSE(FileBytes::read(dir / "missing.txt"));
  EXPECT_FALSE(FileBytes::read(dir.path()));
  EXPECT_EQ(FileBytes::hold("made")->view(), "made");

  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { test::writeFile(fifo, "through the pipe"); });
  const auto piped = FileBytes::read(fifo);
  writer.join();
  ASSERT_TRUE(piped);
  EXPECT_FALSE(piped->mapped());
  EXPECT_EQ(piped->view(), "through the pipe");

  const std::string big(1 << 20, 'A');
  test::writeFile(dir / "shrinks.txt", big);
  const auto mapped = FileBytes::read(dir / "shrinks.txt");
  ASSERT_TRUE(mapped && mapped->mapped());
  fs::resize_file(dir / "shrinks.txt", 4096);
  const std::string_view view = mapped->view();
  EXPECT_EQ(view[100], 'A');
  EXPECT_EQ(view[view.size() - 1], '\0');
  EXPECT_EQ(view[8192], '\0');
}

// Parts run at once; the first part's exception comes back after all have
// ended, and the wait reports while other parts still run.
TEST(Parallel, PartsRunAtOnceAndTheirFailureComesBack) {
  std::atomic<int> ran{0};
  runParts(4, [&](std::size_t) { ++ran; });
  EXPECT_EQ(ran, 4);
  ran = 0;
  try {
    runParts(3, [&](std::size_t part) {
      ++ran;
      if (part >= 1) throw std::runtime_error("part " + std::to_string(part));
    });
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "part 1");
  }
  EXPECT_EQ(ran, 3);
  std::atomic<bool> release{false};
  int waited = 0;
  runParts(
      2,
      [&](std::size_t part) {
        if (part == 1)
          while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      },
      [&] {
        if (++waited == 2) release = true;
      });
  EXPECT_GE(waited, 2);
  EXPECT_GE(processorParts(), 1u);
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

#include <gtest/gtest.h>

#include <string>

#include "common/paths.h"
#include "common/record_list.h"
#include "common/registry.h"
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

}  // namespace
}  // namespace tervolin

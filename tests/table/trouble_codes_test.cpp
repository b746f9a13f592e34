// DTC.xml: groups by profile, entries from the second on, the last match,
// encodings, the declaration, and what counts as no root.

#include "table/trouble_codes.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace tervolin {
namespace {

std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }

TEST(TroubleCodes, GroupsByProfile) {
  EXPECT_EQ(troubleCodeGroup("B1797V"), w("М 7.4"));
  EXPECT_EQ(troubleCodeGroup("b1797v"), w("М 7.4"));
  EXPECT_EQ(troubleCodeGroup("B797"), "M7.9.7");
  EXPECT_EQ(troubleCodeGroup("Chery"), "OBD-II");
  EXPECT_EQ(troubleCodeGroup(""), "OBD-II");
  EXPECT_EQ(static_cast<unsigned char>(troubleCodeGroup("B1797V")[0]), 0xCC);  // Cyrillic EM
}

TEST(TroubleCodes, EntriesFromTheSecondOnAndTheLastMatchWins) {
  const TroubleCodeFile file = TroubleCodeFile::parse(
      "<DTC>"
      "<G Name=\"A\"><C Name=\"P0001\" Description=\"first child\"/><C Name=\"P0002\" Description=\"two\"/></G>"
      "<G Name=\"B\"><C Name=\"P0002\" Description=\"other group\"/></G>"
      "<G Name=\"A\"><!-- a comment is no entry --><C Name=\"x\"/><C Name=\"P0002\" Description=\"later\"/>"
      "<C Name=\"P0003\"/></G>"
      "</DTC>");
  ASSERT_EQ(file.status(), TroubleCodeFile::Status::Loaded);
  EXPECT_EQ(file.describe("A", "P0001"), "");
  EXPECT_EQ(file.describe("A", "P0002"), "later");
  EXPECT_EQ(file.describe("B", "P0002"), "");  // the first child of B is never read
  EXPECT_EQ(file.describe("A", "P0003"), "");
  EXPECT_EQ(file.describe("A", "p0002"), "");  // codes compare exactly
}

TEST(TroubleCodes, EncodingsAreTurnedIntoWindows1251) {
  const std::string entries = std::string("<DTC><G Name=\"М 7.4\"><C/><C Name=\"P0100\" Description=\"Датчик ДМРВ\"/></G></DTC>");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"UTF-8 without a declaration", entries},
      {"UTF-8 declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + entries},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + entries},
      {"Windows-1251 declared", "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>" + w(entries)},
  };
  for (const auto& c : cases) {
    const TroubleCodeFile file = TroubleCodeFile::parse(c.bytes);
    ASSERT_EQ(file.status(), TroubleCodeFile::Status::Loaded) << c.what;
    EXPECT_EQ(file.describe(w("М 7.4"), "P0100"), w("Датчик ДМРВ")) << c.what;
  }
  // UTF-16 with its mark.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<D><G Name=\"OBD-II\"><C/><C Name=\"P1\" Description=\"x\"/></G></D>")) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_EQ(TroubleCodeFile::parse(utf16).describe("OBD-II", "P1"), "x");
}

TEST(TroubleCodes, RootDeclarationAndFailures) {
  EXPECT_EQ(TroubleCodeFile::parse("").status(), TroubleCodeFile::Status::NoRoot);
  EXPECT_EQ(TroubleCodeFile::parse("<?xml version=\"1.0\"?>").status(), TroubleCodeFile::Status::NoRoot);
  EXPECT_EQ(TroubleCodeFile::parse("<!-- only -->").status(), TroubleCodeFile::Status::NoRoot);
  const TroubleCodeFile broken = TroubleCodeFile::parse("<DTC><G></DTC>");
  EXPECT_EQ(broken.status(), TroubleCodeFile::Status::Failed);
  EXPECT_EQ(broken.error(), w("Ошибка чтения DTC.xml: Start-end tags mismatch (позиция 10)"));
  const TroubleCodeFile missing = TroubleCodeFile::read("/nonexistent/DTC.xml");
  EXPECT_EQ(missing.status(), TroubleCodeFile::Status::Failed);
  EXPECT_EQ(missing.error(), w("Ошибка чтения DTC.xml: File was not found"));
  // Garbage and truncated input never crash.
  EXPECT_NE(TroubleCodeFile::parse(std::string("\0\xFF<D", 4)).status(), TroubleCodeFile::Status::Loaded);
  EXPECT_EQ(TroubleCodeFile::parse("<DTC><G Name=\"A\"><C Name=\"P1\" Descr").status(), TroubleCodeFile::Status::Failed);
}

}  // namespace
}  // namespace tervolin

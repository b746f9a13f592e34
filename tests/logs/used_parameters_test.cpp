// The one-pass used-parameter selection against a literal rendering of the
// per-definition algorithm (re-read the log for every definition, carrying
// the extra offset), on generated logs of every profile family.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "logs/log_generator.h"
#include "logs/layout_detection.h"
#include "logs/log_lines.h"
#include "logs/used_parameters.h"
#include "support/literal_strings.h"

namespace tervolin {
namespace {

using test::LogFamily;
using test::has;

// --- Reference: the algorithm as described, one scan per definition. ---

std::vector<std::size_t> referenceSelection(const std::string& logText, const std::vector<ParamDef>& defs,
                                            const LogLayout& layout, const std::string& profile,
                                            int lengthOffset) {
  std::vector<std::size_t> used;
  int extra = lengthOffset == 3 ? 2 : 0;
  const std::string ecu = test::withoutBlanks(layout.ecuPair);
  for (std::size_t d = 0; d < defs.size(); ++d) {
    const std::string& code = defs[d].requestCode;
    std::string pattern;
    const std::string head = test::copyOf(code, 1, 2);
    bool hex = !head.empty();
    for (const char c : head) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (hex) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(std::stoul(head, nullptr, 16) + 0x40));
      pattern = buf + test::copyOf(code, 3, 1000);
    }
    bool found = false;
    LogLines lines(logText);
    std::string_view view;
    while (!found && lines.next(view)) {
      const std::string line(view);
      if (has(line, "TxD") || has(line, "Запрос"_w)) {
        const std::string s = test::copyOf(line, layout.testerPosition + 6, 5);
        const std::string up = test::upperOf(profile);
        if (up == "B797" || up == "B1797V" || up == "M11E2") extra = s == "21 01" ? 2 : 0;
        else if (profile == "M11E3") extra = s == "21 07" ? 2 : 0;
        else if (profile == "M103E2") extra = (test::upperOf(s) == "21 E0" || s == "21 03") ? 2 : 0;
      }
      if (!has(line, "RxD") && !has(line, "Ответ"_w)) continue;
      const std::string compact = test::withoutBlanks(line);
      if (test::posOf(ecu, compact) == 0) continue;
      if (!pattern.empty() && test::posOf(pattern, test::upperOf(compact)) == test::posOf(ecu, compact) + 4 + extra) found = true;
    }
    if (found) used.push_back(d);
  }
  return used;
}

// --- Equivalence on generated logs. ---

struct FamilyCase {
  LogFamily family;
  const char* profile;
  int lengthOffset;
};

const FamilyCase kFamilies[] = {
    {LogFamily::Ordinary, "VAZ", 0},        {LogFamily::LengthByte, "Chery", 3}, {LogFamily::LengthByte, "VAZ", 0},
    {LogFamily::RussianWords, "VAZ", 0},    {LogFamily::Adapter, "VAZ", 0},
    {LogFamily::LengthByte, "B797", 3},     {LogFamily::LengthByte, "b1797v", 3},
    {LogFamily::LengthByte, "M11E2", 3},    {LogFamily::LengthByte, "M11E3", 3},
    {LogFamily::LengthByte, "M103E2", 3},   {LogFamily::LengthByte, "B154R", 3},
    {LogFamily::LengthByte, "m11e3", 3},    {LogFamily::SixDigit, "Nissan", 0},
    {LogFamily::LengthByte, "M11E3", 0},
};

TEST(UsedParameterSelection, OnePassMatchesPerDefinitionScanOnEveryFamily) {
  for (const FamilyCase& fc : kFamilies) {
    std::size_t foundTotal = 0, definitionTotal = 0;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
      const auto log = test::generateLog(fc.family, seed * 7919 + static_cast<std::uint32_t>(fc.family), 4 + seed % 40);
      const LogLayout layout = detectLayout(log.text);
      const auto expected = referenceSelection(log.text, log.definitions, layout, fc.profile, fc.lengthOffset);
      const auto actual = selectUsedDefinitions(log.text, log.definitions, layout, fc.profile, fc.lengthOffset);
      ASSERT_EQ(actual, expected) << fc.profile << " seed " << seed << "\n" << log.text;
      for (const std::size_t pieces : {2, 5})
        ASSERT_EQ(selectUsedDefinitions(log.text, log.definitions, layout, fc.profile, fc.lengthOffset, {0, pieces}),
                  expected)
            << fc.profile << " seed " << seed << ", " << pieces << " pieces";
      foundTotal += expected.size();
      definitionTotal += log.definitions.size();
    }
    // The generated logs must exercise both outcomes.
    EXPECT_GT(foundTotal, 0u) << fc.profile;
    EXPECT_LT(foundTotal, definitionTotal) << fc.profile;
  }
}

// The extra offset reached at the end of one definition's search is where the
// next definition's search starts: a response before the first request is
// judged with the carried offset.
TEST(UsedParameterSelection, ExtraOffsetCarriesFromOneDefinitionToTheNext) {
  const std::string log =
      "RxD 80 F1 10 03 61 07 11 22\r\n"   // before any request: length byte, offset 2 needed
      "RxD 83 F1 10 61 03 33 44\r\n"      // before any request: no length byte, offset 0 needed
      "TxD 82 10 F1 21 01 A5\r\n"         // B797: offset becomes 2
      "RxD 80 F1 10 04 61 01 7B 2C 5E\r\n"
      "TxD 82 10 F1 21 05 A5\r\n"         // offset becomes 0
      "RxD 83 F1 10 61 05 01 02\r\n";
  const LogLayout layout = detectLayout(log);
  ASSERT_EQ(layout.ecuPair, "F1 10");
  auto def = [](const char* code) { ParamDef d; d.requestCode = code; d.positionField = "0000"; return d; };
  struct Case {
    std::vector<const char*> codes;
    std::vector<std::size_t> used;
  };
  const Case cases[] = {
      // 2107 found in line 1 with the start offset 2; 2103 then needs 0 but
      // the carried offset is still 2 before the first request, and after it
      // 2103 never appears again.
      {{"2107", "2103"}, {0}},
      // 2105 is found after the last request (offset 0 carried), so 2103 is
      // judged with 0 and found in line 2; 2107 then needs 2 but 0 is carried.
      {{"2105", "2103", "2107"}, {0, 1}},
      // A definition never found carries the offset of the last request (0).
      {{"2199", "2103"}, {1}},
      {{"2101", "2107"}, {0, 1}},
  };
  for (const Case& c : cases) {
    std::vector<ParamDef> defs;
    for (const char* code : c.codes) defs.push_back(def(code));
    EXPECT_EQ(selectUsedDefinitions(log, defs, layout, "B797", 3), c.used) << c.codes[0];
    EXPECT_EQ(referenceSelection(log, defs, layout, "B797", 3), c.used) << c.codes[0];
  }
}

TEST(UsedParameterSelection, ResponsePatternAddsTheResponseBitToTheService) {
  const struct {
    const char* code;
    const char* pattern;
  } cases[] = {{"2101", "6101"}, {"22F40C", "62F40C"}, {"0105", "4105"}, {"21e0", "61e0"},
               {"C1", "101"},    {"2", "42"},          {"ZZ01", ""},     {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(responsePattern(c.code), c.pattern) << c.code;
}

TEST(UsedParameterSelection, NothingIsFoundWithoutAnEcuPair) {
  const auto log = test::generateLog(LogFamily::Ordinary, 5, 20);
  EXPECT_TRUE(selectUsedDefinitions(log.text, log.definitions, LogLayout{}, "VAZ", 0).empty());
}

}  // namespace
}  // namespace tervolin

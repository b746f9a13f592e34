// End-to-end decoding through the batch interface that scripts and outside
// checks use: one tab-separated line in, one UTF-8 value line out. The cases
// pin the rules that are easy to get subtly wrong: words formed from the
// slot texts, the four-byte failure that ends every two-byte code, single
// reads at the word position, position codes and positional bit tests, the
// index rules of "01B2", and the character conversion of the output.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decode/decode_batch.h"

namespace tervolin {
namespace {

struct Case {
  std::string_view line;      // formula, position, request, inverse, data
  std::string_view expected;  // the output line without its line feed
};

std::string decodeLine(std::string_view line, char mark = '.') {
  std::string out;
  decodeBatch(line, mark, out);
  EXPECT_FALSE(out.empty()) << line;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void expectAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(decodeLine(c.line), c.expected) << "input: " << c.line;
}

TEST(DecodeConformance, WordsAreFormedFromSlotTexts) {
  expectAll({
      {"FR\t0000\t\t0\t1AF", "108"},          // slots 1A, F: word 1AF = 431, 107.75
      {"FO\t0000\t\t1\t1A F", "3866"},         // switched: slot 1 "F" then slot 0 "1A" = F1A
      {"FO\t0000\t\t1\t001AF", "6656"},        // five characters make two slots: 1A then 00
      {"FO\t0000\t\t1\t1A", "26"},             // slot p empty: the word is slot q alone
      {"FO\t0000\t\t0\t1A", "26"},
      {"FO\t0100\t\t0\t1A", ""},               // both slots empty
      {"FO\t0000\t\t0\t1AZZ", ""},             // second slot not hex
      {"FO\t0000\t\t0\t1A\\tF8", ""},          // a tab in the data is a non-hex character
      {"FO\t0000\t\t0\t1A  F8", "6904"},       // only blanks are removed
      {"FO\t0000\t\t0\t1a f8", "6904"},
      {"X4\t0000\t\t0\tFF", "-65281"},         // sign from slot p even when the word is one byte
      {"X4\t0000\t\t1\tFE FF", "-2"},          // switched: the sign byte is slot i + 1
      {"X4\t0000\t\t1\t7F", "127"},            // switched, slot p empty: no sign byte
      {"X4\t0100\t\t0\tFF F", "15"},           // one-character slot read as the number F
  });
}

TEST(DecodeConformance, FourByteFailureEndsEveryWordCode) {
  expectAll({
      {"FR\t0000\t\t0\t1AF8ZZZZ", ""},         // four characters, not hex: no value
      {"FR\t0000\t\t0\t1AF8ZZZ", "1726"},      // p+2 two characters, q+2 one: the four-byte value is 0
      {"FR\t0000\t\t0\t1AF8ZZ", "1726"},       // q+2 empty
      {"F5\t0000\t\t0\t1AF8 0Z 11", ""},
      {"FT\t0000\t\t0\t7BZZZZZZ", "83"},       // single-byte codes never form the word
      {"C1\t0000\t\t0\t00 01 86 A0", "10000.00"},
      {"C1\t0000\t\t1\t01 00 A0 86", "10000.00"},  // switched: 0001 and 86A0
      {"C1\t0000\t\t0\t00 01 86", "0.00"},     // not both two characters: 0
      {"VO\t0000\t\t0\t12 34", "-2.8125"},
      {"NR\t0000\t\t0\t1F40", "1.0000E+005"},  // 100000 needs six integer digits
  });
}

TEST(DecodeConformance, SingleReadsOfWordCodesUseTheWordPosition) {
  expectAll({
      {"CI\t0000\t\t0\t00 04 05", "31.250"},   // 0 * 2 + 125 / 4
      {"CI\t0000\t\t1\t00 04 05", "33.000"},   // switched: 4 * 2 + 125 / 5
      {"CI\t0000\t\t1\t00 04 00", ""},         // division by zero
      {"CI\t0000\t\t1\t00 04", ""},            // Bp absent
      {"vM\t0000\t\t0\t80 00 00 00 00 00 00 00 00 00 40 00", "1.002"},
      {"vM\t0000\t\t1\t80 00 00 00 00 00 00 00 00 00 40 00", "0.000"},
      {"v7\t0000\t\t0\t80 00 00 00 00 00 00 00 00 00 40 00", "-2.044"},
      {"vM\t0000\t\t1\t80 00 00 00 00 00 00 00 00 00 40", ""},  // slot 11 absent
  });
}

TEST(DecodeConformance, PositionFieldRules) {
  expectAll({
      {"FT\t000\t\t0\t7B", "Ошибка в Pids.ini"},
      {"\t000\t0100\t0\t7B", "Ошибка в Pids.ini"},
      {"FT\tG000\t\t0\t7B", ""},               // index not hex: no byte selected
      {"FR\tG000\t\t1\t1A F8", ""},
      {"FT\t00000\t\t0\t7B", "83"},            // characters after the fourth are not read
      {"\tG000\t01E9\t0\t01 02 03 04", "1"},   // index not hex: K = 0
      {"\t03ZZ\t01E9\t0\t01 02 03 04", "1"},   // selector not hex: K = 0
      {"\t0300\t01E9\t0\t01 02 03 04", "4"},
      {"\t0008\t01E9\t0\t01 02 03 04", "Нет данных"},
      {"B8\t0010\t\t0\t80", "Да"},             // selectors from 10 test the top bit
      {"B8\t0007\t\t0\tFF", "Нет"},            // selectors below 08 lie outside the byte
      {"B8\t0108\t\t0\t007", "Да"},            // one-character last slot: the number 7
      {"FH\t0000\t\t0\tAb", "Ab"},
      {"FH\t0100\t\t0\tAb C", "C"},
  });
}

TEST(DecodeConformance, PositionalBitTests) {
  expectAll({
      {"\t0008\t01BB\t0\t01", "Да"},          // K = 1: position 8, bit 0
      {"\t000F\t01BB\t0\t80", "Да"},          // K = 8: position 1, bit 7
      {"\t0010\t01BB\t0\t80", "Да"},          // K = 9: position 0 reads the first character
      {"\t0100\t01BB\t0\t80", "Да"},          // K = 10: position -1, first character
      {"\t0007\t01BB\t0\tFF", "Нет"},         // K = 0: position 9, no character
      {"\t0001\t01BB\t0\tFF", "Нет"},         // K = -6: position 15
      {"\t0007\t01EC\t0\t00", "False"},       // no character is not "0"
      {"\t0008\t01EC\t0\tFE", "OK"},
      {"\t0108\t01E8\t0\t00 01", "Да"},       // K = 11: B at position 8
      {"\t0208\t01E8\t0\t00 00 01", "Да"},    // K = 21: C at position 8
      {"\t0300\t01E8\t0\tFF FF FF FF", "Нет данных"},
      {"\t0308\t01EF\t0\t00 00 00 01", "Да"},  // K = 31: D at position 8
      {"\t020F\t01B7\t0\t00 00 01", "Да"},    // K = 28 tests bit 0 of C
      {"\t020F\t01B7\t0\t00 00 80", "Нет"},
      {"\t000C\t01F8\t0\t10", "Да"},          // K = 5: position 4, bit 4
      {"\t000C\t01F8\t0\tEF", "нет"},
  });
}

TEST(DecodeConformance, VoltageByIndexInDecimal) {
  expectAll({
      {"\t1300\t01B2\t0\t" "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF", "5.00"},
      {"\t1400\t01B2\t0\t" "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF", "6.00/5.00"},
      {"\t1500\t01B2\t0\t" "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF", "Нет данных"},
      {"\t1E00\t01B2\t0\t" "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
       "FF",
       "Нет данных"},
      {"\t1F00\t01B2\t0\t" "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
       "00 33",
       "1.00/51"},
      {"\t0100\t01B2\t0\tFF", "!error"},       // slot 1 empty
      {"\t0000\t01B2\t0\tZZ", "!error"},       // not hex
      {"\tG000\t01B2\t0\tFF", "!error"},       // no byte selected
      {"\t0000\t01b2\t0\tFF", "FF"},           // request codes are compared exactly
  });
}

TEST(DecodeConformance, OutputCharacters) {
  expectAll({
      {"С2\t0000\t\t0\tC8", ""},               // Cyrillic ES: not the Latin code
      {"C2\t0000\t\t0\tC8", "84.22"},
      {"\t0000\t01D3\t0\tC0 E1 E2 C3 44", "АбвГD"},
      {"\t0000\t0105\t0\t7B ю", "7Bю"},
  });
  // A zero byte has the character code 0 and is written as that byte.
  EXPECT_EQ(decodeLine("\t0000\t01D3\t0\t41 00 43 44 45"), std::string("A\0CDE", 5));
  EXPECT_EQ(decodeLine("FZ\t0000\t\t0\t81", ','), "0,50");
}

TEST(DecodeConformance, InputLines) {
  struct Lines {
    std::string_view input, expected;
  };
  const Lines cases[] = {
      {"\xEF\xBB\xBF" "formula\tposition\nFT\t0000\t\t0\t7B\n", "83\n"},  // marked UTF-8, header
      {"\xEF\xBB\xBF" "FT\t0000\t\t0\t7B\n", "83\n"},
      {"FT\t0000\t\t0\t7B\r\n\r\nFT\t0000\t\t0\t00", "83\nОшибка в Pids.ini\n-40\n"},
      {"FT\t0000\t\t0\t7B\n\n", "83\nОшибка в Pids.ini\n"},
      {"", ""},
      {"formula\n", ""},
  };
  for (const Lines& c : cases) {
    std::string out;
    decodeBatch(c.input, '.', out);
    EXPECT_EQ(out, c.expected) << c.input;
  }
}

}  // namespace
}  // namespace tervolin

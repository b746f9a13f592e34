// Batch decoding of tab-separated lines.

#include <gtest/gtest.h>

#include <string>

#include "common/field_escapes.h"
#include "decode/decode_batch.h"

namespace tervolin {
namespace {

std::string batch(std::string_view input, char mark = '.') {
  std::string out;
  decodeBatch(input, mark, out);
  return out;
}

TEST(DecodeBatch, OneOutputLinePerInputLine) {
  struct Case {
    std::string_view input, expected;
  };
  const Case cases[] = {
      {"formula\tposition\trequest\tinverse\tdata\nFT\t0000\t\t0\t7B\n", "83\n"},
      {"FT\t0000\t\t0\t7B", "83\n"},                                       // no final line feed
      {"FT\t0000\t\t0\t7B\r\nFR\t0000\t\t1\tF8 1A\r\n", "83\n1726\n"},      // CRLF lines
      {"\n", "Ошибка в Pids.ini\n"},                                         // all fields empty
      {"FT\t0000\n", "\n"},                                                   // missing fields are empty
      {"\t0000\t0105\t0\t7B\n", "7B\n"},
      {"\t0000\t01B2\t0\t\n", "!error\n"},
      {"FS\t0000\t\t0\tFF\n", "Не используется\n"},
      {"\t0000\t0103\t0\t03\\t11\n", "Нет данных, HEX 03\\t11\n"},          // tab in, escaped out
      {"\t0000\t0105\t0\t7B\\\\\\n\\r\n", "7B\\\\\\n\\r\n"},
      {"\t0000\t0105\t0\ta\\qb\n", "a\\\\qb\n"},  // unknown escape kept, written escaped
      {"FZ\t0000\t\t0\t81\n", "0.50\n"},
      {"FT\t0000\t\t0\t7B\nformula\t0000\t\t0\t7B\n", "83\n\n"},            // header only first
      {"С2\t0000\t\t0\tC8\n", "\n"},                                         // Cyrillic ES converted, no code
      {"FR\t0000\t\tyes\tF8 1A\n", "15879\n"},                               // only "1" inverts
  };
  for (const Case& c : cases) EXPECT_EQ(batch(c.input), c.expected) << c.input;
  EXPECT_EQ(batch("FZ\t0000\t\t0\t81\n", ','), "0,50\n");
}

TEST(DecodeBatch, EscapesRoundTrip) {
  for (std::string_view s : {"", "a\tb", "\\", "\\t", "x\r\ny", "\\\\n"}) {
    std::string escaped;
    appendEscaped(escaped, s);
    EXPECT_EQ(escaped.find_first_of("\t\r\n"), std::string::npos);
    EXPECT_EQ(unescapeField(escaped), s);
  }
  EXPECT_EQ(unescapeField("end\\"), "end\\");
}

}  // namespace
}  // namespace tervolin

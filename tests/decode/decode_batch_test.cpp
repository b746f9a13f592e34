// Batch decoding of tab-separated lines, and the decode command of the
// command-line tool when it has been built.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/field_escapes.h"
#include "decode/decode_batch.h"
#include "support/test_support.h"

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

std::filesystem::path cliPath() { return std::filesystem::path(TERVOLIN_BIN_DIR) / "tervolin-cli"; }

int runCli(const std::string& arguments, const std::string& input, std::string& output) {
  test::TempDir dir;
  test::writeFile(dir / "in.txt", input);
  const std::string command = "\"" + cliPath().string() + "\" decode " + arguments + " < \"" +
                              (dir / "in.txt").string() + "\" > \"" + (dir / "out.txt").string() + "\"";
  const int status = std::system(command.c_str());
  output = test::readFile(dir / "out.txt");
  return WEXITSTATUS(status);
}

TEST(DecodeCommand, SingleValueAndFailure) {
  if (!std::filesystem::exists(cliPath())) GTEST_SKIP() << "tervolin-cli not built";
  std::string out;
  EXPECT_EQ(runCli("--formula FR --position 0000 --inverse \"F8 1A\"", "", out), 0);
  EXPECT_EQ(out, "1726\n");
  EXPECT_EQ(runCli("--formula FS --position 0000 FF", "", out), 0);
  EXPECT_EQ(out, "Не используется\n");
  EXPECT_EQ(runCli("--formula FZ --position 0000 --decimal-mark , 81", "", out), 0);
  EXPECT_EQ(out, "0,50\n");
  EXPECT_EQ(runCli("--formula '' --position 0100 --request 01B2 FF", "", out), 2);
  EXPECT_EQ(out, "!error\n");
}

TEST(DecodeCommand, TenThousandLinesGiveOneLineEach) {
  if (!std::filesystem::exists(cliPath())) GTEST_SKIP() << "tervolin-cli not built";
  std::string input = "formula\tposition\trequest\tinverse\tdata\n";
  const char* lines[] = {"FT\t0000\t\t0\t7B 1C\n", "FR\t0100\t\t1\t00 F8 1A 00\n", "\t0000\t0101\t0\t83 17 00 00\n",
                         "\t0100\t01B2\t0\tFF\n"};
  for (int k = 0; k < 10000; ++k) input += lines[k % 4];
  std::string out;
  EXPECT_EQ(runCli("--batch", input, out), 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 10000);
  EXPECT_TRUE(out.starts_with("83\n1726\nЛампа \"MIL\" горит, найдено 3 ошибок"));
  EXPECT_NE(out.find("\n!error\n"), std::string::npos);
}

}  // namespace
}  // namespace tervolin

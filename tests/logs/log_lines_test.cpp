// The line splitter every reader and the LOG view share.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logs/log_lines.h"

namespace tervolin {
namespace {

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> out;
  LogLines lines(text);
  std::string_view line;
  while (lines.next(line)) out.emplace_back(line);
  return out;
}

TEST(LogLines, SplitsAtCrOrLfAndSkipsLeadingControlCharacters) {
  using V = std::vector<std::string>;
  const struct {
    std::string text;
    V lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"\r\n\r\n  \t a b  \r\n\n", {"a b  "}},
      {std::string("\0\x01 x\0y\n", 7), {std::string("x\0y", 3)}},
      {"one line without end", {"one line without end"}},
      {" \t\r\n ", {}},
      {"", {}},
      {"\xC0\xC1\n\x7F", {"\xC0\xC1", "\x7F"}},
  };
  for (const auto& c : cases) EXPECT_EQ(linesOf(c.text), c.lines);
}

TEST(LogLines, OffsetFollowsTheLastLineRead) {
  const std::string text = "ab\r\ncd\r\n";
  LogLines lines(text);
  std::string_view line;
  ASSERT_TRUE(lines.next(line));
  EXPECT_EQ(lines.offset(), 2u);
  ASSERT_TRUE(lines.next(line));
  EXPECT_EQ(line, "cd");
  EXPECT_FALSE(lines.next(line));
  EXPECT_EQ(lines.offset(), text.size());
}

}  // namespace
}  // namespace tervolin

#include <gtest/gtest.h>

#include "common/field_escapes.h"
#include "common/hex.h"
#include "common/text.h"

namespace tervolin {
namespace {

TEST(Cp1251, LiteralsAreConvertedAtCompileTime) {
  constexpr std::string_view s = "Ёж ёж №1"_w;
  EXPECT_EQ(s, std::string_view("\xA8\xE6 \xB8\xE6 \xB9" "1"));
  EXPECT_EQ("Да"_w, std::string_view("\xC4\xE0"));
  EXPECT_EQ("abc"_w, "abc");
}

TEST(Cp1251, RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
  EXPECT_EQ(cp1251ToUtf8("\xCF\xF0\xE8"), "При");
  EXPECT_EQ(utf8ToCp1251("日"), "?");
  EXPECT_EQ(cp1251ToUtf8(std::string_view("a\0b", 3)), std::string_view("a\0b", 3));  // byte 0 is a character
  EXPECT_EQ(cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");  // the one byte without a character
  EXPECT_EQ(utf8ToCp1251("\xFF\xFE"), "??");  // malformed UTF-8
}

// The one-table escape and conversion of the command-line tool's grid text
// gives, byte for byte, the escape followed by the conversion, for every
// byte and for texts mixing them.
TEST(Cp1251, EscapedUtf8InOneStepEqualsEscapeThenConvert) {
  const auto twoSteps = [](std::string_view text) {
    std::string escaped;
    appendEscaped(escaped, text);
    return cp1251ToUtf8(escaped);
  };
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    std::string out = "x";
    appendEscapedUtf8(out, one);
    ASSERT_EQ(out, "x" + twoSteps(one)) << "byte " << b;
  }
  const std::string mixed = std::string("Ответ"_w) + "\tA\\B\r\n" + "\x98 12.5" + std::string(1, '\0');
  std::string out;
  appendEscapedUtf8(out, mixed);
  EXPECT_EQ(out, twoSteps(mixed));
  EXPECT_EQ(out.substr(0, 10), "Ответ");
}

TEST(Hex, Helpers) {
  EXPECT_EQ(parseHex("1aF"), 0x1AFu);
  EXPECT_FALSE(parseHex(""));
  EXPECT_FALSE(parseHex("1 2"));
  EXPECT_FALSE(parseHex("0x12"));
  EXPECT_EQ(delspace(" 21 01 \t"), "2101\t");
  EXPECT_EQ(inttobin(5, 7), "00000101");
  EXPECT_EQ(inttobin(0x80, 7), "10000000");
  const std::uint8_t bytes[] = {0x01, 0x0A};
  EXPECT_EQ(reverseBytesHex(bytes), "0A01");
  EXPECT_EQ(hexBytesSpaced(bytes), "01 0A");
  EXPECT_TRUE(equalsIgnoreCase("Formules.ini", "formules.INI"));
}

}  // namespace
}  // namespace tervolin

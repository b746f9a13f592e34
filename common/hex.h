#pragma once
// Hex and small text helpers shared by the readers and the decoder.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tervolin {

// The digits of the values 0 to 15, upper case, as the program writes hex.
inline constexpr std::string_view kHexDigits = "0123456789ABCDEF";

namespace hex_detail {

// The value of every byte read as a hex digit (either case), -1 for the rest.
struct DigitValues {
  std::int8_t value[256];
  constexpr DigitValues() : value() {
    for (int c = 0; c < 256; ++c) value[c] = -1;
    for (int v = 0; v < 16; ++v) {
      value[static_cast<unsigned char>(kHexDigits[static_cast<std::size_t>(v)])] = static_cast<std::int8_t>(v);
      if (v >= 10) value['a' + v - 10] = static_cast<std::int8_t>(v);
    }
  }
};
inline constexpr DigitValues kDigitValues{};

}  // namespace hex_detail

// Value of one hex digit (either case); -1 when c is not one.
constexpr int hexDigitValue(char c) { return hex_detail::kDigitValues.value[static_cast<unsigned char>(c)]; }

constexpr bool isHexDigit(char c) { return hexDigitValue(c) >= 0; }

// A whole text read as a hex number (digits of either case, nothing else,
// at least one digit, at most 16). No value otherwise.
std::optional<std::uint64_t> parseHex(std::string_view text);

// Two upper-case hex digits.
std::string hexByte(std::uint8_t value);

// Upper-case hex digits of a 32-bit integer, at least `digits` of them; a
// negative value is written as its two's complement ("FFFFFFF0").
std::string intToHex(std::int32_t value, int digits);

// Bytes as hex pairs joined by single blanks ("41 0C 1A").
std::string hexBytesSpaced(std::span<const std::uint8_t> bytes);
// The same, appended to `out`.
void appendHexBytesSpaced(std::string& out, std::span<const std::uint8_t> bytes);

// The hex text of the bytes in reverse order, no blanks: {0x01, 0x0A} gives
// "0A01" (a little-endian number read as hex).
std::string reverseBytesHex(std::span<const std::uint8_t> bytes);

// The text with every blank (' ') removed; other characters stay.
std::string delspace(std::string_view text);

// Copies `text` with every blank removed to `out`, which has room for
// text.size() bytes; returns how many were written. The form of delspace
// for the readers' reused buffers, without a branch per byte.
inline std::size_t copyWithoutBlanks(std::string_view text, char* out) {
  char* w = out;
  for (const char c : text) {
    *w = c;
    w += c != ' ';
  }
  return static_cast<std::size_t>(w - out);
}

// Appends `text` with every blank removed to `out`.
inline void appendWithoutBlanks(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  out.resize(start + copyWithoutBlanks(text, out.data() + start));
}

// Bits highestBit..0 of value as "0"/"1" text, most significant first.
std::string inttobin(std::uint32_t value, int highestBit);

// ASCII letters a-z to upper case; every other byte unchanged.
std::string asciiUpper(std::string_view text);
// ASCII letters A-Z to lower case; every other byte unchanged.
std::string asciiLower(std::string_view text);

// Equality ignoring the case of ASCII letters.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tervolin

#pragma once
// Hex and small text helpers shared by the readers and the decoder.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tervolin {

constexpr bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Value of one hex digit (either case); -1 when c is not one.
constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

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

// The hex text of the bytes in reverse order, no blanks: {0x01, 0x0A} gives
// "0A01" (a little-endian number read as hex).
std::string reverseBytesHex(std::span<const std::uint8_t> bytes);

// The text with every blank (' ') removed; other characters stay.
std::string delspace(std::string_view text);

// Bits highestBit..0 of value as "0"/"1" text, most significant first.
std::string inttobin(std::uint32_t value, int highestBit);

// ASCII letters a-z to upper case; every other byte unchanged.
std::string asciiUpper(std::string_view text);
// ASCII letters A-Z to lower case; every other byte unchanged.
std::string asciiLower(std::string_view text);

// Equality ignoring the case of ASCII letters.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tervolin

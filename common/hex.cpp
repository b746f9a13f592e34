#include "common/hex.h"

namespace tervolin {

std::optional<std::uint64_t> parseHex(std::string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    const int d = hexDigitValue(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
  }
  return value;
}

std::string hexByte(std::uint8_t value) { return {kHexDigits[value >> 4], kHexDigits[value & 0xF]}; }

void appendHexBytesSpaced(std::string& out, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += kHexDigits[bytes[i] >> 4];
    out += kHexDigits[bytes[i] & 0xF];
  }
}

std::string intToHex(std::int32_t value, int digits) {
  auto bits = static_cast<std::uint32_t>(value);
  char text[8];
  int n = 0;
  do {
    text[n++] = kHexDigits[bits & 0xF];
    bits >>= 4;
  } while (bits != 0);
  std::string out(n < digits ? static_cast<std::size_t>(digits - n) : 0, '0');
  while (n > 0) out += text[--n];
  return out;
}

std::string hexBytesSpaced(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  appendHexBytesSpaced(out, bytes);
  return out;
}

std::string reverseBytesHex(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::size_t i = bytes.size(); i-- > 0;) out += hexByte(bytes[i]);
  return out;
}

std::string delspace(std::string_view text) {
  std::string out;
  appendWithoutBlanks(out, text);
  return out;
}

std::string inttobin(std::uint32_t value, int highestBit) {
  std::string out;
  for (int bit = highestBit; bit >= 0; --bit) out += (bit < 32 && ((value >> bit) & 1u)) ? '1' : '0';
  return out;
}

std::string asciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace tervolin

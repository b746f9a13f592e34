#include "common/field_escapes.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "common/text.h"

namespace tervolin {
namespace {

// What each Windows-1251 byte becomes: up to three bytes and their count.
struct Spelling {
  std::array<char, 3> bytes{};
  std::uint8_t size = 0;
};

constexpr std::array<Spelling, 256> makeSpellings() {
  std::array<Spelling, 256> table{};
  for (int b = 0; b < 256; ++b) {
    Spelling& s = table[static_cast<std::size_t>(b)];
    const char escape = b == '\t' ? 't' : b == '\n' ? 'n' : b == '\r' ? 'r' : b == '\\' ? '\\' : 0;
    if (escape != 0) {
      s.bytes = {'\\', escape, 0};
      s.size = 2;
      continue;
    }
    char32_t cp = static_cast<char32_t>(b);
    if (b >= 0x80) {
      cp = cp1251_detail::kHighHalf[static_cast<std::size_t>(b - 0x80)];
      if (cp == 0) cp = 0xFFFD;  // 0x98 has no character
    }
    if (cp < 0x80) {
      s.bytes = {static_cast<char>(cp), 0, 0};
      s.size = 1;
    } else if (cp < 0x800) {
      s.bytes = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0};
      s.size = 2;
    } else {
      s.bytes = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (cp & 0x3F))};
      s.size = 3;
    }
  }
  return table;
}

constexpr std::array<Spelling, 256> kSpellings = makeSpellings();

}  // namespace

std::string unescapeField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t k = 0; k < field.size(); ++k) {
    const char c = field[k];
    if (c != '\\' || k + 1 == field.size()) {
      out += c;
      continue;
    }
    switch (field[k + 1]) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += c; continue;  // keep the backslash, read the next character normally
    }
    ++k;
  }
  return out;
}

void appendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
}

char* writeEscapedUtf8(char* out, std::string_view cp1251) {
  for (const char c : cp1251) {
    const Spelling& s = kSpellings[static_cast<unsigned char>(c)];
    std::memcpy(out, s.bytes.data(), 3);
    out += s.size;
  }
  return out;
}

void appendEscapedUtf8(std::string& out, std::string_view cp1251) {
  const std::size_t start = out.size();
  out.resize(start + 3 * cp1251.size());
  char* end = writeEscapedUtf8(out.data() + start, cp1251);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace tervolin

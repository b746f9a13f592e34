#pragma once
// Text in the core is Windows-1251 bytes held in std::string, exactly as the
// files hold it: one character is one byte, so every position rule works on
// the line as read. Russian literals are written in UTF-8 in the source and
// turned into Windows-1251 at compile time with the _w suffix:
//
//     std::string_view msg = "Некорректный файл"_w;
//
// The windows convert to QString; the command-line tool prints UTF-8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tervolin {

namespace cp1251_detail {

// Unicode code points of Windows-1251 bytes 0x80..0xFF (0 = unassigned).
inline constexpr std::array<char32_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// The Windows-1251 byte of a code point, or '?' when it has none.
constexpr char encode(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
  for (std::size_t i = 0; i < kHighHalf.size(); ++i)
    if (kHighHalf[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes one UTF-8 sequence starting at s[i]; advances i. Malformed input
// yields U+FFFD and moves one byte on.
constexpr char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  auto cont = [&](std::size_t k) -> int {
    if (i + k >= s.size()) return -1;
    const auto b = static_cast<unsigned char>(s[i + k]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
  };
  if (b0 < 0x80) { ++i; return b0; }
  if ((b0 & 0xE0) == 0xC0) {
    const int c1 = cont(1);
    if (c1 >= 0) { i += 2; return (char32_t(b0 & 0x1F) << 6) | char32_t(c1); }
  } else if ((b0 & 0xF0) == 0xE0) {
    const int c1 = cont(1), c2 = cont(2);
    if (c1 >= 0 && c2 >= 0) {
      i += 3;
      return (char32_t(b0 & 0x0F) << 12) | (char32_t(c1) << 6) | char32_t(c2);
    }
  } else if ((b0 & 0xF8) == 0xF0) {
    const int c1 = cont(1), c2 = cont(2), c3 = cont(3);
    if (c1 >= 0 && c2 >= 0 && c3 >= 0) {
      i += 4;
      return (char32_t(b0 & 0x07) << 18) | (char32_t(c1) << 12) | (char32_t(c2) << 6) |
             char32_t(c3);
    }
  }
  ++i;
  return 0xFFFD;
}

template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  constexpr Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <std::size_t N>
struct Cp1251Literal {
  std::array<char, N> bytes{};
  std::size_t size = 0;
};

template <Utf8Literal L>
consteval auto toCp1251() {
  constexpr std::size_t n = sizeof(L.bytes);
  Cp1251Literal<n> out;
  std::string_view in(L.bytes, n - 1);
  std::size_t i = 0;
  while (i < in.size()) out.bytes[out.size++] = encode(nextCodePoint(in, i));
  return out;
}

template <Utf8Literal L>
inline constexpr auto kStored = toCp1251<L>();

}  // namespace cp1251_detail

// "текст"_w: the Windows-1251 bytes of a UTF-8 literal, made at compile time.
template <cp1251_detail::Utf8Literal L>
constexpr std::string_view operator""_w() {
  return {cp1251_detail::kStored<L>.bytes.data(), cp1251_detail::kStored<L>.size};
}

// Windows-1251 bytes to UTF-8 (unassigned byte 0x98 becomes U+FFFD).
std::string cp1251ToUtf8(std::string_view cp1251);
// UTF-8 to Windows-1251; characters without a Windows-1251 byte become '?'.
std::string utf8ToCp1251(std::string_view utf8);

}  // namespace tervolin

#pragma once
// Position rules of the log readers. Positions are 1-based characters of a
// line as LogLines gives it. Taking text at a position never fails: a start
// before the line is moved to its first character and a count running past
// the end (or a negative count) is cut, so hostile lines give shorter or
// empty texts instead of reading outside the line.

#include <array>
#include <cstddef>
#include <string_view>

#include "common/text.h"

namespace tervolin::logtext {

// `count` characters of `line` starting at 1-based `start`, cut to the line.
constexpr std::string_view copyAt(std::string_view line, long long start, long long count) {
  const auto size = static_cast<long long>(line.size());
  long long from = start - 1;
  if (from < 0) from = 0;
  if (from > size) from = size;
  if (count < 0) count = 0;
  if (count > size - from) count = size - from;
  return line.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
}

// 1-based position of the first occurrence of `needle`, 0 when absent or
// when `needle` is empty (an empty pair is found nowhere).
constexpr long long positionOf(std::string_view line, std::string_view needle) {
  if (needle.empty()) return 0;
  const std::size_t at = line.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<long long>(at) + 1;
}

constexpr bool contains(std::string_view line, std::string_view needle) {
  return line.find(needle) != std::string_view::npos;
}

// A hex-pair digit: "0"-"9" or upper-case "A"-"F" only.
constexpr bool isPairDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// 1-based position p of the first hex pair (two pair digits and one blank)
// with p less than the line length minus 2; 0 when the line has none.
constexpr long long firstHexPair(std::string_view line) {
  const auto size = static_cast<long long>(line.size());
  for (long long p = 1; p < size - 2; ++p) {
    const auto i = static_cast<std::size_t>(p - 1);
    if (line[i + 2] == ' ' && isPairDigit(line[i]) && isPairDigit(line[i + 1])) return p;
  }
  return 0;
}

// Markers the readers classify lines by (case-sensitive).
inline constexpr std::string_view kTxD = "TxD";
inline constexpr std::string_view kRxD = "RxD";
inline constexpr std::string_view kElm = "ELM";
inline constexpr std::string_view kRequestWord = "Запрос"_w;
inline constexpr std::string_view kResponseWord = "Ответ"_w;
inline constexpr std::string_view kFoundWord = "найден"_w;
inline constexpr std::string_view kIntervalMarker = "Интервал между запросами тестера:"_w;

constexpr bool isRequestLine(std::string_view line) {
  return contains(line, kTxD) || contains(line, kRequestWord);
}
constexpr bool isResponseMarked(std::string_view line) {
  return contains(line, kRxD) || contains(line, kResponseWord);
}

// A line holds data when it has a hex pair and does not contain "ELM".
constexpr bool holdsData(std::string_view line) { return !contains(line, kElm) && firstHexPair(line) != 0; }

// Upper case of a Windows-1251 byte: ASCII letters and the Cyrillic letters.
struct UpperTable {
  std::array<char, 256> map{};
  constexpr UpperTable() {
    for (int c = 0; c < 256; ++c) map[c] = static_cast<char>(c);
    for (int c = 'a'; c <= 'z'; ++c) map[c] = static_cast<char>(c - 32);
    for (int c = 0xE0; c <= 0xFF; ++c) map[c] = static_cast<char>(c - 32);  // а..я
    map[0xB8] = static_cast<char>(0xA8);                                    // ё
    map[0xA2] = static_cast<char>(0xA1);                                    // ў
    map[0xB3] = static_cast<char>(0xB2);                                    // і
    map[0xBA] = static_cast<char>(0xAA);                                    // є
    map[0xBF] = static_cast<char>(0xAF);                                    // ї
    map[0xB4] = static_cast<char>(0xA5);                                    // ґ
  }
};
inline constexpr UpperTable kUpper{};

constexpr char upper(char c) { return kUpper.map[static_cast<unsigned char>(c)]; }

// Writes the upper case of `text` into `out` (reused buffer).
template <class String>
void upperInto(std::string_view text, String& out) {
  out.resize(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = upper(text[i]);
}

}  // namespace tervolin::logtext

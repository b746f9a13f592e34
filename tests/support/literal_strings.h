#pragma once
// The string primitives the reference implementations in the tests are
// written with: 1-based positions, a copy that clips to the text, a search
// that answers 0 when nothing is found, and upper-casing of Latin and
// Windows-1251 Cyrillic letters. The tests compare the fast readers with
// algorithms written literally in these terms.

#include <string>
#include <string_view>

namespace tervolin::test {

// `count` characters from 1-based `index`; an index below 1 counts as 1, one
// past the end or a count of 0 or less gives an empty text.
inline std::string copyOf(const std::string& s, long long index, long long count) {
  if (index < 1) index = 1;
  if (index > static_cast<long long>(s.size()) || count <= 0) return {};
  return s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

// 1-based position of the first occurrence of `needle`, or 0.
inline long long posOf(const std::string& needle, const std::string& s) {
  if (needle.empty()) return 0;
  const auto at = s.find(needle);
  return at == std::string::npos ? 0 : static_cast<long long>(at) + 1;
}

inline std::string upperOf(std::string s) {
  for (char& c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
    else if (u >= 0xE0) c = static_cast<char>(u - 32);
    else if (u == 0xB8) c = static_cast<char>(0xA8);
  }
  return s;
}

inline std::string withoutBlanks(const std::string& s) {
  std::string out;
  for (const char c : s)
    if (c != ' ') out += c;
  return out;
}

inline bool has(const std::string& s, std::string_view needle) { return s.find(needle) != std::string::npos; }

}  // namespace tervolin::test

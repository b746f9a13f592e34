#pragma once
// Lines of a text log as every reader and the LOG view see them: before each
// line every byte with a code of 32 or less (blanks, tabs, line ends) is
// skipped, so empty lines disappear and a line starts at its first visible
// character; a line runs to the next CR or LF. Reading ends when only such
// bytes remain. Works on a view of the whole file, read in one read.

#include <cstring>
#include <string_view>

namespace tervolin {

class LogLines {
 public:
  explicit LogLines(std::string_view text) : text_(text) {}

  // The next line, or false at the end.
  bool next(std::string_view& line) {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
    if (pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    // The line ends at the first CR or LF: find the LF, then any CR before it.
    const char* begin = text_.data() + start;
    std::size_t rest = text_.size() - start;
    const void* lf = std::memchr(begin, '\n', rest);
    if (lf) rest = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
    const void* cr = std::memchr(begin, '\r', rest);
    if (cr) rest = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    pos_ = start + rest;
    line = text_.substr(start, rest);
    return true;
  }

  // Offset of the next unread byte (for progress).
  std::size_t offset() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace tervolin

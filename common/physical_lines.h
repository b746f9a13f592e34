#pragma once
// Physical lines of a text file: a line runs to the next CR, LF or CR LF, and
// an empty line is a line; the text after the last line end is a line when it
// is not empty. Works on a view of the whole file, read in one read.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tervolin {

class PhysicalLines {
 public:
  explicit PhysicalLines(std::string_view text) : text_(text) {}

  void skipBytesUpTo32() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
  }
  bool atEnd() const { return pos_ >= text_.size(); }
  // Offset of the next unread byte (for progress).
  std::size_t offset() const { return pos_; }

  // The next line; past the end every line is empty.
  std::string_view next() {
    const std::size_t start = pos_;
    // The line ends at the first CR or LF: find the LF, then any CR before it.
    const char* begin = text_.data() + start;
    std::size_t rest = text_.size() - start;
    if (const void* lf = std::memchr(begin, '\n', rest)) rest = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
    if (const void* cr = std::memchr(begin, '\r', rest)) rest = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    pos_ = start + rest;
    const std::string_view line = text_.substr(start, rest);
    if (pos_ < text_.size()) {
      const bool crlf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
      pos_ += crlf ? 2 : 1;
    }
    return line;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace tervolin

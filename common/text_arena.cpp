#include "common/text_arena.h"

#include <cstring>

namespace tervolin {
namespace {

// Length prefix: 7 bits a byte, high bit set on all but the last byte.
std::size_t prefixSize(std::size_t n) {
  std::size_t size = 1;
  while (n >= 0x80) { n >>= 7; ++size; }
  return size;
}

}  // namespace

TextRef TextArena::add(std::string_view text) {
  if (text.empty()) return kEmptyText;
  const std::size_t need = prefixSize(text.size()) + text.size();
  if (chunks_.empty() || used_ + need > chunkCapacity_.back()) {
    const std::size_t capacity = need > chunkSize_ ? need : chunkSize_;
    chunks_.push_back(std::make_unique<char[]>(capacity));
    chunkCapacity_.push_back(capacity);
    reserved_ += capacity;
    used_ = 0;
  }
  char* base = chunks_.back().get();
  const std::size_t offset = used_;
  std::size_t n = text.size();
  char* p = base + offset;
  while (n >= 0x80) { *p++ = static_cast<char>(0x80 | (n & 0x7F)); n >>= 7; }
  *p++ = static_cast<char>(n);
  std::memcpy(p, text.data(), text.size());
  used_ += need;
  return (static_cast<TextRef>(chunks_.size()) << 32) | static_cast<TextRef>(offset);
}

std::string_view TextArena::get(TextRef ref) const {
  if (ref == kEmptyText) return {};
  const std::size_t chunk = static_cast<std::size_t>(ref >> 32) - 1;
  const char* p = chunks_[chunk].get() + static_cast<std::uint32_t>(ref);
  std::size_t n = 0;
  int shift = 0;
  for (;;) {
    const auto b = static_cast<unsigned char>(*p++);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
    shift += 7;
  }
  return {p, n};
}

void TextArena::clear() {
  chunks_.clear();
  chunkCapacity_.clear();
  used_ = 0;
  reserved_ = 0;
}

}  // namespace tervolin

#pragma once
// A grow-only store of many short texts. Each text is appended once and
// named afterwards by an 8-byte TextRef; nothing is ever moved, so refs and
// the views they give stay valid for the arena's life. Storage grows in
// chunks, never by copying what is already there. Several owners (the record
// list, the grid) can share one arena through a shared_ptr, so the grid names
// the record values without copying them.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tervolin {

// 0 is the empty text; any other value is chunk index + 1 in the high 32 bits
// and the offset inside the chunk in the low 32 bits.
using TextRef = std::uint64_t;
inline constexpr TextRef kEmptyText = 0;

class TextArena {
 public:
  explicit TextArena(std::size_t chunkSize = 1 << 20) : chunkSize_(chunkSize) {}
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  TextRef add(std::string_view text);
  std::string_view get(TextRef ref) const;

  // Bytes held by the chunks (for memory figures).
  std::size_t capacityBytes() const { return reserved_; }
  void clear();

 private:
  std::size_t chunkSize_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<std::size_t> chunkCapacity_;
  std::size_t used_ = 0;  // bytes used in the last chunk
  std::size_t reserved_ = 0;
};

}  // namespace tervolin

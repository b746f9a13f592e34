#pragma once
// A grow-only store of many short texts. Each text is appended once and
// named afterwards by a 4-byte TextRef; nothing is ever moved, so refs and
// the views they give stay valid for the arena's life. Storage grows in
// chunks, never by copying what is already there. Several owners (the record
// list, the grid) can share one arena through a shared_ptr, so the grid names
// the record values without copying them.
//
// Arenas filled at once by several threads (one per part of a log) are
// joined afterwards without touching their texts: each part is given its own
// class of chunk numbers (SlotClass), so the refs of every part stay valid
// in the joined arena.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tervolin {

// 0 is the empty text; any other value is a chunk slot (high bits) and the
// offset inside the slot (low bits). The arena holds at most 4 GiB.
using TextRef = std::uint32_t;
inline constexpr TextRef kEmptyText = 0;

// The chunk numbers an arena takes: first, first + stride, ...
struct ArenaSlotClass {
  std::uint32_t first = 1;
  std::uint32_t stride = 1;
};

class TextArena {
 public:
  using SlotClass = ArenaSlotClass;

  // `chunkSize` is rounded up to a power of two.
  explicit TextArena(std::size_t chunkSize = 1 << 20, SlotClass slots = SlotClass{});
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  // Throws std::bad_alloc when the arena is full.
  TextRef add(std::string_view text);
  std::string_view get(TextRef ref) const {
    if (ref == kEmptyText) return {};
    const char* p = slots_[ref >> offsetBits_] + (ref & offsetMask_);
    std::size_t n = static_cast<unsigned char>(*p++);
    if (n & 0x80) [[unlikely]] return longText(p, n);
    return {p, n};
  }

  // Takes over the chunks of `other` (filled with another slot class, of
  // the same chunk size): every ref of either arena names the same text in
  // this one afterwards. Texts added later take chunk numbers after all of
  // them.
  void adopt(TextArena&& other);
  // A copy of every text under the same refs.
  std::unique_ptr<TextArena> clone() const;

  // Bytes held by the chunks (for memory figures).
  std::size_t capacityBytes() const { return reserved_; }
  void clear();

 private:
  static std::string_view longText(const char* p, std::size_t n);
  void newChunk(std::size_t need);

  std::size_t chunkSize_;
  int offsetBits_;
  std::uint32_t offsetMask_;
  SlotClass class_;
  std::uint32_t nextSlot_;  // the slot the next chunk takes
  // Each chunk has one slot; a text starts in the first chunkSize_ bytes of
  // its chunk (a text longer than that gets a chunk of its own).
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<std::uint32_t> chunkSlots_;
  std::vector<std::size_t> chunkBytes_;
  std::vector<const char*> slots_;  // slot -> its chunk (null when unused)
  std::uint32_t lastSlot_ = 0;      // slot of the chunk being filled
  std::size_t used_ = 0;            // bytes used in it
  std::size_t room_ = 0;            // its size
  std::size_t reserved_ = 0;
};

}  // namespace tervolin

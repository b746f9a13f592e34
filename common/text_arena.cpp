#include "common/text_arena.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace tervolin {
namespace {

// Length prefix: 7 bits a byte, high bit set on all but the last byte.
std::size_t prefixSize(std::size_t n) {
  std::size_t size = 1;
  while (n >= 0x80) {
    n >>= 7;
    ++size;
  }
  return size;
}

int bitsFor(std::size_t size) {
  int bits = 0;
  while ((std::size_t{1} << bits) < size) ++bits;
  return bits;
}

}  // namespace

TextArena::TextArena(std::size_t chunkSize, SlotClass slots)
    : chunkSize_(std::size_t{1} << bitsFor(std::max<std::size_t>(chunkSize, 16))),
      offsetBits_(bitsFor(chunkSize_)),
      offsetMask_(static_cast<std::uint32_t>(chunkSize_ - 1)),
      class_(slots),
      nextSlot_(slots.first) {}

void TextArena::newChunk(std::size_t need) {
  const std::uint64_t slotLimit = std::uint64_t{1} << (32 - offsetBits_);
  if (nextSlot_ == 0 || nextSlot_ >= slotLimit) throw std::bad_alloc();
  const std::size_t size = std::max(need, chunkSize_);
  chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
  chunkSlots_.push_back(nextSlot_);
  chunkBytes_.push_back(size);
  if (slots_.size() <= nextSlot_) slots_.resize(nextSlot_ + 1, nullptr);
  slots_[nextSlot_] = chunks_.back().get();
  lastSlot_ = nextSlot_;
  used_ = 0;
  room_ = size;
  reserved_ += size;
  nextSlot_ += class_.stride;
}

TextRef TextArena::add(std::string_view text) {
  if (text.empty()) return kEmptyText;
  const std::size_t need = prefixSize(text.size()) + text.size();
  // A text starts in the first chunkSize_ bytes of its chunk and ends inside it.
  if (chunks_.empty() || used_ + need > room_ || used_ >= chunkSize_) newChunk(need);
  char* p = const_cast<char*>(slots_[lastSlot_]) + used_;
  const auto ref = static_cast<TextRef>((lastSlot_ << offsetBits_) | used_);
  std::size_t n = text.size();
  while (n >= 0x80) {
    *p++ = static_cast<char>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  *p++ = static_cast<char>(n);
  std::memcpy(p, text.data(), text.size());
  used_ += need;
  return ref;
}

std::string_view TextArena::longText(const char* p, std::size_t n) {
  n &= 0x7F;
  int shift = 7;
  for (;;) {
    const auto b = static_cast<unsigned char>(*p++);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
    shift += 7;
  }
  return {p, n};
}

void TextArena::adopt(TextArena&& other) {
  for (std::size_t k = 0; k < other.chunks_.size(); ++k) {
    const std::uint32_t slot = other.chunkSlots_[k];
    if (slots_.size() <= slot) slots_.resize(slot + 1, nullptr);
    if (slots_[slot] != nullptr) throw std::logic_error("arenas of one slot class cannot be joined");
    slots_[slot] = other.chunks_[k].get();
    chunks_.push_back(std::move(other.chunks_[k]));
    chunkSlots_.push_back(slot);
    chunkBytes_.push_back(other.chunkBytes_[k]);
  }
  reserved_ += other.reserved_;
  // Later texts go to fresh chunks after every slot taken so far.
  const auto highest = static_cast<std::uint32_t>(slots_.empty() ? 0 : slots_.size() - 1);
  nextSlot_ = std::max(nextSlot_, highest + 1);
  class_.stride = 1;
  room_ = 0;
  used_ = 0;
  other.clear();
}

std::unique_ptr<TextArena> TextArena::clone() const {
  auto copy = std::make_unique<TextArena>(chunkSize_, class_);
  for (std::size_t k = 0; k < chunks_.size(); ++k) {
    copy->chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkBytes_[k]));
    std::memcpy(copy->chunks_.back().get(), chunks_[k].get(), chunkBytes_[k]);
    copy->chunkSlots_.push_back(chunkSlots_[k]);
    copy->chunkBytes_.push_back(chunkBytes_[k]);
  }
  copy->slots_.assign(slots_.size(), nullptr);
  for (std::size_t k = 0; k < copy->chunks_.size(); ++k) copy->slots_[copy->chunkSlots_[k]] = copy->chunks_[k].get();
  copy->nextSlot_ = nextSlot_;
  copy->lastSlot_ = lastSlot_;
  copy->used_ = used_;
  copy->room_ = room_;
  copy->reserved_ = reserved_;
  return copy;
}

void TextArena::clear() {
  chunks_.clear();
  chunkSlots_.clear();
  chunkBytes_.clear();
  slots_.clear();
  nextSlot_ = class_.first;
  lastSlot_ = 0;
  used_ = 0;
  room_ = 0;
  reserved_ = 0;
}

}  // namespace tervolin

#include "common/record_list.h"

#include <algorithm>
#include <cstring>

#include "common/memory_budget.h"

namespace tervolin {
namespace {

std::string cut(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, limit));
}

using record_detail::Block;

Block copyOf(const Block& b) {
  Block copy;
  copy.base = b.base;
  copy.size = b.size;
  if (b.packed) {
    copy.packed = std::make_unique_for_overwrite<std::uint64_t[]>(RecordList::kBlock);
    std::memcpy(copy.packed.get(), b.packed.get(), sizeof(std::uint64_t) * b.size);
  } else {
    copy.wide = std::make_unique_for_overwrite<LogRecord[]>(RecordList::kBlock);
    std::copy(b.wide.get(), b.wide.get() + b.size, copy.wide.get());
  }
  return copy;
}

}  // namespace

RecordList::RecordList() : RecordList(std::make_shared<TextArena>(), recordMemoryBudget()) {}

RecordList::RecordList(std::shared_ptr<TextArena> arena, std::size_t memoryLimit) : s_(std::make_shared<Storage>()) {
  s_->arena = std::move(arena);
  s_->memoryLimit = memoryLimit;
}

// A moved-from list is empty and usable, with the limit it had.
RecordList::RecordList(RecordList&& other) noexcept : s_(std::move(other.s_)) {
  other.s_ = std::make_shared<Storage>();
  other.s_->arena = std::make_shared<TextArena>();
  other.s_->memoryLimit = s_->memoryLimit;
}

RecordList& RecordList::operator=(RecordList&& other) noexcept {
  if (this != &other) {
    s_ = std::move(other.s_);
    other.s_ = std::make_shared<Storage>();
    other.s_->arena = std::make_shared<TextArena>();
    other.s_->memoryLimit = s_->memoryLimit;
  }
  return *this;
}

std::uint32_t RecordList::addSource(const RecordSource& source) {
  Storage& s = own();
  s.sources.push_back({cut(source.requestCode, 8), cut(source.positionField, 4), cut(source.unit, 10), source.name});
  return static_cast<std::uint32_t>(s.sources.size() - 1);
}

TextRef RecordList::append(std::int32_t ordinal, std::uint32_t source, std::string_view value) {
  const TextRef ref = own().arena->add(value);
  appendRef(ordinal, source, ref);
  return ref;
}

void RecordList::startBlock(Storage& s, std::int32_t ordinal) {
  if (storageBytes(s) + kBlock * sizeof(std::uint64_t) > s.memoryLimit) throw MemoryBudgetExceeded();
  // After a block left short (the end of a joined part) the records go on
  // in a new run of full blocks.
  if (s.lastBlockClosed) s.segments.push_back({s.size, s.blocks.size()});
  s.lastBlockClosed = false;
  Block b;
  b.base = ordinal;
  b.packed = std::make_unique_for_overwrite<std::uint64_t[]>(kBlock);
  s.blocks.push_back(std::move(b));
}

void RecordList::widen(Block& b) {
  if (b.wide) return;
  if (storageBytes(*s_) + kBlock * sizeof(LogRecord) > s_->memoryLimit) throw MemoryBudgetExceeded();
  b.wide = std::make_unique_for_overwrite<LogRecord[]>(kBlock);
  for (std::uint32_t i = 0; i < b.size; ++i) b.wide[i] = b.at(i);
  b.packed.reset();
}

const RecordList::Segment& RecordList::segmentOf(std::size_t i) const {
  const std::vector<Segment>& segments = s_->segments;
  const auto after = std::upper_bound(segments.begin(), segments.end(), i,
                                      [](std::size_t record, const Segment& seg) { return record < seg.firstRecord; });
  return *(after - 1);
}

void RecordList::detach() {
  auto copy = std::make_shared<Storage>();
  copy->sources = s_->sources;
  copy->blocks.reserve(s_->blocks.size());
  for (const Block& b : s_->blocks) copy->blocks.push_back(copyOf(b));
  copy->segments = s_->segments;
  copy->size = s_->size;
  copy->lastBlockClosed = s_->lastBlockClosed;
  copy->arena = std::shared_ptr<TextArena>(s_->arena->clone());
  copy->memoryLimit = s_->memoryLimit;
  s_ = std::move(copy);
}

void RecordList::clear() {
  auto fresh = std::make_shared<Storage>();
  fresh->arena = std::make_shared<TextArena>();
  fresh->memoryLimit = s_->memoryLimit;
  s_ = std::move(fresh);
}

RecordList RecordList::forPart(std::size_t part, std::size_t parts) const {
  return RecordList(std::make_shared<TextArena>(std::size_t{1} << 20,
                                                TextArena::SlotClass{static_cast<std::uint32_t>(1 + part),
                                                                     static_cast<std::uint32_t>(parts)}),
                    s_->memoryLimit);
}

void RecordList::appendPart(RecordList&& part, std::uint32_t ordinalShift) {
  Storage& s = own();
  Storage& p = part.own();
  if (storageBytes(s) + storageBytes(p) > s.memoryLimit) throw MemoryBudgetExceeded();
  for (Block& b : p.blocks) {
    if (b.packed) {
      b.base = static_cast<std::int32_t>(static_cast<std::uint32_t>(b.base) + ordinalShift);
    } else {
      for (std::uint32_t i = 0; i < b.size; ++i)
        b.wide[i].ordinal = static_cast<std::int32_t>(static_cast<std::uint32_t>(b.wide[i].ordinal) + ordinalShift);
    }
  }
  if (!p.blocks.empty()) {
    // The part's blocks begin a run of their own unless this list is empty
    // or ends on a full block of an unbroken run.
    if (!s.blocks.empty() && (s.blocks.back().size != kBlock || s.lastBlockClosed))
      s.segments.push_back({s.size, s.blocks.size()});
    // A part made of several runs keeps its own breaks.
    for (std::size_t k = 1; k < p.segments.size(); ++k)
      s.segments.push_back({s.size + p.segments[k].firstRecord, s.blocks.size() + p.segments[k].firstBlock});
    for (Block& b : p.blocks) s.blocks.push_back(std::move(b));
    s.size += p.size;
    s.lastBlockClosed = s.blocks.back().size != kBlock;
  }
  s.arena->adopt(std::move(*p.arena));
  part.clear();
}

void RecordList::Appender::arm() {
  Storage& s = list_.own();
  next_ = end_ = nullptr;
  if (s.blocks.empty() || s.lastBlockClosed) return;
  Block& b = s.blocks.back();
  if (!b.packed) return;
  next_ = b.packed.get() + b.size;
  end_ = b.packed.get() + kBlock;
  base_ = b.base;
}

void RecordList::Appender::flush() {
  if (!next_) return;
  Storage& s = *list_.s_;
  Block& b = s.blocks.back();
  const auto added = static_cast<std::uint32_t>(next_ - (b.packed.get() + b.size));
  b.size += added;
  s.size += added;
}

std::size_t RecordList::storageBytes(const Storage& s) {
  std::size_t bytes = s.arena->capacityBytes();
  for (const Block& b : s.blocks) bytes += b.packed ? kBlock * sizeof(std::uint64_t) : kBlock * sizeof(LogRecord);
  return bytes;
}

std::size_t RecordList::memoryBytes() const { return storageBytes(*s_); }

}  // namespace tervolin

#pragma once
// The record list: one decoded value of one parameter from one response, in
// log order. A record is compact: its request ordinal, the index of its
// source (the definition or graph channel whose request code, position field,
// unit and name it carries) and its value text in a shared arena. Storage
// grows in blocks of 65535 records and never copies what it holds, up to a
// memory limit (recordMemoryBudget() unless set): a block that would pass
// it throws MemoryBudgetExceeded.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_arena.h"

namespace tervolin {

// What a record names besides its value; texts are cut to the record limits
// (request code 8, position field 4, unit 10 characters).
struct RecordSource {
  std::string requestCode;
  std::string positionField;
  std::string unit;
  std::string name;
};

struct LogRecord {
  std::int32_t ordinal = 0;  // request ordinal
  std::uint32_t source = 0;  // index into RecordList::sources()
  TextRef value = kEmptyText;
};

class RecordList {
 public:
  static constexpr std::size_t kBlock = 65535;

  RecordList();

  // Adds a source, cutting its texts to the record limits; returns its index.
  std::uint32_t addSource(const RecordSource& source);
  const std::vector<RecordSource>& sources() const { return sources_; }
  const RecordSource& source(std::size_t record) const { return sources_[at(record).source]; }

  // Adds a record with its value stored in the arena; returns the value's ref.
  TextRef append(std::int32_t ordinal, std::uint32_t source, std::string_view value);
  // Adds a record naming a value already in this list's arena.
  void appendRef(std::int32_t ordinal, std::uint32_t source, TextRef value) {
    if (size_ == blocks_.size() * kBlock) grow();
    blocks_[size_ / kBlock][size_ % kBlock] = LogRecord{ordinal, source, value};
    ++size_;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const LogRecord& at(std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
  std::string_view value(std::size_t i) const { return arena_->get(at(i).value); }

  // The records block by block (block k starts at record k * kBlock), for
  // walks over millions of records without per-record index arithmetic.
  std::size_t blockCount() const { return blocks_.size(); }
  std::span<const LogRecord> block(std::size_t k) const {
    const std::size_t first = k * kBlock;
    return {blocks_[k].get(), size_ - first < kBlock ? size_ - first : kBlock};
  }

  // The arena holding the values; the grid shares it to name values without
  // copying them.
  const std::shared_ptr<TextArena>& arena() const { return arena_; }

  // Empties the list and its sources; a new arena is started so that texts
  // still named by an older grid stay valid.
  void clear();

  std::size_t memoryBytes() const;
  // Bytes the records and their values may take; kept by clear().
  std::size_t memoryLimit() const { return memoryLimit_; }
  void setMemoryLimit(std::size_t bytes) { memoryLimit_ = bytes; }

 private:
  // Adds a block, or throws MemoryBudgetExceeded when it would pass the limit.
  void grow();

  std::vector<RecordSource> sources_;
  std::vector<std::unique_ptr<LogRecord[]>> blocks_;
  std::size_t size_ = 0;
  std::shared_ptr<TextArena> arena_;
  std::size_t memoryLimit_;
};

}  // namespace tervolin

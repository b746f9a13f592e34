#pragma once
// The record list: one decoded value of one parameter from one response, in
// log order. A record is compact: its request ordinal, the index of its
// source (the definition or graph channel whose request code, position field,
// unit and name it carries) and its value text in a shared arena, packed in
// 8 bytes (12 where a block's ordinals or sources do not fit). Storage grows
// in blocks of 65535 records and never copies what it holds.
//
// Copies share their records: a copy costs nothing, and the first change
// of a shared list (which readers start with clear()) gives it storage of
// its own. So a read can run on a copy of the application state while the
// windows keep showing the old records.
//
// Parts of one log read at once by several threads are joined with
// appendPart, which takes the part's blocks and texts over without copying
// them; blocks then hold 65535 records except the last one of each part.
//
// A list keeps to a memory limit (recordMemoryBudget() unless set): a block
// that would pass it throws MemoryBudgetExceeded.

#include <cstdint>
#include <iterator>
#include <memory>
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

namespace record_detail {

// A block of records. Packed words hold value (bits 0-31), source (32-42)
// and the ordinal less the block's first ordinal (43-63); a block whose
// records do not fit is kept as LogRecords ("wide").
struct Block {
  static constexpr int kSourceShift = 32;
  static constexpr int kDeltaShift = 43;
  static constexpr std::uint64_t kSourceLimit = 1u << 11;
  static constexpr std::uint64_t kDeltaLimit = 1u << 21;

  std::unique_ptr<std::uint64_t[]> packed;
  std::unique_ptr<LogRecord[]> wide;
  std::int32_t base = 0;  // ordinal of the first record (packed blocks)
  std::uint32_t size = 0;

  LogRecord at(std::size_t i) const {
    if (packed) [[likely]] {
      const std::uint64_t w = packed[i];
      return {static_cast<std::int32_t>(static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(w >> kDeltaShift)),
              static_cast<std::uint32_t>(w >> kSourceShift) & static_cast<std::uint32_t>(kSourceLimit - 1),
              static_cast<TextRef>(w)};
    }
    return wide[i];
  }
};

}  // namespace record_detail

// The records of one block, read by value.
class RecordBlock {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = LogRecord;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = LogRecord;
    iterator() = default;
    iterator(const record_detail::Block* block, std::size_t i) : block_(block), i_(i) {}
    LogRecord operator*() const { return block_->at(i_); }
    iterator& operator++() {
      ++i_;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++i_;
      return old;
    }
    bool operator==(const iterator& other) const { return i_ == other.i_; }

   private:
    const record_detail::Block* block_ = nullptr;
    std::size_t i_ = 0;
  };

  explicit RecordBlock(const record_detail::Block& block) : block_(&block) {}
  std::size_t size() const { return block_->size; }
  LogRecord operator[](std::size_t i) const { return block_->at(i); }
  iterator begin() const { return {block_, 0}; }
  iterator end() const { return {block_, block_->size}; }

 private:
  const record_detail::Block* block_;
};

class RecordList {
 public:
  static constexpr std::size_t kBlock = 65535;

  RecordList();
  // Copies share the records until either of them changes.
  RecordList(const RecordList& other) = default;
  RecordList& operator=(const RecordList& other) = default;
  RecordList(RecordList&& other) noexcept;
  RecordList& operator=(RecordList&& other) noexcept;

  // Adds a source, cutting its texts to the record limits; returns its index.
  std::uint32_t addSource(const RecordSource& source);
  const std::vector<RecordSource>& sources() const { return s_->sources; }
  const RecordSource& source(std::size_t record) const { return s_->sources[at(record).source]; }

  // Adds a record with its value stored in the arena; returns the value's ref.
  TextRef append(std::int32_t ordinal, std::uint32_t source, std::string_view value);
  // Adds a record naming a value already in this list's arena.
  void appendRef(std::int32_t ordinal, std::uint32_t source, TextRef value) {
    Storage& s = own();
    if (s.blocks.empty() || s.blocks.back().size == kBlock || s.lastBlockClosed) [[unlikely]]
      startBlock(s, ordinal);
    record_detail::Block& b = s.blocks.back();
    const std::uint64_t delta = static_cast<std::uint32_t>(ordinal) - static_cast<std::uint32_t>(b.base);
    if (b.packed && source < record_detail::Block::kSourceLimit && delta < record_detail::Block::kDeltaLimit)
        [[likely]] {
      b.packed[b.size] = value | std::uint64_t{source} << record_detail::Block::kSourceShift |
                         delta << record_detail::Block::kDeltaShift;
    } else {
      widen(b);
      b.wide[b.size] = LogRecord{ordinal, source, value};
    }
    ++b.size;
    ++s.size;
  }

  // Appends records at the cost of a store each, for the readers of big
  // logs. While an appender lives nothing else may read or change the list;
  // the list is up to date again once flush() was called or the appender
  // is gone.
  class Appender {
   public:
    explicit Appender(RecordList& list) : list_(list) { arm(); }
    ~Appender() { flush(); }
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    void append(std::int32_t ordinal, std::uint32_t source, TextRef value) {
      const std::uint64_t delta = static_cast<std::uint32_t>(ordinal) - static_cast<std::uint32_t>(base_);
      if (next_ != end_ && source < record_detail::Block::kSourceLimit && delta < record_detail::Block::kDeltaLimit)
          [[likely]] {
        *next_++ = value | std::uint64_t{source} << record_detail::Block::kSourceShift |
                   delta << record_detail::Block::kDeltaShift;
        return;
      }
      flush();
      list_.appendRef(ordinal, source, value);
      arm();
    }
    TextRef add(std::string_view text) { return list_.s_->arena->add(text); }
    void flush();

   private:
    void arm();

    RecordList& list_;
    std::uint64_t* next_ = nullptr;  // room in the last block, when packed
    std::uint64_t* end_ = nullptr;
    std::int32_t base_ = 0;
  };

  std::size_t size() const { return s_->size; }
  bool empty() const { return s_->size == 0; }
  LogRecord at(std::size_t i) const {
    const Storage& s = *s_;
    const Segment* seg = &s.segments.back();
    if (i < seg->firstRecord) [[unlikely]] seg = &segmentOf(i);
    const std::size_t k = i - seg->firstRecord;
    return s.blocks[seg->firstBlock + k / kBlock].at(k % kBlock);
  }
  std::string_view value(std::size_t i) const { return s_->arena->get(at(i).value); }

  // The records block by block, for walks over millions of records without
  // per-record index arithmetic. Blocks follow one another in log order.
  std::size_t blockCount() const { return s_->blocks.size(); }
  RecordBlock block(std::size_t k) const { return RecordBlock(s_->blocks[k]); }

  // The arena holding the values; the grid shares it to name values without
  // copying them.
  const std::shared_ptr<TextArena>& arena() const { return s_->arena; }

  // Empties the list and its sources; a new arena is started so that texts
  // still named by an older grid stay valid.
  void clear();

  // A list to fill on another thread with the part `part` of `parts` of a
  // log, with this list's memory limit: its values go to chunks numbered
  // apart from every other part's, so that appendPart can take them over as
  // they are.
  RecordList forPart(std::size_t part, std::size_t parts) const;
  // Appends the records of `part` (sources as this list's), adding
  // `ordinalShift` to their ordinals, and takes over its values. This list
  // must have been made by forPart(0, parts) (or be the first part already
  // joined), `part` by forPart(k, parts). Throws MemoryBudgetExceeded when
  // the joined list passes the limit.
  void appendPart(RecordList&& part, std::uint32_t ordinalShift);

  std::size_t memoryBytes() const;
  // Bytes the records and their values may take; kept by clear(), and given
  // to the parts made by forPart.
  std::size_t memoryLimit() const { return s_->memoryLimit; }
  void setMemoryLimit(std::size_t bytes) { own().memoryLimit = bytes; }

 private:
  struct Segment {
    std::size_t firstRecord = 0;
    std::size_t firstBlock = 0;
  };
  struct Storage {
    std::vector<RecordSource> sources;
    std::vector<record_detail::Block> blocks;
    // Runs of blocks of kBlock records (the last of each run may hold fewer).
    std::vector<Segment> segments{Segment{}};
    std::size_t size = 0;
    bool lastBlockClosed = false;  // the last block ends a joined part
    std::shared_ptr<TextArena> arena;
    std::size_t memoryLimit = 0;
  };

  RecordList(std::shared_ptr<TextArena> arena, std::size_t memoryLimit);
  Storage& own() {
    if (s_.use_count() > 1) [[unlikely]] detach();
    return *s_;
  }
  void detach();
  static void startBlock(Storage& s, std::int32_t ordinal);
  void widen(record_detail::Block& b);
  static std::size_t storageBytes(const Storage& s);
  const Segment& segmentOf(std::size_t i) const;

  std::shared_ptr<Storage> s_;
};

}  // namespace tervolin

#pragma once
// Record values read as numbers (`yn`: "Да" 1, "Нет" 0, else a number in the
// notation of the decimal mark), remembered by the value's text handle. The
// readers store each distinct value text of a definition once and name it
// from every record that repeats it, so a walk over millions of records
// parses only a few thousand texts.

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>

#include "common/number_format.h"
#include "common/record_list.h"

namespace tervolin {

class RecordValues {
 public:
  RecordValues(const RecordList& records, char decimalMark)
      : arena_(records.arena()), mark_(decimalMark), entries_(std::make_unique<Entry[]>(kEntries)) {
    for (std::size_t k = 0; k < kEntries; ++k) entries_[k].ref = kNoRef;
  }

  // True with the number in `value` when the text named by `ref` converts.
  bool read(TextRef ref, double& value) {
    Entry& e = entries_[slot(ref)];
    if (e.ref != ref) [[unlikely]] fill(e, ref);
    value = e.value;
    return !std::isnan(value);
  }

 private:
  struct Entry;
  // Kept out of line, so that the walks stay small around the hit.
  [[gnu::noinline]] void fill(Entry& e, TextRef ref) {
    const auto v = yn(arena_->get(ref), mark_);
    e.ref = ref;
    e.value = v ? *v : kFails;
  }

  static constexpr std::size_t kEntries = 8192;
  // Never names a text: chunk indexes stay far below 2^32 - 1.
  static constexpr TextRef kNoRef = ~TextRef{0};
  // yn never gives NaN, so NaN marks a text that does not convert.
  static constexpr double kFails = std::numeric_limits<double>::quiet_NaN();
  struct Entry {
    TextRef ref;
    double value;
  };
  static std::size_t slot(TextRef ref) {
    return static_cast<std::size_t>((ref * 0x9E3779B97F4A7C15ull) >> 51) & (kEntries - 1);
  }

  std::shared_ptr<TextArena> arena_;  // kept alive while the walk reads it
  char mark_;
  std::unique_ptr<Entry[]> entries_;
};

}  // namespace tervolin

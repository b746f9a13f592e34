#pragma once
// Memoised value texts. A log repeats the same few byte values over and over,
// and a definition's value text depends only on the slots its formula reads,
// so the readers decode each distinct input once per definition and reuse
// the stored text afterwards.
//
// valueKey condenses every input a definition's text depends on (for fixed
// decode options) into 64 bits; equal keys of one definition give equal
// texts. Definitions whose text depends on the whole data, or whose decode
// can raise DecodeError, have no key and are always decoded.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "decode/decode_fast.h"

namespace tervolin {

// Never produced as a key: marks "decode every time" and empty cache entries.
inline constexpr std::uint64_t kNoValueKey = ~std::uint64_t{0};

// How a prepared definition's inputs are condensed; worked out once per
// definition (and per inversion setting, which moves the word position).
class ValueKeyPlan {
 public:
  ValueKeyPlan() = default;
  ValueKeyPlan(const PreparedDefinition& definition, bool inversion);

  bool cacheable() const { return kind_ != Kind::Never; }
  // Entries of a cache that holds this definition's distinct keys well: a
  // definition reading one byte has a few hundred at most.
  std::size_t cacheEntries() const;

  // The key of `data` for this definition, or kNoValueKey.
  std::uint64_t key(const ResponseBytes& data) const;

 private:
  enum class Kind : std::uint8_t {
    Never,      // always decode
    Constant,   // the text does not depend on the data
    Byte,       // slot i
    Word,       // slots p, q and the state of the four-byte check
    DoubleWord, // slots p, q and the four-byte check with its value
    WordAndOne, // Word plus one more slot (extra_)
    Status,     // the six leading byte values A..F
  };
  Kind kind_ = Kind::Never;
  long first_ = 0;   // slot i or p
  long second_ = 0;  // slot q
  long extra_ = 0;
};

// A direct-mapped cache from keys to stored text handles (whatever the
// caller uses to name a stored text, e.g. an arena TextRef).
class ValueCache {
 public:
  static constexpr std::size_t kEntries = 2048;

  // `entries` is a power of two.
  explicit ValueCache(std::size_t entries = kEntries) : mask_(entries - 1) {}

  // The handle stored under `key`; false when it is not held. The key
  // found or stored last is kept beside the table: a parameter's value
  // often stays from one response to the next, and the look-up then
  // touches no table (a reader's dozens of tables do not fit the
  // processor's nearest caches).
  bool find(std::uint64_t key, std::uint64_t& handle) {
    if (key == last_.key && key != kNoValueKey) [[likely]] {
      handle = last_.handle;
      return true;
    }
    if (!entries_) return false;
    const Entry& e = entries_[slot(key)];
    if (e.key != key) return false;
    handle = e.handle;
    last_ = e;
    return true;
  }
  void store(std::uint64_t key, std::uint64_t handle) {
    if (!entries_) {
      entries_ = std::make_unique<Entry[]>(mask_ + 1);
      for (std::size_t k = 0; k <= mask_; ++k) entries_[k].key = kNoValueKey;
    }
    entries_[slot(key)] = Entry{key, handle};
    last_ = Entry{key, handle};
  }

 private:
  struct Entry {
    std::uint64_t key;
    std::uint64_t handle;
  };
  std::size_t slot(std::uint64_t key) const {
    key *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(key >> 53) & mask_;
  }
  std::size_t mask_;
  Entry last_{kNoValueKey, 0};
  std::unique_ptr<Entry[]> entries_;
};

}  // namespace tervolin

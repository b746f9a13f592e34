// Keys of memoised value texts: each key packs the exact text of every slot
// the definition's formula reads (length and characters, so even the case of
// a hex digit that "FH" copies is kept apart), the outcome of the four-byte
// check that can leave a word code without a value, and for status requests
// the six leading byte values they are built from.

#include "decode/value_cache.h"

#include "decode/formula_catalogue.h"
#include "decode/obd_status.h"

namespace tervolin {
namespace {

// Slot k's text in 18 bits: its length (0..2) and its characters.
std::uint64_t slotText(const ResponseBytes& r, long k) { return r.slotText(k); }

// The four-byte check on slots p2 and q2 (see formula::evaluate): 0 when not
// both hold two characters, 1 with the word they make, 2 when either of them
// is not hex (every word code then gives no value). The word is in the low
// 16 bits, the state above them.
std::uint64_t fourByteCheck(const ResponseBytes& r, long p2, long q2, bool withWord) {
  if (r.slotLength(p2) != 2 || r.slotLength(q2) != 2) return 0;
  const int vp = r.slotValue[static_cast<std::size_t>(p2)];
  const int vq = r.slotValue[static_cast<std::size_t>(q2)];
  if (vp < 0 || vq < 0) return std::uint64_t{2} << 16;
  return (std::uint64_t{1} << 16) | (withWord ? static_cast<std::uint64_t>(vp << 8 | vq) : 0);
}

}  // namespace

ValueKeyPlan::ValueKeyPlan(const PreparedDefinition& definition, bool inversion) {
  if (definition.shortPosition) {
    kind_ = Kind::Constant;
    return;
  }
  if (definition.formulaCode.empty()) {
    // Raw data and the fuel system texts quote the whole data; "01B2" can
    // raise a decode error. The other status texts are built from A..F.
    static const int fuelSystem = status::find("0103");
    static const int voltage = status::find("01B2");
    const int request = definition.statusRequest;
    kind_ = request < 0 || request == fuelSystem || request == voltage ? Kind::Never : Kind::Status;
    return;
  }
  if (definition.formula < 0 || definition.byteIndex < 0) {
    kind_ = Kind::Constant;  // no value whatever the data
    return;
  }
  const formula::FormulaRow& row = formula::rows()[static_cast<std::size_t>(definition.formula)];
  const long i = definition.byteIndex;
  if (!formula::readsWord(row)) {
    kind_ = Kind::Byte;
    first_ = i;
    return;
  }
  first_ = inversion ? i + 1 : i;
  second_ = inversion ? first_ - 1 : first_ + 1;
  switch (row.special) {
    case formula::Special::ByteRatio:
      kind_ = Kind::WordAndOne;
      extra_ = first_ + 1;
      break;
    case formula::Special::FarLowByte:
      kind_ = Kind::WordAndOne;
      extra_ = first_ + 10;
      break;
    default:
      kind_ = row.operand == formula::Operand::DW ? Kind::DoubleWord : Kind::Word;
      break;
  }
}

std::size_t ValueKeyPlan::cacheEntries() const {
  return kind_ == Kind::Byte || kind_ == Kind::Constant ? 512 : ValueCache::kEntries;
}

std::uint64_t ValueKeyPlan::key(const ResponseBytes& data) const {
  switch (kind_) {
    case Kind::Never:
      return kNoValueKey;
    case Kind::Constant:
      return 0;
    case Kind::Byte:
      return slotText(data, first_);
    case Kind::Word:
      return slotText(data, first_) | slotText(data, second_) << 18 |
             (fourByteCheck(data, first_ + 2, second_ + 2, false) >> 16) << 36;
    case Kind::DoubleWord:
      return slotText(data, first_) | slotText(data, second_) << 18 |
             fourByteCheck(data, first_ + 2, second_ + 2, true) << 36;
    case Kind::WordAndOne:
      return slotText(data, first_) | slotText(data, second_) << 18 |
             (fourByteCheck(data, first_ + 2, second_ + 2, false) >> 16) << 36 | slotText(data, extra_) << 38;
    case Kind::Status: {
      std::uint64_t key = 0;
      for (std::size_t k = 0; k < data.fixed.size(); ++k)
        key |= static_cast<std::uint64_t>(data.fixed[k] & 0xFF) << (8 * k);
      return key;
    }
  }
  return kNoValueKey;
}

}  // namespace tervolin

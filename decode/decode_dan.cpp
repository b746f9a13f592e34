// DecodeDan works on the byte texts themselves: the data is split into
// two-character slot texts, and every operand is read from those texts the
// way the byte-order rules describe them (a word is the text of one slot
// followed by the text of the other, read as one hex number). The readers use
// the prepared road of decode_fast.cpp, which must give the same texts.

#include "decode/decode_dan.h"

#include <cstdint>
#include <vector>

#include "common/hex.h"
#include "decode/decode_fast.h"
#include "decode/formula_catalogue.h"
#include "decode/obd_status.h"
#include "decode/position_field.h"

namespace tervolin {
namespace {

class TextSlots {
 public:
  explicit TextSlots(std::string_view compact) {
    const std::size_t n = slotCountFor(compact.size());
    slots_.reserve(n);
    for (std::size_t k = 0; k < n; ++k) slots_.push_back(compact.substr(2 * k, 2));
  }

  std::string_view text(long k) const {
    return k < 0 || static_cast<std::size_t>(k) >= slots_.size() ? std::string_view{} : slots_[static_cast<std::size_t>(k)];
  }
  int byteValue(long k) const {
    const auto v = parseHex(text(k));
    return v ? static_cast<int>(*v) : -1;
  }
  bool word(long p, long q, std::uint32_t& w) const {
    const std::string joined = std::string(text(p)) + std::string(text(q));
    const auto v = parseHex(joined);
    if (!v) return false;
    w = static_cast<std::uint32_t>(*v);
    return true;
  }
  int dwordLow(long p2, long q2, std::uint32_t& w2) const {
    if (text(p2).size() != 2 || text(q2).size() != 2) return 0;
    return word(p2, q2, w2) ? 1 : -1;
  }
  std::size_t size() const { return slots_.size(); }

 private:
  std::vector<std::string_view> slots_;
};

}  // namespace

std::string DecodeDan(std::string_view data, std::string_view requestCode, std::string_view positionField,
                      std::string_view formulaCode, const DecodeOptions& options) {
  const std::string compact = delspace(data);
  const TextSlots slots(compact);
  status::Inputs in;
  for (int k = 0; k < 6; ++k) in.bytes[static_cast<std::size_t>(k)] = std::max(slots.byteValue(k), 0);

  const PositionField field = readPositionField(positionField);
  if (field.tooShort) return std::string(kFaultyPosition);

  std::string result;
  if (formulaCode.empty()) {
    in.positionCode = field.positionCode;
    in.byteIndex = field.byteIndex;
    in.slotValue = field.byteIndex < 0 ? -1 : slots.byteValue(field.byteIndex);
    in.compact = compact;
    in.mark = options.decimalMark;
    status::interpret(status::find(requestCode), in, result);
    return result;
  }
  formula::evaluate(formula::find(formulaCode), slots, field.byteIndex, field.bitSelector, options.inversion,
                    options.decimalMark, result);
  return result;
}

}  // namespace tervolin

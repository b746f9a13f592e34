// The prepared road: slot values are parsed once per response and the
// definition's formula and position once per definition.

#include "decode/decode_fast.h"

#include "common/hex.h"
#include "decode/formula_catalogue.h"
#include "decode/obd_status.h"
#include "decode/position_field.h"

namespace tervolin {
namespace {

// Slot access over the pre-parsed values, following the same word rule as
// the text road: the word is slot p's digits followed by slot q's digits.
class ValueSlots {
 public:
  explicit ValueSlots(const ResponseBytes& r) : r_(r) {}

  std::string_view text(long k) const {
    const int len = r_.slotLength(k);
    return len == 0 ? std::string_view{} : std::string_view(r_.compact).substr(2 * static_cast<std::size_t>(k), len);
  }
  int byteValue(long k) const {
    return r_.slotLength(k) == 0 ? -1 : r_.slotValue[static_cast<std::size_t>(k)];
  }
  bool word(long p, long q, std::uint32_t& w) const {
    const int lp = r_.slotLength(p), lq = r_.slotLength(q);
    if (lp + lq == 0) return false;
    const int vp = lp ? r_.slotValue[static_cast<std::size_t>(p)] : 0;
    const int vq = lq ? r_.slotValue[static_cast<std::size_t>(q)] : 0;
    if (vp < 0 || vq < 0) return false;
    w = (static_cast<std::uint32_t>(vp) << (4 * lq)) | static_cast<std::uint32_t>(vq);
    return true;
  }
  int dwordLow(long p2, long q2, std::uint32_t& w2) const {
    if (r_.slotLength(p2) != 2 || r_.slotLength(q2) != 2) return 0;
    return word(p2, q2, w2) ? 1 : -1;
  }

 private:
  const ResponseBytes& r_;
};

}  // namespace

void ResponseBytes::assign(std::string_view data) {
  compact.resize(data.size());
  compact.resize(copyWithoutBlanks(data, compact.data()));
  slotCount = slotCountFor(compact.size());
  lastSlotShort = slotCount > 0 && 2 * slotCount > compact.size();
  slotValue.resize(slotCount);
  const char* text = compact.data();
  const std::size_t whole = lastSlotShort ? slotCount - 1 : slotCount;
  for (std::size_t k = 0; k < whole; ++k) {
    const int hi = hexDigitValue(text[2 * k]);
    const int lo = hexDigitValue(text[2 * k + 1]);
    slotValue[k] = static_cast<std::int16_t>((hi | lo) < 0 ? -1 : hi * 16 + lo);
  }
  if (lastSlotShort) slotValue[whole] = static_cast<std::int16_t>(hexDigitValue(text[2 * whole]));
  for (std::size_t k = 0; k < fixed.size(); ++k)
    fixed[k] = k < slotCount && slotValue[k] > 0 ? slotValue[k] : 0;
}

PreparedDefinition::PreparedDefinition(std::string_view request, std::string_view position, std::string_view code)
    : requestCode(request), positionField(position), formulaCode(code) {
  const PositionField field = readPositionField(position);
  shortPosition = field.tooShort;
  byteIndex = field.byteIndex;
  bitSelector = field.bitSelector;
  positionCode = field.positionCode;
  formula = formula::find(code);
  statusRequest = status::find(request);
}

void decodeInto(const ResponseBytes& data, const PreparedDefinition& definition, const DecodeOptions& options,
                std::string& out) {
  if (definition.shortPosition) {
    out.assign(kFaultyPosition);
    return;
  }
  if (definition.formulaCode.empty()) {
    status::Inputs in;
    in.bytes = data.fixed;
    in.positionCode = definition.positionCode;
    in.byteIndex = definition.byteIndex;
    in.slotValue = definition.byteIndex < 0 || data.slotLength(definition.byteIndex) == 0
                       ? -1
                       : data.slotValue[static_cast<std::size_t>(definition.byteIndex)];
    in.compact = data.compact;
    in.mark = options.decimalMark;
    status::interpret(definition.statusRequest, in, out);
    return;
  }
  if (!formula::evaluate(definition.formula, ValueSlots(data), definition.byteIndex, definition.bitSelector,
                         options.inversion, options.decimalMark, out))
    out.clear();
}

}  // namespace tervolin

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

namespace {

// Slot text as a value key part: its length (0..2) and its characters.
std::uint32_t slotKeyOf(const char* text, int length) {
  const auto* c = reinterpret_cast<const unsigned char*>(text);
  const std::uint32_t chars = length == 2 ? (std::uint32_t{c[0]} << 8) | c[1] : length == 1 ? c[0] : 0;
  return (static_cast<std::uint32_t>(length) << 16) | chars;
}

}  // namespace

bool ResponseBytes::assignPairs(std::string_view data) {
  // Pairs of two characters other than blanks, each followed by one blank
  // except perhaps the last: how nearly every response's data is written.
  const std::size_t n = data.size();
  if (n % 3 == 1 || n == 0) return false;
  const std::size_t pairs = (n + 1) / 3;
  if (pairs > kSlotCapacity) return false;
  compact.resize(2 * pairs);
  slotValue.resize(pairs);
  slotKey.resize(pairs);
  const char* in = data.data();
  char* out = compact.data();
  std::int16_t* values = slotValue.data();
  std::uint32_t* keys = slotKey.data();
  // Every pair is followed by a blank but the last, which may be.
  unsigned blanks = 0;
  for (std::size_t k = 0; k + 1 < pairs; ++k) blanks |= static_cast<unsigned char>(in[3 * k + 2]) ^ ' ';
  bool regular = blanks == 0 && (n % 3 == 2 || in[n - 1] == ' ');
  for (std::size_t k = 0; k < pairs; ++k, in += 3) {
    const char a = in[0], b = in[1];
    regular &= (a != ' ') & (b != ' ');
    out[2 * k] = a;
    out[2 * k + 1] = b;
    const int hi = hexDigitValue(a);
    const int lo = hexDigitValue(b);
    values[k] = static_cast<std::int16_t>((hi | lo) < 0 ? -1 : hi * 16 + lo);
    keys[k] = (std::uint32_t{2} << 16) | (std::uint32_t{static_cast<unsigned char>(a)} << 8) |
              static_cast<unsigned char>(b);
  }
  if (!regular) return false;
  slotCount = pairs;
  lastSlotShort = false;
  return true;
}

void ResponseBytes::assign(std::string_view data) {
  if (!assignPairs(data)) {
    compact.resize(data.size());
    compact.resize(copyWithoutBlanks(data, compact.data()));
    slotCount = slotCountFor(compact.size());
    lastSlotShort = slotCount > 0 && 2 * slotCount > compact.size();
    slotValue.resize(slotCount);
    slotKey.resize(slotCount);
    const char* text = compact.data();
    const std::size_t whole = lastSlotShort ? slotCount - 1 : slotCount;
    for (std::size_t k = 0; k < whole; ++k) {
      const int hi = hexDigitValue(text[2 * k]);
      const int lo = hexDigitValue(text[2 * k + 1]);
      slotValue[k] = static_cast<std::int16_t>((hi | lo) < 0 ? -1 : hi * 16 + lo);
      slotKey[k] = slotKeyOf(text + 2 * k, 2);
    }
    if (lastSlotShort) {
      slotValue[whole] = static_cast<std::int16_t>(hexDigitValue(text[2 * whole]));
      slotKey[whole] = slotKeyOf(text + 2 * whole, 1);
    }
  }
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

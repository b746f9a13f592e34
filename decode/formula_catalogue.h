#pragma once
// The formula catalogue: every formula code the decoder understands, with
// all its accepted spellings, the operand it reads (one byte, a word, a
// four-byte value or a particular combination of bytes), its arithmetic and
// the text format of the result. One row per code; looked up once per
// definition through a table indexed by the two characters of the code.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/number_format.h"
#include "common/text.h"

namespace tervolin::formula {

enum class Operand : std::uint8_t {
  A,           // the byte at the index, 0..255
  SA,          // the same byte read as signed
  W,           // the word at the word position
  SW,          // the word read as signed (sign from the byte at the word position)
  DW,          // the word and the next word as one 32-bit value
  Particular,  // bytes combined by the row's own rule (see Special)
};

enum class Special : std::uint8_t {
  None,
  UnusedAt255,   // byte FF means "not used" and is shown as such
  SignedFormat,  // negative values use digitsWhenNegative decimals
  HexText,       // the byte's own text, as received
  BitFlag,       // "Да"/"Нет" for the bit named by the position field
  ByteRatio,     // Ap * 2 + 125 / Bp (two single bytes after the word check)
  FarLowByte,    // Ap * 256 + the byte ten places further on
};

struct FormulaRow {
  std::array<std::string_view, 4> spellings;  // unused entries empty
  Operand operand;
  double (*calc)(double x);
  std::int8_t precision;  // 0: integer text
  std::int8_t digits;
  std::int8_t digitsWhenNegative;  // SignedFormat only
  Special special;
};

std::span<const FormulaRow> rows();

// Index of the row accepting `code` exactly (case-sensitive), -1 when none.
int find(std::string_view code);

inline bool readsWord(const FormulaRow& row) { return row.operand >= Operand::W; }

inline constexpr std::string_view kYes = kYesText;
inline constexpr std::string_view kNo = kNoText;
inline constexpr std::string_view kUnused = "Не используется"_w;

// Evaluates row `index` on the byte slots of one response. `Slots` gives:
//   int byteValue(long k)            value of slot k, -1 when empty or not hex
//   std::string_view text(long k)    text of slot k, empty when absent
//   bool word(long p, long q, std::uint32_t& w)   the word rule
//   int dwordLow(long p2, long q2, std::uint32_t& w2)
//       1: both slots hold two hex digits (w2 set); 0: not both two
//       characters (the four-byte value is 0); -1: four non-hex characters
// byteIndex is -1 when the position field's index is not hex; bitSelector
// is -1 when the field's last two characters are not hex. False (and `out`
// untouched) when the formula gives no value.
template <class Slots>
bool evaluate(int index, const Slots& slots, int byteIndex, int bitSelector, bool inversion, char mark,
              std::string& out);

// The text of a computed value in the row's format.
void formatValue(double value, int precision, int digits, char mark, std::string& out);

template <class Slots>
bool evaluate(int index, const Slots& slots, int byteIndex, int bitSelector, bool inversion, char mark,
              std::string& out) {
  if (index < 0 || byteIndex < 0) return false;
  const FormulaRow& row = rows()[static_cast<std::size_t>(index)];
  const long i = byteIndex;

  if (!readsWord(row)) {
    const int a = slots.byteValue(i);
    if (a < 0) return false;
    switch (row.special) {
      case Special::HexText:
        out.assign(slots.text(i));
        return true;
      case Special::BitFlag: {
        if (bitSelector < 0) return false;
        // Selectors 08..0F name bits 0..7; lower ones lie outside the byte,
        // higher ones all land on the most significant bit.
        const bool set = bitSelector >= 8 && ((a >> (bitSelector >= 16 ? 7 : bitSelector - 8)) & 1);
        out.assign(set ? kYes : kNo);
        return true;
      }
      case Special::UnusedAt255:
        if (a == 255) {
          out.assign(kUnused);
          return true;
        }
        break;
      default:
        break;
    }
    const double x = row.operand == Operand::SA && a >= 128 ? a - 256 : a;
    const int digits = row.special == Special::SignedFormat && a >= 128 ? row.digitsWhenNegative : row.digits;
    formatValue(row.calc(x), row.precision, digits, mark, out);
    return true;
  }

  // Word operands: the word position moves one byte on with the inversion.
  const long p = inversion ? i + 1 : i;
  const long q = inversion ? p - 1 : p + 1;
  std::uint32_t w = 0;
  if (!slots.word(p, q, w)) return false;
  std::uint32_t w2 = 0;
  const int low = slots.dwordLow(p + 2, q + 2, w2);
  if (low < 0) return false;

  double x = 0;
  switch (row.operand) {
    case Operand::W:
      x = w;
      break;
    case Operand::SW: {
      const int sign = slots.byteValue(p);
      x = sign >= 128 ? static_cast<double>(w) - 65536 : w;
      break;
    }
    case Operand::DW:
      x = low == 1 ? static_cast<double>(w) * 65536 + w2 : 0;
      break;
    default: {
      const int ap = slots.byteValue(p);
      if (ap < 0) return false;
      if (row.special == Special::ByteRatio) {
        const int bp = slots.byteValue(p + 1);
        if (bp <= 0) return false;  // absent, not hex, or a division by zero
        formatValue(ap * 2 + 125.0 / bp, row.precision, row.digits, mark, out);
        return true;
      }
      const int far = slots.byteValue(p + 10);
      if (far < 0) return false;
      x = ap * 256 + far;
      break;
    }
  }
  formatValue(row.calc(x), row.precision, row.digits, mark, out);
  return true;
}

}  // namespace tervolin::formula

#include "decode/position_field.h"

#include "common/hex.h"

namespace tervolin {
namespace {

int twoHexDigits(std::string_view s) {
  const int hi = hexDigitValue(s[0]);
  const int lo = hexDigitValue(s[1]);
  return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

}  // namespace

PositionField readPositionField(std::string_view field) {
  PositionField f;
  if (field.size() < 4) {
    f.tooShort = true;
    return f;
  }
  f.byteIndex = twoHexDigits(field.substr(0, 2));
  f.bitSelector = twoHexDigits(field.substr(2, 2));
  if (f.byteIndex < 0) return f;  // no byte selected, position code 0
  if (field.substr(2, 2) == "00")
    f.positionCode = 10 * f.byteIndex;
  else if (f.bitSelector >= 0)
    f.positionCode = 10 * f.byteIndex + f.bitSelector - 7;
  return f;
}

}  // namespace tervolin

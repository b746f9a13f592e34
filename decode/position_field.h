#pragma once
// The four-character position field of a definition: byte index (two hex
// digits) and bit selector ("00" for whole bytes, 08..0F for bits 0..7).

#include <string_view>

#include "common/text.h"

namespace tervolin {

struct PositionField {
  bool tooShort = false;  // under four characters: the definition is faulty
  int byteIndex = -1;     // -1 when characters 1 and 2 are not hex
  int bitSelector = -1;   // -1 when characters 3 and 4 are not hex
  int positionCode = 0;   // 10 * index, plus bit + 1 for a bit selector
};

PositionField readPositionField(std::string_view field);

// The value text of a definition whose position field is too short.
inline constexpr std::string_view kFaultyPosition = "Ошибка в Pids.ini"_w;

}  // namespace tervolin

#pragma once
// The rule by which the table tools (filter, column average) tell numbers
// from texts in grid cells.

#include <optional>
#include <string_view>

namespace tervolin {

// A cell counts as a number when its first character is a digit, or when it
// is "-" and the second is a digit 1 to 9 (so "-0.5" counts as text).
constexpr bool isNumericCell(std::string_view cell) {
  if (cell.empty()) return false;
  if (cell[0] >= '0' && cell[0] <= '9') return true;
  return cell[0] == '-' && cell.size() > 1 && cell[1] >= '1' && cell[1] <= '9';
}

}  // namespace tervolin

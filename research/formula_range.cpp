#include "research/formula_range.h"

namespace tervolin {
namespace {

// How far the brackets are looked for: the first "." and the nine
// characters before it, the first "." and the nine characters after it.
constexpr std::size_t kBracketReach = 10;

std::string digitsAndMinus(std::string_view text) {
  std::string out;
  for (const char c : text)
    if ((c >= '0' && c <= '9') || c == '-') out += c;
  return out;
}

}  // namespace

std::optional<RangeTexts> rangeFromFormulaText(std::string_view text) {
  const std::size_t dots = text.find("..");
  if (dots == std::string_view::npos) return std::nullopt;

  std::size_t minimumFrom = 0;  // no "(": everything before ".."
  for (std::size_t k = 0; k < kBracketReach && k <= dots; ++k) {
    if (text[dots - k] == '(') {
      minimumFrom = dots - k + 1;
      break;
    }
  }
  std::string_view maximum;  // no ")": empty
  for (std::size_t k = 0; k < kBracketReach && dots + k < text.size(); ++k) {
    if (text[dots + k] == ')') {
      maximum = text.substr(dots + 2, k - 2);  // k >= 2: the two dots come first
      break;
    }
  }
  return RangeTexts{digitsAndMinus(text.substr(minimumFrom, dots - minimumFrom)), digitsAndMinus(maximum)};
}

}  // namespace tervolin

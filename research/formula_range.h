#pragma once
// The plausible range written in a formula item, as the research window
// fills its minimum and maximum fields when the formula list loses focus:
// "FT: A-40 (-40.. 215`C) ..." gives -40 and 215.

#include <optional>
#include <string>
#include <string_view>

namespace tervolin {

struct RangeTexts {
  std::string minimum;
  std::string maximum;
};

// The texts around the first "..": the minimum from the nearest "(" at most
// nine characters before it (else from the start of the text), the maximum up
// to the nearest ")" within ten characters from it (else empty); of both only
// the digits and "-" are kept, so "(-100..99.22)" gives -100 and 9922. No
// value when the text holds no "..": the fields are left as they are.
std::optional<RangeTexts> rangeFromFormulaText(std::string_view formulaText);

}  // namespace tervolin

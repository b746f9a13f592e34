#pragma once
// Batch decoding for scripts and checks: one tab-separated line per
// definition and response in, one value line out. Lines are UTF-8; inside a
// field a backslash escapes tab (\t), line feed (\n), carriage return (\r)
// and itself (\\).

#include <string>
#include <string_view>

namespace tervolin {


// Text written instead of a value when decoding raises.
inline constexpr std::string_view kDecodeFailed = "!error";

// Decodes every line `formula<TAB>position<TAB>request<TAB>inverse<TAB>data`
// of `input` (a first line starting with "formula" is a header), appending
// one line per input line to `output`: the value text in UTF-8, escaped, or
// "!error". Missing fields are empty; inverse is on when it is "1".
void decodeBatch(std::string_view input, char decimalMark, std::string& output);

}  // namespace tervolin

#include "decode/decode_batch.h"

#include <array>

#include "common/field_escapes.h"
#include "common/text.h"
#include "decode/decode_dan.h"

namespace tervolin {

void decodeBatch(std::string_view input, char decimalMark, std::string& output) {
  // A byte-order mark written by some editors is no part of the first line.
  if (input.starts_with("\xEF\xBB\xBF")) input.remove_prefix(3);
  bool first = true;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first && line.starts_with("formula")) {
      first = false;
      continue;
    }
    first = false;

    std::array<std::string, 5> fields;  // formula, position, request, inverse, data
    for (std::size_t f = 0; f < fields.size() && !line.empty(); ++f) {
      const std::size_t tab = line.find('\t');
      const std::string_view raw = f + 1 == fields.size() ? line : line.substr(0, tab);
      fields[f] = utf8ToCp1251(unescapeField(raw));
      line = tab == std::string_view::npos || f + 1 == fields.size() ? std::string_view{} : line.substr(tab + 1);
    }
    const DecodeOptions options{fields[3] == "1", decimalMark};
    try {
      appendEscaped(output, cp1251ToUtf8(DecodeDan(fields[4], fields[2], fields[1], fields[0], options)));
    } catch (const DecodeError&) {
      output += kDecodeFailed;
    }
    output += '\n';
  }
}

}  // namespace tervolin

#include "common/field_escapes.h"

namespace tervolin {

std::string unescapeField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t k = 0; k < field.size(); ++k) {
    const char c = field[k];
    if (c != '\\' || k + 1 == field.size()) {
      out += c;
      continue;
    }
    switch (field[k + 1]) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += c; continue;  // keep the backslash, read the next character normally
    }
    ++k;
  }
  return out;
}

void appendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
}

}  // namespace tervolin

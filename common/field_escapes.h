#pragma once
// Backslash escapes of the command-line tool's tab-separated text: inside a
// field, tab, line feed, carriage return and backslash are written \t, \n,
// \r and \\.

#include <string>
#include <string_view>

namespace tervolin {

// The field with its escapes resolved; an unknown escape stays as written.
std::string unescapeField(std::string_view field);
// Appends `text` with tab, line feed, carriage return and backslash escaped.
void appendEscaped(std::string& out, std::string_view text);
// Appends Windows-1251 `text` escaped as above and turned into UTF-8, the
// two in one table look-up a byte (the command-line tool's grid text).
void appendEscapedUtf8(std::string& out, std::string_view cp1251);
// The same into room for at least 3 * cp1251.size() bytes; returns the end
// of what was written.
char* writeEscapedUtf8(char* out, std::string_view cp1251);

}  // namespace tervolin

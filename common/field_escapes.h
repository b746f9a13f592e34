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

}  // namespace tervolin

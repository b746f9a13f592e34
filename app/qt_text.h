#pragma once
// Windows-1251 core text to QString and back, for the windows.

#include <QString>
#include <string>
#include <string_view>

namespace tervolin {

// Through a fixed table built from the core's own Windows-1251 table, so the
// windows show exactly what the command-line tool prints; cheap enough for
// the grid model, which converts every cell as the view asks for it.
QString toQString(std::string_view cp1251);
// Characters without a Windows-1251 byte become '?'.
std::string fromQString(const QString& text);

}  // namespace tervolin

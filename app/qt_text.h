#pragma once
// Windows-1251 core text to QString and back, for the windows.

#include <QString>
#include <string>
#include <string_view>

namespace tervolin {

QString toQString(std::string_view cp1251);
// Characters without a Windows-1251 byte become '?'.
std::string fromQString(const QString& text);

}  // namespace tervolin

#pragma once
// The one place where core text and paths become QString and back. Core text
// is Windows-1251 bytes; paths are the file system's own bytes (UTF-8 here).

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace tervolin {

// Through a fixed table built from the core's own Windows-1251 table, so the
// windows show exactly what the command-line tool prints; cheap enough for
// the grid model, which converts every cell as the view asks for it.
QString toQString(std::string_view cp1251);
// Characters without a Windows-1251 byte become '?'.
std::string fromQString(const QString& text);

// A path as Qt shows and takes it, and back.
QString pathToQString(const std::filesystem::path& path);
std::filesystem::path pathFromQString(const QString& path);

}  // namespace tervolin

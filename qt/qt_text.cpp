#include "qt/qt_text.h"

#include <QFile>
#include <array>

#include "common/text.h"

namespace tervolin {
namespace {

// UTF-16 code units of the 256 Windows-1251 bytes; the unassigned byte 0x98
// shows as U+FFFD.
constexpr std::array<char16_t, 256> makeTable() {
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
  for (int b = 0x80; b < 0x100; ++b) {
    const char32_t cp = cp1251_detail::kHighHalf[b - 0x80];
    table[b] = cp == 0 ? char16_t(0xFFFD) : static_cast<char16_t>(cp);
  }
  return table;
}

constexpr std::array<char16_t, 256> kUtf16 = makeTable();

}  // namespace

QString toQString(std::string_view cp1251) {
  QString out(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
  QChar* dst = out.data();
  for (std::size_t i = 0; i < cp1251.size(); ++i) dst[i] = QChar(kUtf16[static_cast<unsigned char>(cp1251[i])]);
  return out;
}

std::string fromQString(const QString& text) {
  // The core's converter, not QStringEncoder: ICU writes the control byte
  // 0x1A for a character that has no Windows-1251 byte, the core writes '?'
  // as it does everywhere else.
  return utf8ToCp1251(text.toStdString());
}

QString pathToQString(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path pathFromQString(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace tervolin

#include "app/qt_text.h"

#include <QByteArray>
#include <QStringDecoder>

#include "common/text.h"

namespace tervolin {

QString toQString(std::string_view cp1251) {
  QStringDecoder decode("windows-1251");
  return decode(QByteArrayView(cp1251.data(), static_cast<qsizetype>(cp1251.size())));
}

std::string fromQString(const QString& text) {
  // The core's converter, not QStringEncoder: ICU writes the control byte
  // 0x1A for a character that has no Windows-1251 byte, the core writes '?'
  // as it does everywhere else.
  return utf8ToCp1251(text.toStdString());
}

}  // namespace tervolin

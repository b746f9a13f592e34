#include "app/qt_text.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tervolin {

QString toQString(std::string_view cp1251) {
  QStringDecoder decode("windows-1251");
  return decode(QByteArrayView(cp1251.data(), static_cast<qsizetype>(cp1251.size())));
}

std::string fromQString(const QString& text) {
  QStringEncoder encode("windows-1251", QStringConverter::Flag::Default);
  const QByteArray bytes = encode(text);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tervolin

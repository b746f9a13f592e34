#include "qt/desktop_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QUrl>

#include "qt/qt_text.h"

namespace tervolin {

bool openWithDesktop(const std::filesystem::path& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(pathToQString(file)));
}

QTranslator* installQtTranslations(QCoreApplication& app) {
  // The program speaks Russian whatever the machine's locale, and so do the
  // dialogs Qt draws for it.
  auto* translator = new QTranslator(&app);
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  if (!translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QCoreApplication::installTranslator(translator);
  return translator;
}

}  // namespace tervolin

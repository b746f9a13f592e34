#pragma once
// What the desktop itself provides: opening a document with its handler
// (a workbook, the help), and Qt's own texts in the program's language.

#include <filesystem>
#include <functional>

class QCoreApplication;
class QTranslator;

namespace tervolin {

// How a document is shown; false when nothing could show it. The windows
// open documents through one, so that tests can replace the desktop.
using DocumentOpener = std::function<bool(const std::filesystem::path&)>;

// The desktop's handler for the file's type.
bool openWithDesktop(const std::filesystem::path& file);

// Installs Qt's translations of its own dialogs and buttons ("Открыть",
// "Отмена") for Russian, the program's language, from Qt's translations
// folder. The translator (owned by `app`), or nullptr when they are not
// installed.
QTranslator* installQtTranslations(QCoreApplication& app);

}  // namespace tervolin

// The program: the application state, the settings store, the message boxes
// and the windows, made in the order of start-up; then the event loop.

#include <QApplication>
#include <QLocale>

#include "app/main_window.h"
#include "charts/ui/matrix_window.h"
#include "charts/ui/dependency_graphs_window.h"
#include "charts/ui/parameter_graphs_window.h"
#include "common/app_state.h"
#include "common/message_cap.h"
#include "common/paths.h"
#include "profiles/ui/profile_dialog.h"
#include "profiles/ui/settings_dialog.h"
#include "qt/desktop_services.h"
#include "qt/qt_file_chooser.h"
#include "qt/qt_registry.h"
#include "qt/qt_user_channel.h"

namespace {

// The locale's decimal mark as one byte; '.' when it has no single-byte form.
char localeDecimalMark() {
  const QString mark = QLocale::system().decimalPoint();
  if (mark.size() == 1 && mark.at(0).unicode() < 0x80) return static_cast<char>(mark.at(0).unicode());
  return '.';
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tervolin"));
  // Qt's own dialogs (the file dialogs, message box buttons) in Russian.
  tervolin::installQtTranslations(app);

  tervolin::AppState state;
  state.decimalMark = localeDecimalMark();
  state.programDir = tervolin::executableDir();

  try {
    tervolin::QtRegistry registry;
    tervolin::QtUserChannel boxes;
    // Every window's messages pass the cap: long texts cut, repeated ones
    // counted per command.
    tervolin::MessageCap channel(boxes);
    tervolin::QtFileChooser openDialog;

    tervolin::TForm1 form1(state, registry, channel, openDialog);
    boxes.setMainWindow(&form1);
    openDialog.setParent(&form1);
    // The profile dialog borrows the settings dialog, so that one is made first.
    tervolin::TForm9 form9(state, registry, channel, openDialog, &form1);
    tervolin::TForm8 form8(state, registry, channel, form9, &form1);
    form1.setDialogs(&form8, &form9);
    tervolin::TForm11 form11(state, registry, channel, openDialog, &form1);
    form1.setMatrixWindow(&form11);
    tervolin::TForm4 form4(state, form1.grid(), channel, &form1);
    tervolin::TForm10 form10(state, registry, channel, &form1);
    form1.setGraphWindows(&form4, &form10);

    form1.show();
    return app.exec();
  } catch (const tervolin::ProgramEnds&) {
    // Something asked the program to end at once: a clean exit.
    return 0;
  }
}

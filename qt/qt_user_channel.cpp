#include "qt/qt_user_channel.h"

#include <QApplication>
#include <QMessageBox>

#include "qt/qt_text.h"

namespace tervolin {

QWidget* QtUserChannel::parentWidget() const {
  // A modal dialog on top of the main window owns the box while it is shown.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return mainWindow_.data();
}

void QtUserChannel::message(std::string_view text) {
  QMessageBox::information(parentWidget(), title_, toQString(text));
}

bool QtUserChannel::okBox(std::string_view text) {
  return QMessageBox::critical(parentWidget(), title_, toQString(text), QMessageBox::Ok) ==
         QMessageBox::Ok;
}

bool QtUserChannel::yesNo(std::string_view text) {
  return QMessageBox::warning(parentWidget(), title_, toQString(text),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void QtUserChannel::closeMainWindow() {
  if (mainWindow_) mainWindow_->close();
}

}  // namespace tervolin
